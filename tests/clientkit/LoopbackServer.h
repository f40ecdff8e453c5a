#pragma once
// Pointing the client at a loopback catalogue server, and reading back what reached it.

#include <chrono>
#include <string>
#include <vector>

#include "CatalogueServer.h"
#include "FormData.h"

// Sends the client's requests to `server`, trusting its test authority, with short time-outs so that a test
// whose server does not answer fails quickly instead of hanging.
void useLoopbackServer(const tarvello::testserver::CatalogueServer& server, std::chrono::milliseconds connectTimeout,
                       std::chrono::milliseconds stallTimeout);
// The same for a server of another process, named by its base address and its authority's file.
void useLoopbackServer(const std::string& baseUrl, const std::string& caFile, std::chrono::milliseconds connectTimeout,
                       std::chrono::milliseconds stallTimeout);

// The requests that reached one script of `server` so far, in arrival order.
std::vector<tarvello::testserver::HttpRequest> scriptRequests(const tarvello::testserver::CatalogueServer& server,
                                                          const std::string& script);

// The parts of a request's multipart/form-data body.
std::vector<tarvello::testserver::FormPart> partsOf(const tarvello::testserver::HttpRequest& request);
