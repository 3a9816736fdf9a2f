// Hand-built requests and body reads, the way a download uses them.
#include <gtest/gtest.h>

#include "http/loopback.h"
#include "platform/http.h"
#include "platform/text.h"

namespace {

using loopback::RawServer;

TEST(CrackUrl, SplitsUrlsIntoTheirParts) {
  http::UrlComponents p;
  ASSERT_TRUE(http::InternetCrackUrl(u"http://user:pw@example.org:8080/hash.php?file=./tools/a.exe#top", p));
  EXPECT_EQ(p.scheme, u"http");
  EXPECT_EQ(p.hostName, u"example.org");
  EXPECT_EQ(p.port, 8080);
  EXPECT_EQ(p.userName, u"user");
  EXPECT_EQ(p.password, u"pw");
  EXPECT_EQ(p.urlPath, u"/hash.php");
  EXPECT_EQ(p.extraInfo, u"?file=./tools/a.exe#top");

  ASSERT_TRUE(http::InternetCrackUrl(u"https://example.org", p));
  EXPECT_EQ(p.port, 443);
  EXPECT_EQ(p.urlPath, u"");
  EXPECT_EQ(p.extraInfo, u"");
  ASSERT_TRUE(http::InternetCrackUrl(u"HTTP://Example.org/tools/x", p));
  EXPECT_EQ(p.port, 80);
  EXPECT_EQ(p.hostName, u"Example.org");
  ASSERT_TRUE(http::InternetCrackUrl(u"http://[::1]:81/x", p));
  EXPECT_EQ(p.hostName, u"::1");
  EXPECT_EQ(p.port, 81);
  ASSERT_TRUE(http::InternetCrackUrl(u"http://h?q", p));
  EXPECT_EQ(p.urlPath, u"");
  EXPECT_EQ(p.extraInfo, u"?q");

  for (const char16_t* bad : {u"", u"example.org/x", u"http://", u"http://:80/", u"http://h:99999/", u"http://h:x/",
                              u"http://[::1/", u"1http://h/"}) {
    EXPECT_FALSE(http::InternetCrackUrl(bad, p)) << text::Utf16ToUtf8(bad);
  }
}

struct Connected {
  http::Handle session = nullptr, connection = nullptr, request = nullptr;
  ~Connected() {
    http::InternetCloseHandle(request);
    http::InternetCloseHandle(connection);
    http::InternetCloseHandle(session);
  }
};

void Connect(Connected& c, int port, const std::u16string& object, bool decoding) {
  c.session = http::InternetOpen(u"Palisade 7", http::INTERNET_OPEN_TYPE_DIRECT);
  ASSERT_NE(c.session, nullptr);
  c.connection = http::InternetConnect(c.session, u"127.0.0.1", static_cast<std::uint16_t>(port), u"", u"",
                                       http::INTERNET_SERVICE_HTTP, 0);
  ASSERT_NE(c.connection, nullptr);
  if (decoding) http::InternetSetOption(c.connection, http::INTERNET_OPTION_HTTP_DECODING, 1);
  c.request = http::HttpOpenRequest(c.connection, u"", object, u"*/*", 0);
  ASSERT_NE(c.request, nullptr);
}

std::string ReadAll(http::Handle request, std::uint32_t chunk, std::vector<std::uint32_t>* sizes = nullptr) {
  std::string body;
  std::vector<char> buffer(chunk);
  for (;;) {
    std::uint32_t read = 0;
    EXPECT_TRUE(http::InternetReadFile(request, buffer.data(), chunk, &read));
    if (sizes) sizes->push_back(read);
    if (read == 0) break;
    body.append(buffer.data(), read);
  }
  return body;
}

std::string Pattern(std::size_t n) {
  std::string s(n, 0);
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
  return s;
}

TEST(HttpRequest, BodiesArriveWholeInChunksWithTheirLength) {
  RawServer server([](int fd, RawServer& s) {
    std::string head = s.ReadRequest(fd);
    std::string path = head.substr(4, head.find(' ', 4) - 4);
    if (path == "/ten") RawServer::SendAll(fd, loopback::Response(200, Pattern(10000)));
    else if (path == "/big") RawServer::SendAll(fd, loopback::Response(200, Pattern(3'000'001)));
    else if (path == "/missing") RawServer::SendAll(fd, loopback::Response(404, "not here"));
    else if (path == "/nolength") RawServer::SendAll(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + Pattern(25000));
    else if (path == "/chunked")
      RawServer::SendAll(fd, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n");
  });
  {
    Connected c;
    Connect(c, server.port(), u"/ten", false);
    ASSERT_TRUE(http::HttpSendRequest(c.request, u""));
    std::u16string length;
    EXPECT_TRUE(http::HttpQueryInfo(c.request, http::HTTP_QUERY_CONTENT_LENGTH, length));
    EXPECT_EQ(length, u"10000");
    std::vector<std::uint32_t> sizes;
    EXPECT_EQ(ReadAll(c.request, 10000, &sizes), Pattern(10000));
    EXPECT_EQ(sizes, (std::vector<std::uint32_t>{10000, 0}));
  }
  {
    Connected c;
    Connect(c, server.port(), u"/big", false);
    ASSERT_TRUE(http::HttpSendRequest(c.request, u""));
    EXPECT_EQ(ReadAll(c.request, 10000), Pattern(3'000'001));
  }
  {
    Connected c;
    Connect(c, server.port(), u"/missing", false);
    ASSERT_TRUE(http::HttpSendRequest(c.request, u""));
    std::u16string status;
    EXPECT_TRUE(http::HttpQueryInfo(c.request, http::HTTP_QUERY_STATUS_CODE, status));
    EXPECT_EQ(status, u"404");
    EXPECT_EQ(ReadAll(c.request, 10000), "not here");
  }
  {
    Connected c;
    Connect(c, server.port(), u"/nolength", false);
    ASSERT_TRUE(http::HttpSendRequest(c.request, u""));
    std::u16string length = u"junk";
    EXPECT_FALSE(http::HttpQueryInfo(c.request, http::HTTP_QUERY_CONTENT_LENGTH, length));
    EXPECT_EQ(length, u"");
    EXPECT_EQ(ReadAll(c.request, 4096), Pattern(25000));
  }
  {
    Connected c;
    Connect(c, server.port(), u"/chunked", false);
    ASSERT_TRUE(http::HttpSendRequest(c.request, u""));
    EXPECT_EQ(ReadAll(c.request, 3), "hello world");
  }
}

TEST(HttpRequest, ObjectNameHeadersAndAgentReachTheServer) {
  RawServer server([](int fd, RawServer& s) {
    s.ReadRequest(fd);
    RawServer::SendAll(fd, loopback::Response(200, "ok"));
  });
  Connected c;
  Connect(c, server.port(), u"/hash.php?file=./tools/a b.exe", false);
  EXPECT_TRUE(http::HttpAddRequestHeaders(c.request, u"Accept-Encoding: gzip,deflate\r\n", http::HTTP_ADDREQ_FLAG_ADD_IF_NEW));
  // Already there: not added twice.
  EXPECT_TRUE(http::HttpAddRequestHeaders(c.request, u"Accept-Encoding: br\r\n", http::HTTP_ADDREQ_FLAG_ADD_IF_NEW));
  EXPECT_FALSE(http::HttpAddRequestHeaders(c.request, u"X-A: 1\rX-Injected: 1", 0));
  EXPECT_FALSE(http::HttpAddRequestHeaders(c.request, u"no colon here", 0));
  EXPECT_FALSE(http::HttpAddRequestHeaders(c.request, std::u16string(u"X-A: 1\0X-Injected: 1", 20), 0));
  ASSERT_TRUE(http::HttpSendRequest(c.request, u""));
  EXPECT_EQ(ReadAll(c.request, 100), "ok");
  auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  const std::string& r = requests[0];
  EXPECT_EQ(r.rfind("GET /hash.php?file=./tools/a%20b.exe HTTP/1.1\r\n", 0), 0u) << r;
  EXPECT_NE(r.find("\r\nUser-Agent: Palisade 7\r\n"), std::string::npos) << r;
  EXPECT_NE(r.find("\r\nAccept: */*\r\n"), std::string::npos) << r;
  EXPECT_NE(r.find("\r\nAccept-Encoding: gzip,deflate\r\n"), std::string::npos) << r;
  EXPECT_EQ(r.find("br\r\n"), std::string::npos) << r;
  EXPECT_EQ(r.find("X-Injected"), std::string::npos) << r;

  // Control characters in the pieces of a hand-built request are refused.
  EXPECT_EQ(http::HttpOpenRequest(c.connection, u"", u"/a\r\nX-Injected: 1", u"*/*", 0), nullptr);
  EXPECT_EQ(http::HttpOpenRequest(c.connection, u"GET /x HTTP/1.1\r\n", u"/", u"*/*", 0), nullptr);
  EXPECT_EQ(http::InternetConnect(c.session, u"127.0.0.1\r\nX: 1", 80, u"", u"", http::INTERNET_SERVICE_HTTP, 0), nullptr);
  EXPECT_EQ(http::InternetOpen(u"LNT\r\nX-Injected: 1", http::INTERNET_OPEN_TYPE_DIRECT), nullptr);
}

TEST(HttpRequest, DecodingSwitchDecidesWhetherGzipIsUndone) {
  // "hello hello hello", gzip-compressed.
  const unsigned char gz[] = {31, 139, 8, 0, 0, 0, 0, 0, 2, 3, 203, 72, 205, 201, 201, 87, 200, 64, 144, 0,
                              128, 136, 249, 229, 17, 0, 0, 0};
  const std::string compressed(reinterpret_cast<const char*>(gz), sizeof gz);
  RawServer server([&](int fd, RawServer& s) {
    s.ReadRequest(fd);
    RawServer::SendAll(fd, loopback::Response(200, compressed, "Content-Encoding: gzip\r\n"));
  });
  {
    Connected c;
    Connect(c, server.port(), u"/", true);
    ASSERT_TRUE(http::HttpSendRequest(c.request, u""));
    EXPECT_EQ(ReadAll(c.request, 10000), "hello hello hello");
  }
  {
    Connected c;
    Connect(c, server.port(), u"/", false);
    ASSERT_TRUE(http::HttpSendRequest(c.request, u""));
    EXPECT_EQ(ReadAll(c.request, 10000), compressed);
  }
  {
    // The switch on the session reaches URLs opened from it.
    http::Handle session = http::InternetOpen(u"Vireo Update", http::INTERNET_OPEN_TYPE_DIRECT);
    http::InternetSetOption(session, http::INTERNET_OPTION_HTTP_DECODING, 1);
    http::Handle request = http::InternetOpenUrl(session, text::Utf8ToUtf16(server.Url("/")), u"", 0);
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(ReadAll(request, 10000), "hello hello hello");
    http::InternetCloseHandle(request);
    http::InternetCloseHandle(session);
  }
}

TEST(HttpRequest, ReadsFailWhenTheBodyBreaksOffOrTheHandleIsAborted) {
  RawServer server([](int fd, RawServer& s) {
    std::string head = s.ReadRequest(fd);
    RawServer::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + Pattern(500));
    if (head.find("/slow") != std::string::npos) s.Idle(20000);
  });
  {
    Connected c;
    Connect(c, server.port(), u"/short", false);
    ASSERT_TRUE(http::HttpSendRequest(c.request, u""));
    std::vector<char> buffer(10000);
    std::uint32_t read = 0;
    bool ok = true;
    std::size_t total = 0;
    while ((ok = http::InternetReadFile(c.request, buffer.data(), 10000, &read)) && read > 0) total += read;
    EXPECT_FALSE(ok) << "a body cut short must not read as complete";
    EXPECT_EQ(total, 500u);
  }
  {
    Connected c;
    Connect(c, server.port(), u"/slow", false);
    ASSERT_TRUE(http::HttpSendRequest(c.request, u""));
    std::thread aborter([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      http::InternetAbort(c.session);
    });
    auto start = std::chrono::steady_clock::now();
    std::vector<char> buffer(10000);
    std::uint32_t read = 0;
    while (http::InternetReadFile(c.request, buffer.data(), 10000, &read) && read > 0) {
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    aborter.join();
  }
}

TEST(HttpRequest, ARequestCarriesNothingOfTheOnesBeforeItOnTheSameThread) {
  RawServer server([](int fd, RawServer& s) {
    s.ReadRequest(fd);
    RawServer::SendAll(fd, loopback::Response(200, "ok"));
  });
  auto openUrl = [&](const char16_t* agent, bool decoding, const std::string& path) {
    http::Handle session = http::InternetOpen(agent, http::INTERNET_OPEN_TYPE_DIRECT);
    ASSERT_NE(session, nullptr);
    if (decoding) http::InternetSetOption(session, http::INTERNET_OPTION_HTTP_DECODING, 1);
    http::Handle request = http::InternetOpenUrl(session, text::Utf8ToUtf16(server.Url(path)), u"", 0);
    EXPECT_NE(request, nullptr) << path;
    http::InternetCloseHandle(request);
    http::InternetCloseHandle(session);
  };
  openUrl(u"Vireo Update", true, "/decoded");
  {
    // A hand-built HEAD with credentials and a header of its own.
    Connected c;
    c.session = http::InternetOpen(u"Palisade 7", http::INTERNET_OPEN_TYPE_DIRECT);
    c.connection = http::InternetConnect(c.session, u"127.0.0.1", static_cast<std::uint16_t>(server.port()), u"user",
                                         u"secret", http::INTERNET_SERVICE_HTTP, 0);
    c.request = http::HttpOpenRequest(c.connection, u"HEAD", u"/head", u"*/*", 0);
    ASSERT_NE(c.request, nullptr);
    ASSERT_TRUE(http::HttpSendRequest(c.request, u"X-Extra: 1\r\n"));
  }
  openUrl(u"LNT 3.0", false, "/plain");
  openUrl(u"", false, "/anonymous");

  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_NE(requests[0].find("\r\nAccept-Encoding: "), std::string::npos) << requests[0];
  EXPECT_EQ(requests[1].rfind("HEAD /head HTTP/1.1\r\n", 0), 0u) << requests[1];
  EXPECT_NE(requests[1].find("\r\nAuthorization: "), std::string::npos) << requests[1];
  for (const std::string& r : {requests[2], requests[3]}) {
    EXPECT_EQ(r.rfind("GET /", 0), 0u) << r;
    for (const char* leftover : {"Accept-Encoding", "Authorization", "X-Extra", "Palisade", "Vireo"})
      EXPECT_EQ(r.find(leftover), std::string::npos) << leftover << " in\n" << r;
  }
  EXPECT_NE(requests[2].find("\r\nUser-Agent: LNT 3.0\r\n"), std::string::npos) << requests[2];
  EXPECT_EQ(requests[3].find("User-Agent"), std::string::npos) << requests[3];
}

}  // namespace
