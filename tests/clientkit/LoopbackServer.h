#pragma once
// Pointing the client at a loopback catalogue server, and reading back what reached it.

#include <chrono>
#include <string>
#include <vector>

#include "CatalogueServer.h"

// Sends the client's requests to `server`, trusting its test authority, with short time-outs so that a test
// whose server does not answer fails quickly instead of hanging.
void UseLoopbackServer(const tarvello::testserver::CatalogueServer& server, std::chrono::milliseconds connectTimeout,
                       std::chrono::milliseconds stallTimeout);

// The requests that reached one script of `server` so far, in arrival order.
std::vector<tarvello::testserver::HttpRequest> RequestsTo(const tarvello::testserver::CatalogueServer& server,
                                                          const std::string& script);
