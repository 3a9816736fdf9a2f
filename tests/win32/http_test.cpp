// WinINet behind the HTTP layer, under wine, against the loopback demo site
// that the test run starts on the Linux side (LINNET_TEST_BOOKMARKS names
// the bookmark file it wrote, whose links point at it).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>

#include "platform/http.h"
#include "platform/text.h"
#include "stores/bookmark_file.h"

namespace {

// The site's links by title.
std::map<std::u16string, std::u16string> SiteLinks() {
  const char* file = std::getenv("LINNET_TEST_BOOKMARKS");
  if (!file || !*file) return {};
  std::u16string path = text::Utf8ToUtf16(file);
  // A Linux path reaches the same file through wine's drive Z:.
  if (!path.empty() && path[0] == u'/') {
    for (char16_t& c : path)
      if (c == u'/') c = u'\\';
    path = u"Z:" + path;
  }
  BookmarkFolder root;
  ReadBookmarkFile(path, root);
  std::map<std::u16string, std::u16string> links;
  std::vector<const BookmarkFolder*> folders{&root};
  while (!folders.empty()) {
    const BookmarkFolder* folder = folders.back();
    folders.pop_back();
    for (const BookmarkFolder& sub : folder->folders) folders.push_back(&sub);
    for (const BookmarkLink& link : folder->links) links[link.title] = link.url;
  }
  return links;
}

class WinInet : public ::testing::Test {
 protected:
  void SetUp() override {
    links = SiteLinks();
    if (links.empty()) GTEST_SKIP() << "no demo site (LINNET_TEST_BOOKMARKS)";
  }
  std::u16string Url(std::u16string_view title) { return links.at(std::u16string(title)); }

  std::map<std::u16string, std::u16string> links;
};

// Opens the URL as the check does; -1 when it cannot be opened.
int StatusOf(const std::u16string& url) {
  http::Handle session = http::InternetOpen(u"LNT 3.0", http::INTERNET_OPEN_TYPE_DIRECT);
  if (!session) return -2;
  http::Handle request = http::InternetOpenUrl(session, url, u"", http::INTERNET_FLAG_NO_CACHE_WRITE);
  int status = -1;
  if (request) {
    std::u16string text;
    http::HttpQueryInfo(request, http::HTTP_QUERY_STATUS_CODE, text);
    status = std::atoi(text::Utf16ToUtf8(text).c_str());
    http::InternetCloseHandle(request);
  }
  http::InternetCloseHandle(session);
  return status;
}

}  // namespace

TEST_F(WinInet, EachAnswerTheCheckTellsApartComesThrough) {
  EXPECT_EQ(StatusOf(Url(u"Today's news")), 200);
  EXPECT_EQ(StatusOf(Url(u"An old story (gone: 404)")), 404);
  EXPECT_EQ(StatusOf(Url(u"Broken tool (server error: 500)")), 500);
  EXPECT_EQ(StatusOf(Url(u"Members only (403: kept)")), 403);
  // Redirects are followed: the status is the final page's.
  EXPECT_EQ(StatusOf(Url(u"Moved page (redirects to a live page)")), 200);
  EXPECT_EQ(StatusOf(Url(u"Soup (redirects to a missing page)")), 404);
  EXPECT_EQ(StatusOf(Url(u"Closed site (connection refused)")), -1);
  EXPECT_EQ(StatusOf(u"not a url at all"), -1);
}

TEST_F(WinInet, ABuiltRequestReadsTheWholeBody) {
  http::UrlComponents parts;
  ASSERT_TRUE(http::InternetCrackUrl(Url(u"Demo site home") + u"?x=1", parts));
  EXPECT_EQ(parts.hostName, u"127.0.0.1");
  EXPECT_EQ(parts.urlPath, u"/");
  EXPECT_EQ(parts.extraInfo, u"?x=1");
  http::Handle session = http::InternetOpen(u"Palisade 7", http::INTERNET_OPEN_TYPE_DIRECT);
  http::Handle connection =
      http::InternetConnect(session, parts.hostName, parts.port, u"", u"", http::INTERNET_SERVICE_HTTP, 0);
  http::InternetSetOption(connection, http::INTERNET_OPTION_HTTP_DECODING, 1);
  http::Handle request = http::HttpOpenRequest(connection, u"", parts.urlPath + parts.extraInfo, u"*/*", 0);
  ASSERT_TRUE(request);
  http::InternetSetOption(request, http::INTERNET_OPTION_HTTP_DECODING, 1);
  EXPECT_TRUE(http::HttpAddRequestHeaders(request, u"Accept-Encoding: gzip,deflate\r\n", http::HTTP_ADDREQ_FLAG_ADD_IF_NEW));
  ASSERT_TRUE(http::HttpSendRequest(request, u""));
  std::u16string length;
  http::HttpQueryInfo(request, http::HTTP_QUERY_CONTENT_LENGTH, length);
  std::string body;
  char chunk[100];
  std::uint32_t got = 0;
  while (http::InternetReadFile(request, chunk, sizeof chunk, &got) && got > 0) body.append(chunk, got);
  // The site compresses what it sends; the body arrives decoded. Windows
  // reports the length of the compressed body, wine none at all once it
  // decodes: the download shows progress only for a known length, so
  // neither is required.
  EXPECT_NE(body.find("Linnet demo site"), std::string::npos);
  std::printf("Content-Length %s for a decoded body of %zu bytes\n", text::Utf16ToUtf8(length).c_str(), body.size());
  http::InternetCloseHandle(request);
  http::InternetCloseHandle(connection);
  http::InternetCloseHandle(session);
}

TEST_F(WinInet, AnAbortFromAnotherThreadEndsAStuckRequestWithinASecond) {
  // The slow page answers after 1.5 s; the abort comes at once.
  http::Handle session = http::InternetOpen(u"LNT 3.0", http::INTERNET_OPEN_TYPE_DIRECT);
  ASSERT_TRUE(session);
  std::thread aborter([session] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    http::InternetAbort(session);
  });
  auto start = std::chrono::steady_clock::now();
  http::Handle request = http::InternetOpenUrl(session, Url(u"A slow but live page"), u"", 0);
  auto took = std::chrono::steady_clock::now() - start;
  aborter.join();
  EXPECT_EQ(request, nullptr);
  EXPECT_LT(took, std::chrono::milliseconds(1200));
  if (request) http::InternetCloseHandle(request);
  // Nothing opens on an aborted session any more.
  EXPECT_EQ(http::InternetOpenUrl(session, Url(u"Today's news"), u"", 0), nullptr);
  http::InternetCloseHandle(session);
}
