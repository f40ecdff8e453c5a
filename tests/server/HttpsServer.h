#pragma once
// A small HTTPS/1.1 server on 127.0.0.1 for tests: one thread per connection, one request per connection
// (every reply says "Connection: close"), each request kept byte for byte and answered by a handler.

#include "TestCertificates.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

typedef struct ssl_ctx_st SSL_CTX;

namespace tarvello::testserver {

struct HttpRequest {
  std::string raw;     // request line, headers and body exactly as they arrived
  std::string method;  // "GET", "POST", ...
  std::string target;  // as in the request line: path and query
  std::string path;    // target up to "?"
  std::string query;   // target after "?", still percent-encoded; "" when there is none
  std::vector<std::pair<std::string, std::string>> headers;  // in arrival order
  std::string body;

  // The first header of that name (compared without case), or "" when absent.
  std::string header(const std::string& name) const;
  // The last path segment: "list.php" for "/desk/v3/list.php?x".
  std::string script() const;
};

struct HttpReply {
  int status = 200;
  std::string reason;                                          // "" gives the usual phrase of the status
  std::optional<std::string> contentType = "text/plain; charset=UTF-8";  // nullopt: no Content-Type header
  std::vector<std::string> headers;                            // further lines, e.g. "Set-Cookie: sid=1"
  std::string body;                                            // any bytes
  int delayMs = 0;                                             // wait this long before answering
  bool neverAnswer = false;                                    // read the request, then hold the connection silently

  static HttpReply Text(std::string body, int status = 200);
};

class HttpsServer {
 public:
  using Handler = std::function<HttpReply(const HttpRequest&)>;

  HttpsServer(const CertificateFiles& certificates, Handler handler);
  ~HttpsServer();  // stops and joins every thread
  HttpsServer(const HttpsServer&) = delete;
  HttpsServer& operator=(const HttpsServer&) = delete;

  void start();       // listens on a free port of 127.0.0.1
  void stop();
  int port() const { return port_; }

 private:
  void acceptLoop();
  void serve(int fd);
  bool waitUnlessStopping(int delayMs);  // false once the server stops

  Handler handler_;
  SSL_CTX* context_ = nullptr;
  int listenFd_ = -1;
  int port_ = 0;
  std::thread acceptThread_;
  std::mutex mutex_;
  std::condition_variable stopSignal_;
  bool stopping_ = false;
  std::vector<std::thread> connections_;
  std::vector<int> openFds_;
};

}  // namespace tarvello::testserver
