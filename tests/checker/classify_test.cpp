// What each kind of answer makes of a link, under each choice of actions.
#include <gtest/gtest.h>

#include <cstdlib>

#include "checker/check_link.h"
#include "http/loopback.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace {

using loopback::RawServer;

TEST(StatusText, ParsesLikeTheDecimalConversionItReplaces) {
  EXPECT_EQ(ParseStatusText(u"404"), 404);
  EXPECT_EQ(ParseStatusText(u"  \t200"), 200);
  EXPECT_EQ(ParseStatusText(u"+500"), 500);
  EXPECT_EQ(ParseStatusText(u"-1"), -1);
  EXPECT_EQ(ParseStatusText(u"404abc"), 404);
  EXPECT_EQ(ParseStatusText(u""), 0);
  EXPECT_EQ(ParseStatusText(u"abc"), 0);
  EXPECT_EQ(ParseStatusText(u"- 4"), 0);
  EXPECT_EQ(ParseStatusText(u"99999999999999"), INT32_MAX);
}

// Every combination of the three policy bits (with AF_CHOSEN, as the actions dialog returns them).
std::vector<ActionFlags> AllFlagCombinations() {
  std::vector<ActionFlags> all;
  for (int bits = 0; bits < 8; ++bits)
    all.push_back(AF_CHOSEN | ((bits & 1) ? AF_FIX_404 : 0) | ((bits & 2) ? AF_DELETE_500 : 0) |
                  ((bits & 4) ? AF_DELETE_FAILURE : 0));
  return all;
}

// The decision table, written out once here to check the code against.
LinkVerdict Expected(bool opened, int status, ActionFlags f) {
  if (!opened) return (f & AF_DELETE_FAILURE) ? LinkVerdict{Delete, -1} : LinkVerdict{Keep, 0};
  if (status == 404) return {(f & AF_FIX_404) ? Fix : Delete, 404};
  if (status == 500) return (f & AF_DELETE_500) ? LinkVerdict{Delete, 500} : LinkVerdict{Keep, 0};
  return {Keep, 0};
}

TEST(Classification, FollowsTheDecisionTableUnderEveryFlagCombination) {
  for (ActionFlags f : AllFlagCombinations()) {
    for (int status : {0, 200, 301, 401, 403, 404, 410, 500, 503, -1, 999}) {
      LinkVerdict got = ClassifyLink(true, status, f);
      LinkVerdict want = Expected(true, status, f);
      EXPECT_EQ(got.status, want.status) << "flags " << f << " status " << status;
      EXPECT_EQ(got.code, want.code) << "flags " << f << " status " << status;
    }
    LinkVerdict failed = ClassifyLink(false, 0, f);
    EXPECT_EQ(failed.status, Expected(false, 0, f).status);
    EXPECT_EQ(failed.code, Expected(false, 0, f).code);
    // The result code is 0 exactly when the link is kept.
    for (int status : {0, 200, 404, 500})
      EXPECT_EQ(ClassifyLink(true, status, f).code == 0, ClassifyLink(true, status, f).status == Keep);
  }
}

class RealAnswers : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = http::GetTimeouts();
    http::SetTimeouts({2000, 1500});
    session_ = http::InternetOpen(u"LNT 3.0", http::INTERNET_OPEN_TYPE_DIRECT);
  }
  void TearDown() override {
    http::InternetCloseHandle(session_);
    http::SetTimeouts(saved_);
  }
  // Checks `url` under every flag combination against the table, given what the answer should count as.
  void ExpectCounted(const std::string& url, bool opened, int status) {
    for (ActionFlags f : AllFlagCombinations()) {
      LinkVerdict got = CheckUrl(session_, text::Utf8ToUtf16(url), f);
      LinkVerdict want = Expected(opened, status, f);
      EXPECT_EQ(got.status, want.status) << url << " flags 0x" << std::hex << f;
      EXPECT_EQ(got.code, want.code) << url << " flags 0x" << std::hex << f;
    }
  }
  http::Timeouts saved_{};
  http::Handle session_ = nullptr;
};

TEST_F(RealAnswers, StatusCodesRedirectsAndFailuresAreClassified) {
  loopback::HttpServer server;
  auto& s = server.server();
  for (int code : {200, 403, 404, 410, 500, 503})
    s.Get("/" + std::to_string(code), [code](const httplib::Request&, httplib::Response& res) { res.status = code; });
  for (int code : {301, 302, 307, 308})
    s.Get("/r" + std::to_string(code) + "/(\\d+)", [code](const httplib::Request& req, httplib::Response& res) {
      res.status = code;
      res.set_header("Location", "/r302x/" + req.matches[1].str());
    });
  s.Get("/r302x/(\\d+)", [](const httplib::Request& req, httplib::Response& res) {
    res.status = 302;
    res.set_header("Location", "/" + req.matches[1].str());
  });
  s.Get("/loop", [](const httplib::Request&, httplib::Response& res) {
    res.status = 301;
    res.set_header("Location", "/loop");
  });
  server.Start();

  for (int code : {200, 403, 404, 410, 500, 503}) ExpectCounted(server.Url("/" + std::to_string(code)), true, code);
  for (int hop : {301, 302, 307, 308}) {
    ExpectCounted(server.Url("/r" + std::to_string(hop) + "/200"), true, 200);
    ExpectCounted(server.Url("/r" + std::to_string(hop) + "/404"), true, 404);
  }
  ExpectCounted(server.Url("/loop"), false, 0);
  ExpectCounted("http://127.0.0.1:" + std::to_string(loopback::ClosedPort()) + "/", false, 0);
  ExpectCounted("http://dead-link.invalid/page", false, 0);
}

TEST(NetworkAddresses, AreThoseWithASchemeTheClientFetches) {
  for (const char16_t* address : {u"http://a.example/", u"HTTPS://a.example/", u"ftp://a.example/f", u"Http:x"})
    EXPECT_TRUE(IsFetchedOverNetwork(address)) << text::Utf16ToUtf8(address);
  for (const char16_t* address : {u"javascript:void(0)", u"place:sort=8&maxResults=10", u"about:blank", u"data:,x",
                                  u"file:///etc/hostname", u"mailto:a@b.example", u"news:comp.lang", u"", u"www.a.example",
                                  u"httpx://a.example/", u" http://a.example/"})
    EXPECT_FALSE(IsFetchedOverNetwork(address)) << text::Utf16ToUtf8(address);
}

TEST_F(RealAnswers, MisbehavingServersCountAsConnectionFailures) {
  RawServer silent([](int fd, RawServer& srv) {
    srv.ReadRequest(fd);
    srv.Idle(10000);
  });
  RawServer reset([](int fd, RawServer& srv) {
    srv.ReadRequest(fd);
    linger hard{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  });
  // Only the flag that matters for failures changes the outcome; two combinations suffice.
  for (const std::string& url : {silent.Url("/"), reset.Url("/")}) {
    for (ActionFlags f : {AF_CHOSEN, AF_CHOSEN | AF_DELETE_FAILURE}) {
      LinkVerdict got = CheckUrl(session_, text::Utf8ToUtf16(url), f);
      EXPECT_EQ(got.status, (f & AF_DELETE_FAILURE) ? Delete : Keep) << url;
      EXPECT_EQ(got.code, (f & AF_DELETE_FAILURE) ? -1 : 0) << url;
    }
  }
}

TEST_F(RealAnswers, AnAnswerWithAnUnreadableStatusLineCountsAsStatusZero) {
  for (const std::string answer : {"SPLAT\r\n\r\n", "HTTP/1.1 abc\r\n\r\n", "HTTP/1.1 40 Short\r\n\r\n",
                                   "HTTP/7.0 404 Not Found\r\n\r\n", "\r\n\r\n"}) {
    RawServer server([&](int fd, RawServer& srv) {
      srv.ReadRequest(fd);
      RawServer::SendAll(fd, answer);
    });
    // Kept even where a 404 or a failure would be acted on.
    ExpectCounted(server.Url("/"), true, 0);
    EXPECT_EQ(server.connections(), 8);
  }
}

TEST_F(RealAnswers, LinksThatAreNotFetchedOverTheNetworkAreKept) {
  for (const char* url : {"javascript:void(0)", "place:sort=8&maxResults=10", "about:blank", "file:///etc/hostname",
                          "mailto:a@b.example", ""})
    ExpectCounted(url, true, 0);
}

TEST_F(RealAnswers, RejectedCertificateCountsAsConnectionFailure) {
  TempDir dir;
  std::string cmd = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -keyout " +
                    dir.file("key.pem") + " -out " + dir.file("cert.pem") + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  httplib::SSLServer server(dir.file("cert.pem").c_str(), dir.file("key.pem").c_str());
  server.Get("/", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
  int port = server.bind_to_any_port("127.0.0.1");
  std::thread thread([&] { server.listen_after_bind(); });
  const std::string url = "https://127.0.0.1:" + std::to_string(port) + "/";
  LinkVerdict kept = CheckUrl(session_, text::Utf8ToUtf16(url), AF_CHOSEN | AF_FIX_404);
  LinkVerdict deleted = CheckUrl(session_, text::Utf8ToUtf16(url), AF_CHOSEN | AF_FIX_404 | AF_DELETE_FAILURE);
  server.stop();
  thread.join();
  EXPECT_EQ(kept.status, Keep);
  EXPECT_EQ(kept.code, 0);
  EXPECT_EQ(deleted.status, Delete);
  EXPECT_EQ(deleted.code, -1);
}

TEST_F(RealAnswers, HugeBodyIsNeverDownloaded) {
  std::atomic<long long> sent{0};
  std::atomic<bool> closed{false};
  RawServer server([&](int fd, RawServer& srv) {
    srv.ReadRequest(fd);
    RawServer::SendAll(fd, "HTTP/1.1 404 Not Found\r\nContent-Length: 1073741824\r\n\r\n");
    std::string chunk(64 * 1024, 'x');
    while (sent < (1LL << 30) && !srv.stopping() && RawServer::SendAll(fd, chunk)) sent += chunk.size();
    closed = true;
  });
  const auto start = std::chrono::steady_clock::now();
  LinkVerdict v = CheckUrl(session_, text::Utf8ToUtf16(server.Url("/big")), AF_CHOSEN | AF_FIX_404);
  EXPECT_EQ(v.status, Fix);
  for (int i = 0; i < 300 && !closed; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(closed) << "the connection stayed open after the status was read";
  EXPECT_LT(sent.load(), 64LL << 20);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
