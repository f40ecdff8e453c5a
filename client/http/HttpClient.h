#pragma once
// The client's HTTP(S) requests to the catalogue server, over libcurl: HTTP/1.1, the headers the scripts
// expect and no others, redirects never followed, only 2xx replies accepted, a cookie store per client,
// TLS 1.2 or later with the server's certificate and host name verified, no proxy, and time-outs for a server
// that does not connect, falls silent or trickles. Every failure is an HttpError.

#include "HttpError.h"
#include "Multipart.h"
#include "platform/UnicodeString.h"

#include <string>

struct HttpSettings {             // client-wide; only tests change them
  std::string caFile;             // empty: the system CA store
  long connectTimeoutMs = 30000;  // connection and TLS handshake
  long stallTimeoutMs = 60000;    // no byte moving, up or down, this long ends the request
  long lowSpeedWindowMs = 60000;  // fewer than 100 bytes a second on average, up and down, over this long ends it
};
HttpSettings& httpSettings();

class HttpClient {  // one per window; its own cookie store for its whole life
 public:
  HttpClient();
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  UnicodeString Post(const UnicodeString& url, const MultipartBody& body);     // reply decoded by its charset
  std::string PostBytes(const UnicodeString& url, const MultipartBody& body);  // raw reply bytes (pictures)
  UnicodeString Get(const UnicodeString& url);

 private:
  struct Reply;
  Reply perform(const UnicodeString& url, const MultipartBody* body);

  void* curl_;  // CURL*, kept out of this header
};
