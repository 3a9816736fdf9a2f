// Opening whole URLs the way the link check does. Answers that fail to open
// (silence, resets, garbage, loops, rejected certificates, huge bodies) are
// covered against the link classification in tests/checker.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "http/loopback.h"
#include "platform/http.h"
#include "platform/text.h"

namespace {

using loopback::HttpServer;
using loopback::RawServer;

struct Outcome {
  bool opened = false;
  std::string status;  // empty when none could be read
};

Outcome Open(const std::u16string& url) {
  Outcome out;
  http::Handle session = http::InternetOpen(u"LNT 3.0", http::INTERNET_OPEN_TYPE_DIRECT);
  EXPECT_NE(session, nullptr);
  http::Handle request = http::InternetOpenUrl(session, url, u"", http::INTERNET_FLAG_NO_CACHE_WRITE);
  if (request) {
    out.opened = true;
    std::u16string value;
    if (http::HttpQueryInfo(request, http::HTTP_QUERY_STATUS_CODE, value)) out.status = text::Utf16ToUtf8(value);
    http::InternetCloseHandle(request);
  }
  http::InternetCloseHandle(session);
  return out;
}

Outcome Open(const std::string& url) { return Open(text::Utf8ToUtf16(url)); }

// Short limits so the failure cases finish quickly.
class ShortTimeouts : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = http::GetTimeouts();
    http::SetTimeouts({2000, 1500});
  }
  void TearDown() override { http::SetTimeouts(saved_); }
  http::Timeouts saved_{};
};

void ServeStatusRoutes(httplib::Server& s) {
  for (int code : {200, 403, 404, 410, 500, 503}) {
    s.Get("/" + std::to_string(code), [code](const httplib::Request&, httplib::Response& res) {
      res.status = code;
      res.set_content("page", "text/plain");
    });
  }
  for (int code : {301, 302, 307, 308}) {
    s.Get("/r" + std::to_string(code) + "/(\\d+)", [code](const httplib::Request& req, httplib::Response& res) {
      res.status = code;
      res.set_header("Location", "/hop/" + req.matches[1].str());
    });
  }
  s.Get("/hop/(\\d+)", [](const httplib::Request& req, httplib::Response& res) {
    res.status = 302;
    res.set_header("Location", "/" + req.matches[1].str());
  });
}

TEST_F(ShortTimeouts, FinalStatusIsReadableAsTextAfterRedirects) {
  HttpServer server;
  ServeStatusRoutes(server.server());
  server.Start();
  for (int code : {200, 403, 404, 410, 500, 503}) {
    Outcome o = Open(server.Url("/" + std::to_string(code)));
    EXPECT_TRUE(o.opened) << code;
    EXPECT_EQ(o.status, std::to_string(code));
  }
  for (int hop : {301, 302, 307, 308}) {
    for (int end : {200, 404}) {
      Outcome o = Open(server.Url("/r" + std::to_string(hop) + "/" + std::to_string(end)));
      EXPECT_TRUE(o.opened) << hop << "->" << end;
      EXPECT_EQ(o.status, std::to_string(end)) << hop;
    }
  }
  // The scheme and host are matched without regard to case.
  EXPECT_EQ(Open("HTTP://127.0.0.1:" + std::to_string(server.port()) + "/200").status, "200");
}

TEST_F(ShortTimeouts, OnlyHttpHttpsAndFtpUrlsAreOpened) {
  for (const char16_t* url : {u"", u"javascript:alert(1)", u"place:folder=BOOKMARKS_MENU", u"file:///etc/passwd",
                              u"mailto:someone@example.org", u"gopher://127.0.0.1/", u"127.0.0.1/", u"http:/x",
                              u"http://", u"http://:80/", u"http ://127.0.0.1/", u"about:blank"}) {
    EXPECT_FALSE(Open(std::u16string(url)).opened) << text::Utf16ToUtf8(url);
  }
  // ftp is a scheme the client opens; here nothing listens, so it fails to connect.
  EXPECT_FALSE(Open("ftp://127.0.0.1:" + std::to_string(loopback::ClosedPort()) + "/").opened);
}

TEST_F(ShortTimeouts, FtpAnswerHasNoStatusCode) {
  // A minimal FTP dialogue serving an empty file.
  RawServer ftp([](int fd, RawServer& s) {
    RawServer::SendAll(fd, "220 ready\r\n");
    std::string line;
    char c;
    int data = -1;
    while (!s.stopping() && ::recv(fd, &c, 1, 0) == 1) {
      if (c != '\n') {
        line += c;
        continue;
      }
      std::string cmd = line.substr(0, line.find_first_of(" \r"));
      line.clear();
      if (cmd == "USER") RawServer::SendAll(fd, "331 pass\r\n");
      else if (cmd == "PASS") RawServer::SendAll(fd, "230 ok\r\n");
      else if (cmd == "PWD") RawServer::SendAll(fd, "257 \"/\"\r\n");
      else if (cmd == "TYPE") RawServer::SendAll(fd, "200 ok\r\n");
      else if (cmd == "SIZE") RawServer::SendAll(fd, "213 0\r\n");
      else if (cmd == "EPSV") {
        int lfd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(lfd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(lfd, 1);
        socklen_t len = sizeof a;
        ::getsockname(lfd, reinterpret_cast<sockaddr*>(&a), &len);
        RawServer::SendAll(fd, "229 Entering Extended Passive Mode (|||" + std::to_string(ntohs(a.sin_port)) + "|)\r\n");
        data = lfd;
      } else if (cmd == "RETR") {
        int conn = ::accept(data, nullptr, nullptr);
        RawServer::SendAll(fd, "150 sending\r\n");
        RawServer::SendAll(conn, "ftp file");
        ::close(conn);
        ::close(data);
        RawServer::SendAll(fd, "226 done\r\n");
      } else if (cmd == "QUIT") {
        RawServer::SendAll(fd, "221 bye\r\n");
        return;
      } else RawServer::SendAll(fd, "502 no\r\n");
    }
  });
  Outcome o = Open("ftp://127.0.0.1:" + std::to_string(ftp.port()) + "/file.txt");
  EXPECT_TRUE(o.opened);
  EXPECT_EQ(o.status, "");
}

TEST_F(ShortTimeouts, RequestCarriesAgentAndIgnoresProxyEnvironment) {
  RawServer server([](int fd, RawServer& s) {
    s.ReadRequest(fd);
    RawServer::SendAll(fd, loopback::Response(200, "ok"));
  });
  // A proxy that does not exist: a client that used it would fail.
  std::string dead = "http://127.0.0.1:" + std::to_string(loopback::ClosedPort());
  for (const char* name : {"http_proxy", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"}) setenv(name, dead.c_str(), 1);
  Outcome o = Open(server.Url("/agent"));
  for (const char* name : {"http_proxy", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"}) unsetenv(name);
  EXPECT_EQ(o.status, "200");
  auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].rfind("GET /agent HTTP/1.1\r\n", 0), 0u) << requests[0];
  EXPECT_NE(requests[0].find("\r\nUser-Agent: LNT 3.0\r\n"), std::string::npos) << requests[0];
}

TEST_F(ShortTimeouts, UrlsWithControlCharactersOrSpacesCannotInjectHeaders) {
  RawServer server([](int fd, RawServer& s) {
    s.ReadRequest(fd);
    RawServer::SendAll(fd, loopback::Response(200, "ok"));
  });
  const std::u16string base = text::Utf8ToUtf16(server.Url("/a"));
  for (std::u16string tail : {std::u16string(u"\r\nX-Injected: 1"), std::u16string(u"\nX-Injected: 1"),
                              std::u16string(u"\rX-Injected: 1"), std::u16string(u"\0X-Injected: 1", 14),
                              std::u16string(u"%0d%0aX-Injected: 1"), std::u16string(u" HTTP/1.1\r\nX-Injected: 1")}) {
    Open(base + tail);
  }
  Open(base + u" b?q=x y");
  for (const std::string& r : server.requests()) EXPECT_EQ(r.find("\r\nX-Injected"), std::string::npos) << r;
  // A space is sent the way a browser sends it; nothing else changes.
  bool sawEncoded = false;
  for (const std::string& r : server.requests()) sawEncoded |= r.rfind("GET /a%20b?q=x%20y HTTP/1.1\r\n", 0) == 0;
  EXPECT_TRUE(sawEncoded);
}

TEST(HttpAbort, AbortedSessionFailsCallsUnderWayAndLater) {
  RawServer silent([](int fd, RawServer& s) {
    s.ReadRequest(fd);
    s.Idle(20000);
  });
  http::Handle session = http::InternetOpen(u"LNT 3.0", http::INTERNET_OPEN_TYPE_DIRECT);
  std::thread aborter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    http::InternetAbort(session);
  });
  auto start = std::chrono::steady_clock::now();
  http::Handle request = http::InternetOpenUrl(session, text::Utf8ToUtf16(silent.Url("/")), u"", 0);
  auto took = std::chrono::steady_clock::now() - start;
  aborter.join();
  EXPECT_EQ(request, nullptr);
  EXPECT_LT(took, std::chrono::seconds(2)) << "abort did not interrupt the request";
  EXPECT_EQ(http::InternetOpenUrl(session, text::Utf8ToUtf16(silent.Url("/")), u"", 0), nullptr);
  http::InternetCloseHandle(session);
}

}  // namespace
