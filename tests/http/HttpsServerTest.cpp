// The loopback server must survive whatever a peer sends and stop cleanly, since every client test
// depends on it.
#include "CatalogueServer.h"
#include "HttpClient.h"
#include "HttpsServer.h"

#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <thread>

namespace {

using namespace tarvello::testserver;

int connectTo(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    throw std::runtime_error("cannot connect to the test server");
  return fd;
}

// Sends `request` as it is over TLS and returns the status of the reply, 0 when none came (with
// `awaitReply` false it hangs up right after sending), -1 when the TLS handshake did not complete.
int rawExchange(int port, const std::string& request, bool awaitReply = true) {
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  SSL* ssl = SSL_new(context);
  const int fd = connectTo(port);
  SSL_set_fd(ssl, fd);
  const timeval patience{5, 0};  // a server that never takes the connection fails the exchange
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
  std::string reply;
  const bool connected = SSL_connect(ssl) == 1;
  if (connected && SSL_write(ssl, request.data(), static_cast<int>(request.size())) > 0 && awaitReply) {
    char buffer[4096];
    for (int n; (n = SSL_read(ssl, buffer, sizeof buffer)) > 0;) reply.append(buffer, static_cast<std::size_t>(n));
  }
  SSL_free(ssl);
  SSL_CTX_free(context);
  close(fd);
  if (!connected) return -1;
  return reply.compare(0, 9, "HTTP/1.1 ") == 0 ? std::stoi(reply.substr(9, 3)) : 0;
}

class LoopbackServerTest : public testing::Test {
 protected:
  void SetUp() override {
    server_.start();
    server_.addAccount("user@mail.ru", "secret");
    saved_ = httpSettings();
    httpSettings().caFile = server_.caFile();
  }
  void TearDown() override { httpSettings() = saved_; }

  std::string list() {
    MultipartBody body;
    body.AddFormField("user", UnicodeString("user@mail.ru"));
    body.AddFormField("password", UnicodeString("secret"));
    return HttpClient().Post(UnicodeString(server_.baseUrl() + "list.php"), body).ToUtf8();
  }

  CatalogueServer server_;
  HttpSettings saved_;
};

struct MalformedCase {
  const char* what;
  std::string request;
  int status;
};

void PrintTo(const MalformedCase& c, std::ostream* out) { *out << c.what; }

const std::string kListHead = "POST /desk/v3/list.php HTTP/1.1\r\nHost: 127.0.0.1\r\n";

std::string multipartPost(const std::string& boundary, const std::string& body) {
  return kListHead + "Content-Type: multipart/form-data; boundary=" + boundary +
         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

class MalformedRequestTest : public LoopbackServerTest, public testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedRequestTest, IsAnsweredAndTheServerGoesOn) {
  EXPECT_EQ(rawExchange(server_.port(), GetParam().request), GetParam().status);
  EXPECT_EQ(list(), "OK");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedRequestTest,
    testing::Values(
        MalformedCase{"length_not_a_number", kListHead + "Content-Length: abc\r\n\r\n", 400},
        MalformedCase{"length_negative", kListHead + "Content-Length: -1\r\n\r\n", 400},
        MalformedCase{"length_beyond_any_integer", kListHead + "Content-Length: 99999999999999999999999\r\n\r\n",
                      413},
        MalformedCase{"length_beyond_the_limit", kListHead + "Content-Length: 999999999999\r\n\r\n", 413},
        MalformedCase{"chunked_body", kListHead + "Transfer-Encoding: chunked\r\n\r\n0\r\n\r\n", 411},
        MalformedCase{"endless_headers", kListHead + "X: " + std::string(HttpsServer::kMaxHeaderBytes, 'x'), 431},
        MalformedCase{"no_request_line", "\r\n\r\n", 404},
        MalformedCase{"post_without_content_type", kListHead + "Content-Length: 2\r\n\r\nab", 400},
        MalformedCase{"boundary_that_is_not_there", multipartPost("xyz", "hello"), 400},
        MalformedCase{"part_never_closed", multipartPost("b", "--b\r\nContent-Disposition: form-data; name=\"u\"\r\n"),
                      400},
        MalformedCase{"broken_quoted_printable",
                      multipartPost("b",
                                    "--b\r\nContent-Disposition: form-data; name=\"user\"\r\n"
                                    "Content-Transfer-Encoding: quoted-printable\r\n\r\n=ZZ\r\n--b--\r\n"),
                      400}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(LoopbackServerTest, PeerThatHangsUpMidRequestLeavesTheServerServing) {
  rawExchange(server_.port(), kListHead + "Content-Length: 1000\r\n\r\nonly a few bytes", false);
  const int tcpOnly = connectTo(server_.port());  // never starts TLS
  close(tcpOnly);
  EXPECT_EQ(list(), "OK");
}

TEST_F(LoopbackServerTest, FinishedConnectionsGiveTheirSlotsBack) {
  // Three times as many requests as the server serves at once: a slot that is not given back
  // leaves a later request waiting for ever.
  for (int i = 0; i < 3 * HttpsServer::kMaxConnections; ++i) ASSERT_EQ(list(), "OK") << i;
}

TEST_F(LoopbackServerTest, PeerThatHangsUpOnAHeldBackAnswerGivesItsSlotBack) {
  HttpReply silent;
  silent.neverAnswer = true;
  server_.script("find.php", silent);
  HttpReply slow = HttpReply::Text("late");
  slow.delayMs = 600000;
  server_.script("view.php", slow);
  const std::string request = "GET /desk/v3/find.php HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
  for (int i = 0; i < HttpsServer::kMaxConnections + 4; ++i) {
    ASSERT_EQ(rawExchange(server_.port(), request, false), 0) << i;
    ASSERT_EQ(rawExchange(server_.port(), "GET /desk/v3/view.php HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", false), 0)
        << i;
  }
  EXPECT_EQ(list(), "OK");
}

TEST_F(LoopbackServerTest, StopEndsSilentPeersAndUnansweredRequests) {
  std::vector<int> idle;
  for (int i = 0; i < HttpsServer::kMaxConnections + 8; ++i) idle.push_back(connectTo(server_.port()));
  HttpReply silent;
  silent.neverAnswer = true;
  server_.script("find.php", silent);
  bool failed = false;
  std::thread waiting([&] {
    try {
      MultipartBody body;
      body.AddFormField("user", UnicodeString("user@mail.ru"));
      HttpClient().Post(UnicodeString(server_.baseUrl() + "find.php"), body);
    } catch (const HttpError&) {
      failed = true;
    }
  });
  // The request waits for a slot held by the silent peers, or for its answer; stop ends both.
  server_.stop();
  waiting.join();
  EXPECT_TRUE(failed);
  for (int fd : idle) close(fd);
}

TEST(HttpsServerTest, HandlerThatThrowsGivesStatus500) {
  const auto folder = std::filesystem::temp_directory_path() / ("tarvello-https-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  {
    HttpsServer server(MakeCertificates(folder.string()), [](const HttpRequest& request) -> HttpReply {
      if (request.script() == "throw.php") throw std::runtime_error("handler fault");
      return HttpReply::Text("fine");
    });
    server.start();
    const std::string get = " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    EXPECT_EQ(rawExchange(server.port(), "GET /throw.php" + get), 500);
    EXPECT_EQ(rawExchange(server.port(), "GET /other.php" + get), 200);
    EXPECT_THROW(server.start(), std::logic_error);
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
