#include "CatalogueServer.h"
#include "HttpClient.h"
#include "WireText.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace {

using tarvello::testserver::CatalogueServer;
using tarvello::testserver::HttpReply;

// Names `proxy` in every proxy variable that applies to HTTPS and clears the exceptions, for one scope.
class ProxyEnvironment {
 public:
  explicit ProxyEnvironment(const char* proxy) {
    for (const char* name : kNames)
      if (const char* value = std::getenv(name)) saved_.emplace_back(name, value);
    for (const char* name : kNames) unsetenv(name);
    for (const char* name : {"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) setenv(name, proxy, 1);
  }
  ~ProxyEnvironment() {
    for (const char* name : kNames) unsetenv(name);
    for (const auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
  }

 private:
  static constexpr const char* kNames[] = {"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"};
  std::vector<std::pair<std::string, std::string>> saved_;
};

class HttpClientTest : public testing::Test {
 protected:
  void SetUp() override {
    server_.start();
    saved_ = httpSettings();
    httpSettings().caFile = server_.caFile();
  }
  void TearDown() override { httpSettings() = saved_; }

  UnicodeString url(const std::string& script) const { return UnicodeString(server_.baseUrl() + script); }

  static MultipartBody accountBody() {
    MultipartBody body;
    body.AddFormField("user", UnicodeString("user@mail.ru"));
    body.AddFormField("password", UnicodeString("secret"));
    return body;
  }

  // Scripts `reply` for list.php and posts the account to it.
  UnicodeString postWithReply(HttpReply reply) {
    server_.script("list.php", std::move(reply));
    return HttpClient().Post(url("list.php"), accountBody());
  }

  CatalogueServer server_;
  HttpSettings saved_;
};

TEST_F(HttpClientTest, PostSendsExactlyTheRequestTheScriptsRead) {
  server_.script("list.php", HttpReply::Text("OK"));
  const MultipartBody body = accountBody();
  HttpClient().Post(url("list.php"), body);
  const std::string bytes = body.Bytes();
  ASSERT_EQ(server_.requests().size(), 1u);
  EXPECT_EQ(server_.requests()[0].raw,
            "POST /desk/v3/list.php HTTP/1.1\r\n"
            "Host: 127.0.0.1:" + std::to_string(server_.port()) + "\r\n"
            "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
            "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
            "Content-Type: multipart/form-data; boundary=" + body.Boundary() + "\r\n"
            "Content-Length: " + std::to_string(bytes.size()) + "\r\n"
            "\r\n" + bytes);
}

TEST_F(HttpClientTest, LargeBodyGoesOutWithoutExpect) {
  server_.script("add.php", HttpReply::Text("OK"));
  MultipartBody body;
  body.AddFormField("description", UnicodeString(std::string(100000, 'd')), "UTF-8").SetContentTransfer("binary");
  HttpClient().Post(url("add.php"), body);
  const auto request = server_.requests().at(0);
  EXPECT_EQ(request.header("Expect"), "");
  EXPECT_EQ(request.header("Accept-Encoding"), "");
  EXPECT_EQ(request.body, body.Bytes());
}

TEST_F(HttpClientTest, GetSendsThePercentEncodedQueryAndNoBody) {
  server_.script("check.php", HttpReply::Text("OK"));
  const std::string target = "/desk/v3/check.php?user=" + PercentEncode(UnicodeString("a+b@mail.ru")) +
                             "&password=" + PercentEncode(UnicodeString(u"p&ss #1=ё")) + "&size=1234567890&md5=ab";
  // A client that has posted before sends nothing of that post along with its GET.
  server_.script("list.php", HttpReply::Text("OK"));
  HttpClient client;
  client.Post(url("list.php"), accountBody());
  server_.clearRequests();
  client.Get(UnicodeString("https://127.0.0.1:" + std::to_string(server_.port()) + target));
  ASSERT_EQ(server_.requests().size(), 1u);
  EXPECT_EQ(server_.requests()[0].raw,
            "GET /desk/v3/check.php?user=a%2Bb%40mail.ru&password=p%26ss%20%231%3D%D1%91&size=1234567890&md5=ab "
            "HTTP/1.1\r\n"
            "Host: 127.0.0.1:" + std::to_string(server_.port()) + "\r\n"
            "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
            "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
            "\r\n");
}

TEST_F(HttpClientTest, ReplyTextComesBackAsSent) {
  for (const char* text : {"OK", "OK\n", "OK\r\n1\tTitle", "Duplicate 12", ""})
    EXPECT_EQ(postWithReply(HttpReply::Text(text)).ToUtf8(), text);
  HttpReply empty = HttpReply::Text("", 204);
  EXPECT_EQ(postWithReply(empty).ToUtf8(), "");
  for (int status : {201, 202, 203, 299}) EXPECT_EQ(postWithReply(HttpReply::Text("OK", status)).ToUtf8(), "OK");
}

TEST_F(HttpClientTest, ReplyIsDecodedByItsCharset) {
  const std::string utf8 = "\xD0\x9E\xD0\x9A";  // "ОК" in UTF-8
  HttpReply html = HttpReply::Text(utf8);
  html.contentType = "text/html";
  EXPECT_EQ(postWithReply(html).u16(), u"\u00d0\u009e\u00d0\u009a");  // garbled as ISO-8859-1

  HttpReply cp1251 = HttpReply::Text("\xCE\xCA");
  cp1251.contentType = "text/plain; charset=windows-1251";
  EXPECT_EQ(postWithReply(cp1251).u16(), u"ОК");

  HttpReply named = HttpReply::Text(utf8);
  EXPECT_EQ(postWithReply(named).u16(), u"ОК");

  HttpReply untyped = HttpReply::Text("\xCE");
  untyped.contentType.reset();
  EXPECT_EQ(postWithReply(untyped).u16(), u"\u00ce");
}

TEST_F(HttpClientTest, StatusOutside2xxFailsAndRedirectsAreNotFollowed) {
  server_.script("view.php", HttpReply::Text("OK"));
  for (int status : {301, 302, 303, 307, 308, 400, 401, 403, 404, 407, 500, 503}) {
    HttpReply reply = HttpReply::Text("OK", status);
    reply.headers.push_back("Location: " + server_.baseUrl() + "view.php");
    if (status == 401) reply.headers.push_back("WWW-Authenticate: Basic realm=\"desk\"");
    if (status == 407) reply.headers.push_back("Proxy-Authenticate: Basic realm=\"desk\"");
    server_.clearRequests();
    EXPECT_THROW(postWithReply(reply), HttpError) << status;
    EXPECT_EQ(server_.requests().size(), 1u) << status;
  }
}

TEST_F(HttpClientTest, PostBytesKeepsPictureBytes) {
  const std::string jpeg("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\r\n\xFF\xD9", 15);
  HttpReply picture = HttpReply::Text(jpeg);
  picture.contentType = "image/jpeg";
  server_.script("get_image.php", picture);
  EXPECT_EQ(HttpClient().PostBytes(url("get_image.php"), accountBody(), jpeg.size()), jpeg);
}

// A reply one byte over its bound ends the request, whether it announces its length or streams in chunks; the
// server holds the connection open after it, so a client that waited for the whole reply would stall instead.
// A reply of exactly the bound comes through.
TEST_F(HttpClientTest, RepliesAreBoundedWhileTheyArrive) {
  httpSettings().stallTimeoutMs = 5000;
  constexpr std::size_t kPictureBound = 100000;
  struct Case {
    const char* what;
    bool chunked;
    bool bytes;  // PostBytes with kPictureBound; else Post with the text bound
    std::size_t length;
    bool fails;
  };
  const Case cases[] = {
      {"text, announced, over", false, false, MaxTextReplyBytes + 1, true},
      {"text, chunked, over", true, false, MaxTextReplyBytes + 1, true},
      {"text, announced, at the bound", false, false, MaxTextReplyBytes, false},
      {"text, chunked, at the bound", true, false, MaxTextReplyBytes, false},
      {"bytes, announced, over", false, true, kPictureBound + 1, true},
      {"bytes, chunked, over", true, true, kPictureBound + 1, true},
      {"bytes, chunked, at the bound", true, true, kPictureBound, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HttpReply reply = HttpReply::Text("OK\n");
    reply.fillBytes = c.length - reply.body.size();
    reply.chunked = c.chunked;
    reply.holdAfterBody = c.fails;
    server_.script("list.php", reply);
    HttpClient client;
    const auto post = [&] {
      return c.bytes ? client.PostBytes(url("list.php"), accountBody(), kPictureBound).size()
                     : static_cast<std::size_t>(client.Post(url("list.php"), accountBody()).Length());
    };
    if (c.fails)
      EXPECT_THROW(post(), ReplyTooLarge);
    else
      EXPECT_EQ(post(), c.length);
  }
}

// A length announced over the bound ends the request before any of the body is waited for.
TEST_F(HttpClientTest, AnAnnouncedLengthOverTheBoundFailsAtOnce) {
  httpSettings().stallTimeoutMs = 5000;
  HttpReply reply = HttpReply::Text("");
  reply.announcedLength = MaxTextReplyBytes + 1;
  reply.holdAfterBody = true;
  server_.script("list.php", reply);
  server_.script("get_image.php", reply);
  HttpClient client;
  EXPECT_THROW(client.Post(url("list.php"), accountBody()), ReplyTooLarge);
  EXPECT_THROW(client.PostBytes(url("get_image.php"), accountBody(), MaxTextReplyBytes), ReplyTooLarge);
  // The client serves on afterwards.
  server_.script("list.php", HttpReply::Text("OK"));
  EXPECT_EQ(client.Post(url("list.php"), accountBody()).ToUtf8(), "OK");
}

TEST_F(HttpClientTest, CookiesGoBackFromTheSameClientOnly) {
  HttpReply setter = HttpReply::Text("OK");
  setter.headers = {"Set-Cookie: sid=abc123; Path=/", "Set-Cookie: lang=ru; Path=/desk/"};
  server_.script("list.php", setter);
  server_.script("find.php", HttpReply::Text("OK"));
  HttpClient window;
  window.Post(url("list.php"), accountBody());
  EXPECT_EQ(server_.requests().back().header("Cookie"), "");
  window.Post(url("find.php"), accountBody());
  const std::string cookies = server_.requests().back().header("Cookie");
  EXPECT_NE(cookies.find("sid=abc123"), std::string::npos);
  EXPECT_NE(cookies.find("lang=ru"), std::string::npos);

  HttpClient other;
  other.Post(url("find.php"), accountBody());
  EXPECT_EQ(server_.requests().back().header("Cookie"), "");
}

TEST_F(HttpClientTest, SilentServerEndsInHttpErrorAfterTheStallTimeout) {
  httpSettings().stallTimeoutMs = 1000;
  HttpReply silent;
  silent.neverAnswer = true;
  server_.script("list.php", silent);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(HttpClient().Post(url("list.php"), accountBody()), HttpError);
  // Well below the default minute: the setting is what ended the wait.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST_F(HttpClientTest, TricklingServerEndsInHttpErrorAfterTheLowSpeedWindow) {
  // A byte every 200 ms: the stall time-out never fires, and the whole reply would take 8 seconds.
  httpSettings().lowSpeedWindowMs = 1000;
  HttpReply trickle = HttpReply::Text(std::string(40, 'x'));
  trickle.trickleMs = 200;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(postWithReply(trickle), HttpError);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(1000));  // judged over a whole window, not a moment
  EXPECT_LT(took, std::chrono::seconds(5));
}

TEST_F(HttpClientTest, SlowButRealReplyCompletes) {
  // 2 KB a second is far above the limit: the reply runs through several windows and is never ended.
  httpSettings().lowSpeedWindowMs = 500;
  HttpReply slow = HttpReply::Text(std::string(6000, 'x'));
  slow.trickleMs = 50;
  slow.trickleBytes = 100;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(postWithReply(slow).ToUtf8(), slow.body);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4 * 500));
}

TEST_F(HttpClientTest, ServerThatNeverShakesHandsEndsInHttpErrorAfterTheConnectTimeout) {
  // A socket that listens but never accepts: the TCP connection completes, the TLS handshake never does.
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(fd, 4), 0);
  ASSERT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
  httpSettings().connectTimeoutMs = 500;
  httpSettings().stallTimeoutMs = 600000;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(HttpClient().Post(UnicodeString("https://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) +
                                               "/desk/v3/list.php"),
                                 accountBody()),
               HttpError);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  close(fd);
}

TEST_F(HttpClientTest, ClientServesAgainAfterFailedRequestsAndKeepsItsCookies) {
  // A window keeps one client for the whole run: a failure must not spoil its later requests.
  HttpClient window;
  HttpReply setter = HttpReply::Text("OK");
  setter.headers = {"Set-Cookie: sid=kept; Path=/"};
  server_.script("list.php", setter);
  window.Post(url("list.php"), accountBody());

  httpSettings().stallTimeoutMs = 1000;
  HttpReply silent;
  silent.neverAnswer = true;
  server_.script("find.php", silent);
  EXPECT_THROW(window.Post(url("find.php"), accountBody()), HttpError);
  server_.script("find.php", HttpReply::Text("Server error", 500));
  EXPECT_THROW(window.Post(url("find.php"), accountBody()), HttpError);
  EXPECT_THROW(window.Get(UnicodeString("https://127.0.0.1:1/desk/v3/check.php")), HttpError);

  server_.script("find.php", HttpReply::Text("OK"));
  EXPECT_EQ(window.Post(url("find.php"), accountBody()).ToUtf8(), "OK");
  EXPECT_EQ(server_.requests().back().header("Cookie"), "sid=kept");
}

TEST_F(HttpClientTest, SlowServerWithinTheStallTimeoutIsWaitedFor) {
  httpSettings().stallTimeoutMs = 3000;
  HttpReply slow = HttpReply::Text("OK");
  slow.delayMs = 1200;
  EXPECT_EQ(postWithReply(slow).ToUtf8(), "OK");
}

TEST_F(HttpClientTest, UntrustedCertificateFails) {
  CatalogueServer stranger;  // signed by another authority than the one the client trusts
  stranger.start();
  stranger.script("list.php", HttpReply::Text("OK"));
  EXPECT_THROW(HttpClient().Post(UnicodeString(stranger.baseUrl() + "list.php"), accountBody()), HttpError);
  httpSettings().caFile.clear();  // the system store does not know the test authority either
  EXPECT_THROW(HttpClient().Post(url("list.php"), accountBody()), HttpError);
  EXPECT_TRUE(stranger.requests().empty());
  EXPECT_TRUE(server_.requests().empty());
}

TEST_F(HttpClientTest, HostNameMustMatchTheCertificate) {
  CatalogueServer elsewhere("DNS:catalogue.example");  // trusted authority, other host name
  elsewhere.start();
  httpSettings().caFile = elsewhere.caFile();
  EXPECT_THROW(HttpClient().Post(UnicodeString(elsewhere.baseUrl() + "list.php"), accountBody()), HttpError);
  EXPECT_TRUE(elsewhere.requests().empty());

  httpSettings().caFile = server_.caFile();
  server_.script("list.php", HttpReply::Text("OK"));
  const std::string localhost = "https://localhost:" + std::to_string(server_.port()) + "/desk/v3/list.php";
  EXPECT_EQ(HttpClient().Post(UnicodeString(localhost), accountBody()).ToUtf8(), "OK");
}

TEST_F(HttpClientTest, ProxySettingsOfTheEnvironmentAreNotUsed) {
  // The client talks to the catalogue directly; a proxy named in the environment would see
  // every request or, when it is dead, make every request fail.
  const ProxyEnvironment deadProxy("http://127.0.0.1:9");  // nothing listens on the discard port
  EXPECT_EQ(postWithReply(HttpReply::Text("OK")).ToUtf8(), "OK");
  EXPECT_EQ(server_.requests().at(0).header("Proxy-Connection"), "");
}

TEST_F(HttpClientTest, ConnectionRefusedFails) {
  const UnicodeString address = url("list.php");
  server_.stop();
  EXPECT_THROW(HttpClient().Post(address, accountBody()), HttpError);
}

}  // namespace
