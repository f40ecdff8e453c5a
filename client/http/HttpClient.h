#pragma once
// The client's HTTP(S) requests to the catalogue server, over libcurl: HTTP/1.1, the headers the scripts
// expect and no others, redirects never followed, only 2xx replies accepted, a cookie store per client,
// TLS 1.2 or later with the server's certificate and host name verified, no proxy, time-outs for a server
// that does not connect, falls silent or trickles, and a bound on the size of every reply. Every failure is an
// HttpError.

#include "HttpError.h"
#include "Multipart.h"
#include "platform/UnicodeString.h"

#include <cstddef>
#include <string>

struct HttpSettings {             // client-wide; only tests change them
  std::string caFile;             // empty: the system CA store
  long connectTimeoutMs = 30000;  // connection and TLS handshake
  long stallTimeoutMs = 60000;    // no byte moving, up or down, this long ends the request
  long lowSpeedWindowMs = 60000;  // fewer than 100 bytes a second on average, up and down, over this long ends it
};
HttpSettings& httpSettings();

// The longest text reply: a longer one ends its request as a failed one (ReplyTooLarge), as soon as its length is
// announced or, when it comes without one, as soon as that much has arrived; it is never held whole.
inline constexpr std::size_t MaxTextReplyBytes = std::size_t(64) << 20;

class HttpClient {  // one per window; its own cookie store for its whole life
 public:
  HttpClient();
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  UnicodeString Post(const UnicodeString& url, const MultipartBody& body);  // reply decoded by its charset
  // The raw reply bytes (pictures), at most `maxBytes` of them, bounded as text replies are.
  std::string PostBytes(const UnicodeString& url, const MultipartBody& body, std::size_t maxBytes);
  UnicodeString Get(const UnicodeString& url);

 private:
  struct Reply;
  Reply perform(const UnicodeString& url, const MultipartBody* body, std::size_t maxBytes);

  void* curl_;  // CURL*, kept out of this header
};
