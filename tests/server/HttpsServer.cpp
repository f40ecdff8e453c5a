#include "HttpsServer.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <csignal>
#include <chrono>
#include <stdexcept>
#include <strings.h>

namespace tarvello::testserver {

namespace {

const char* reasonPhrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 407: return "Proxy Authentication Required";
    case 411: return "Length Required";
    case 413: return "Content Too Large";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

constexpr int kComplete = 0;
constexpr int kPeerGone = -1;

// Parses the request line and the headers in raw[0, headerEnd).
void parseHead(HttpRequest& request, std::size_t headerEnd) {
  const std::string& raw = request.raw;
  std::size_t lineEnd = raw.find("\r\n");
  const std::string requestLine = raw.substr(0, lineEnd);
  const auto firstBlank = requestLine.find(' ');
  const auto secondBlank = requestLine.find(' ', firstBlank + 1);
  request.method = requestLine.substr(0, firstBlank);
  request.target = firstBlank == std::string::npos
                       ? ""
                       : requestLine.substr(firstBlank + 1, secondBlank - firstBlank - 1);
  const auto question = request.target.find('?');
  request.path = request.target.substr(0, question);
  request.query = question == std::string::npos ? "" : request.target.substr(question + 1);
  while (lineEnd < headerEnd) {
    const std::size_t next = raw.find("\r\n", lineEnd + 2);
    const std::string line = raw.substr(lineEnd + 2, next - lineEnd - 2);
    const auto colon = line.find(':');
    std::string value = colon == std::string::npos ? "" : line.substr(colon + 1);
    value.erase(0, value.find_first_not_of(' '));
    request.headers.emplace_back(line.substr(0, colon), value);
    lineEnd = next;
  }
}

// The body length the headers announce: a plain decimal Content-Length, 0 without one; an error status
// when the length is malformed, too large, or given by Transfer-Encoding, which this server does not read.
int bodyLength(const HttpRequest& request, std::size_t& length) {
  if (!request.header("Transfer-Encoding").empty()) return 411;
  const std::string text = request.header("Content-Length");
  length = 0;
  if (text.empty()) return kComplete;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), length);
  if (error == std::errc::result_out_of_range) return 413;
  if (error != std::errc() || end != text.data() + text.size()) return 400;
  return length > HttpsServer::kMaxBodyBytes ? 413 : kComplete;
}

// Reads one request from the TLS stream: kComplete, kPeerGone when the peer goes away (or falls silent)
// before it is complete, or the status of the reply that a request which cannot be read gets.
int readRequest(SSL* ssl, HttpRequest& request) {
  std::string& raw = request.raw;
  char buffer[16384];
  std::size_t headerEnd = std::string::npos;
  std::size_t contentLength = 0;
  for (;;) {
    if (headerEnd == std::string::npos) {
      headerEnd = raw.find("\r\n\r\n");
      if (headerEnd == std::string::npos && raw.size() > HttpsServer::kMaxHeaderBytes) return 431;
      if (headerEnd != std::string::npos) {
        if (headerEnd > HttpsServer::kMaxHeaderBytes) return 431;
        parseHead(request, headerEnd);
        if (const int status = bodyLength(request, contentLength); status != kComplete) return status;
      }
    }
    if (headerEnd != std::string::npos && raw.size() >= headerEnd + 4 + contentLength) {
      request.body = raw.substr(headerEnd + 4, contentLength);
      return kComplete;
    }
    const int n = SSL_read(ssl, buffer, sizeof buffer);
    if (n <= 0) return kPeerGone;
    raw.append(buffer, static_cast<std::size_t>(n));
  }
}

bool writeAll(SSL* ssl, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const int n = SSL_write(ssl, bytes.data() + done, static_cast<int>(bytes.size() - done));
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Bytes [at, at + length) of the reply's body: the scripted bytes, then the fill.
std::string bodyPiece(const HttpReply& reply, std::size_t at, std::size_t length) {
  std::string piece = at < reply.body.size() ? reply.body.substr(at, length) : std::string();
  piece.append(length - piece.size(), 'x');
  return piece;
}

std::string hexNumber(std::size_t value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value, 16).ptr;
  return std::string(text, end);
}

// The status line and the headers, up to the empty line that ends them.
std::string replyHead(const HttpReply& reply) {
  std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " " +
                    (reply.reason.empty() ? reasonPhrase(reply.status) : reply.reason) + "\r\n";
  if (reply.contentType) out += "Content-Type: " + *reply.contentType + "\r\n";
  for (const auto& line : reply.headers) out += line + "\r\n";
  if (reply.chunked)
    out += "Transfer-Encoding: chunked\r\n";
  else
    out += "Content-Length: " + std::to_string(reply.announcedLength.value_or(reply.body.size() + reply.fillBytes)) +
           "\r\n";
  out += "Connection: close\r\n\r\n";
  return out;
}

}  // namespace

std::string HttpRequest::header(const std::string& name) const {
  for (const auto& [key, value] : headers)
    if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
  return "";
}

std::string HttpRequest::script() const { return path.substr(path.rfind('/') + 1); }

HttpReply HttpReply::Text(std::string body, int status) {
  HttpReply reply;
  reply.status = status;
  reply.body = std::move(body);
  return reply;
}

HttpsServer::HttpsServer(const CertificateFiles& certificates, Handler handler) : handler_(std::move(handler)) {
  context_ = SSL_CTX_new(TLS_server_method());
  if (!context_ || SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION) != 1 ||
      SSL_CTX_use_certificate_file(context_, certificates.certificateFile.c_str(), SSL_FILETYPE_PEM) != 1 ||
      SSL_CTX_use_PrivateKey_file(context_, certificates.keyFile.c_str(), SSL_FILETYPE_PEM) != 1) {
    SSL_CTX_free(context_);
    throw std::runtime_error("test server: TLS context set-up failed");
  }
}

HttpsServer::~HttpsServer() {
  stop();
  SSL_CTX_free(context_);
}

void HttpsServer::start() {
  if (listenFd_ >= 0) throw std::logic_error("test server: already started");
  // A client that hangs up first must not kill the test process when the server writes to it.
  std::signal(SIGPIPE, SIG_IGN);
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 64) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (fd >= 0) close(fd);  // stop() then has nothing to undo
    throw std::runtime_error("test server: cannot listen on 127.0.0.1");
  }
  listenFd_ = fd;
  port_ = ntohs(address.sin_port);
  acceptThread_ = std::thread([this] { acceptLoop(); });
}

void HttpsServer::stop() {
  {
    std::lock_guard lock(mutex_);
    if (stopping_ || listenFd_ < 0) return;
    stopping_ = true;
    for (const Connection& connection : connections_)
      if (!connection.done) shutdown(connection.fd, SHUT_RDWR);
  }
  stopSignal_.notify_all();
  slotFree_.notify_all();
  shutdown(listenFd_, SHUT_RDWR);  // wakes the blocked accept()
  acceptThread_.join();
  close(listenFd_);
  // No new connection thread can start now; join the ones that run.
  for (Connection& connection : connections_) connection.thread.join();
  connections_.clear();
}

void HttpsServer::joinFinished() {
  for (auto it = connections_.begin(); it != connections_.end();) {
    if (!it->done) {
      ++it;
      continue;
    }
    it->thread.join();  // the thread has left serve(); it needs the lock no more
    it = connections_.erase(it);
  }
}

void HttpsServer::acceptLoop() {
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      slotFree_.wait(lock, [this] { return stopping_ || active_ < kMaxConnections; });
      if (stopping_) return;
    }
    const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    std::lock_guard lock(mutex_);
    if (stopping_) {
      if (fd >= 0) close(fd);
      return;
    }
    if (fd < 0) continue;
    // A peer that falls silent mid-request gives its slot back after the idle time-out.
    const timeval idle{kIdleTimeoutMs / 1000, (kIdleTimeoutMs % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &idle, sizeof idle);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &idle, sizeof idle);
    joinFinished();
    ++active_;
    Connection& connection = connections_.emplace_back();
    connection.fd = fd;
    connection.thread = std::thread([this, &connection] { serve(connection); });
  }
}

bool HttpsServer::waitUnlessStopping(int delayMs, int fd) {
  using namespace std::chrono;
  const auto until = steady_clock::now() + milliseconds(delayMs < 0 ? 0 : delayMs);
  std::unique_lock lock(mutex_);
  for (;;) {
    if (stopping_) return false;
    // A peer that has hung up wants no answer; it gives its slot back at once.
    pollfd peer{fd, POLLRDHUP, 0};
    if (poll(&peer, 1, 0) > 0 && (peer.revents & (POLLRDHUP | POLLHUP | POLLERR))) return false;
    const auto now = steady_clock::now();
    if (delayMs >= 0 && now >= until) return true;
    const auto slice = milliseconds(50);
    stopSignal_.wait_for(lock, delayMs < 0 ? slice : std::min<steady_clock::duration>(slice, until - now));
  }
}

void HttpsServer::writeReply(SSL* ssl, const HttpReply& reply, int fd) {
  if (!writeAll(ssl, replyHead(reply))) return;
  const std::size_t length = reply.body.size() + reply.fillBytes;
  const std::size_t piece = reply.trickleMs > 0 ? std::max<std::size_t>(reply.trickleBytes, 1) : 1 << 20;
  for (std::size_t at = 0; at < length; at += piece) {
    if (reply.trickleMs > 0 && !waitUnlessStopping(reply.trickleMs, fd)) return;
    const std::size_t size = std::min(piece, length - at);
    const std::string bytes = bodyPiece(reply, at, size);
    if (!writeAll(ssl, reply.chunked ? hexNumber(size) + "\r\n" + bytes + "\r\n" : bytes)) return;
  }
  if (reply.holdAfterBody) {
    waitUnlessStopping(-1, fd);
    return;
  }
  if (reply.chunked) writeAll(ssl, "0\r\n\r\n");
}

HttpReply HttpsServer::answer(const HttpRequest& request) {
  try {
    return handler_(request);
  } catch (const std::exception& error) {
    return HttpReply::Text(std::string("Handler failed: ") + error.what(), 500);
  } catch (...) {
    return HttpReply::Text("Handler failed", 500);
  }
}

void HttpsServer::serve(Connection& connection) {
  SSL* ssl = SSL_new(context_);
  SSL_set_fd(ssl, connection.fd);
  HttpRequest request;
  if (SSL_accept(ssl) == 1) {
    const int status = readRequest(ssl, request);
    if (status != kPeerGone) {
      const HttpReply reply = status == kComplete ? answer(request) : HttpReply::Text("Bad request", status);
      // Held back for ever, the wait only ends with the server or the peer, and nothing is written.
      if (waitUnlessStopping(reply.neverAnswer ? -1 : reply.delayMs, connection.fd))
        writeReply(ssl, reply, connection.fd);
      SSL_shutdown(ssl);
    }
  }
  SSL_free(ssl);
  ERR_clear_error();
  std::lock_guard lock(mutex_);
  close(connection.fd);
  connection.done = true;
  --active_;
  slotFree_.notify_one();
}

}  // namespace tarvello::testserver
