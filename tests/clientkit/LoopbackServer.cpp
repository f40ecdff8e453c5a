#include "LoopbackServer.h"

#include "HttpClient.h"
#include "Unit1.h"

using tarvello::testserver::CatalogueServer;
using tarvello::testserver::HttpRequest;

void UseLoopbackServer(const CatalogueServer& server, std::chrono::milliseconds connectTimeout,
                       std::chrono::milliseconds stallTimeout)
{
    Work_URL = UnicodeString(server.baseUrl());
    httpSettings().caFile = server.caFile();
    httpSettings().connectTimeoutMs = static_cast<long>(connectTimeout.count());
    httpSettings().stallTimeoutMs = static_cast<long>(stallTimeout.count());
}

std::vector<HttpRequest> RequestsTo(const CatalogueServer& server, const std::string& script)
{
    std::vector<HttpRequest> found;
    for (const HttpRequest& request : server.requests())
        if (request.script() == script)
            found.push_back(request);
    return found;
}
