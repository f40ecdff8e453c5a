#pragma once
// A small HTTPS/1.1 server on 127.0.0.1 for tests: one thread per connection, one request per connection
// (every reply says "Connection: close"), each request kept byte for byte and answered by a handler.
// It stays up whatever a peer sends: at most kMaxConnections are served at once (further ones wait in the
// listen queue), a peer that stops sending mid-request is dropped after kIdleTimeoutMs, one that hangs up
// while its answer is delayed, held back or trickled frees its slot at once, a request that
// cannot be read (bad Content-Length, no length for a body, too large) is answered 400, 411 or 413
// without the handler, and a handler that throws gives 500. A reply can be far longer than what the test
// holds (a fill made while sending), come in chunks, announce another length than it has, or stop short and
// keep the connection open.

#include "TestCertificates.h"

#include <condition_variable>
#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;

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
  int trickleMs = 0;                                           // above 0: the head at once, then the body in
  std::size_t trickleBytes = 1;                                // pieces of trickleBytes, one every trickleMs
  std::size_t fillBytes = 0;      // this many bytes 'x' follow `body`, made while sending, so no test holds them
  bool chunked = false;           // the body in chunks, without Content-Length
  std::optional<std::size_t> announcedLength;  // the Content-Length to give instead of the body's own
  bool holdAfterBody = false;     // after the body (before the last chunk) keep the connection open silently

  static HttpReply Text(std::string body, int status = 200);
};

class HttpsServer {
 public:
  static constexpr int kMaxConnections = 32;
  static constexpr int kIdleTimeoutMs = 30000;
  static constexpr std::size_t kMaxHeaderBytes = 64 * 1024;
  static constexpr std::size_t kMaxBodyBytes = 256 * 1024 * 1024;

  using Handler = std::function<HttpReply(const HttpRequest&)>;

  HttpsServer(const CertificateFiles& certificates, Handler handler);
  ~HttpsServer();  // stops and joins every thread
  HttpsServer(const HttpsServer&) = delete;
  HttpsServer& operator=(const HttpsServer&) = delete;

  void start();       // listens on a free port of 127.0.0.1; throws when it cannot
  void stop();        // ends every connection and joins every thread; the server cannot start again
  int port() const { return port_; }

 private:
  struct Connection {
    int fd = -1;
    bool done = false;
    std::thread thread;
  };

  void acceptLoop();
  void serve(Connection& connection);
  void joinFinished();  // with mutex_ held
  HttpReply answer(const HttpRequest& request);  // the handler's reply, 500 when it throws
  void writeReply(SSL* ssl, const HttpReply& reply, int fd);  // trickled, chunked or held as the reply asks
  // Waits delayMs (-1: for ever); false once the server stops or the peer on `fd` hangs up.
  bool waitUnlessStopping(int delayMs, int fd);

  Handler handler_;
  SSL_CTX* context_ = nullptr;
  int listenFd_ = -1;
  int port_ = 0;
  std::thread acceptThread_;
  std::mutex mutex_;
  std::condition_variable stopSignal_;
  std::condition_variable slotFree_;
  bool stopping_ = false;
  int active_ = 0;                     // connections being served
  std::list<Connection> connections_;  // a list keeps each entry in place while its thread runs
};

}  // namespace tarvello::testserver
