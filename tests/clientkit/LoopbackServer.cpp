#include "LoopbackServer.h"

#include "ClientState.h"
#include "HttpClient.h"

using tarvello::testserver::CatalogueServer;
using tarvello::testserver::FormPart;
using tarvello::testserver::HttpRequest;

void useLoopbackServer(const CatalogueServer& server, std::chrono::milliseconds connectTimeout,
                       std::chrono::milliseconds stallTimeout)
{
    useLoopbackServer(server.baseUrl(), server.caFile(), connectTimeout, stallTimeout);
}

void useLoopbackServer(const std::string& baseUrl, const std::string& caFile, std::chrono::milliseconds connectTimeout,
                       std::chrono::milliseconds stallTimeout)
{
    Work_URL = UnicodeString(baseUrl);
    httpSettings().caFile = caFile;
    httpSettings().connectTimeoutMs = static_cast<long>(connectTimeout.count());
    httpSettings().stallTimeoutMs = static_cast<long>(stallTimeout.count());
}

std::vector<HttpRequest> scriptRequests(const CatalogueServer& server, const std::string& script)
{
    std::vector<HttpRequest> found;
    for (const HttpRequest& request : server.requests())
        if (request.script() == script)
            found.push_back(request);
    return found;
}

std::vector<FormPart> partsOf(const HttpRequest& request)
{
    return tarvello::testserver::ParseMultipart(request.body,
                                                tarvello::testserver::BoundaryOf(request.header("Content-Type")));
}
