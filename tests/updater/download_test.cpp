#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"
#include "support/temp_dir.h"
#include "update_server.h"
#include "updater/download_file.h"

namespace {

std::string Pattern(std::size_t size) {
  std::string s(size, '\0');
  for (std::size_t i = 0; i < size; ++i) s[i] = char((i * 131) ^ (i >> 7));
  return s;
}

// 15 copies of "gzip body line\n", gzip-compressed.
const char kGzipBody[] =
    "\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\xff\x4b\xaf\xca\x2c\x50\x48\xca\x4f\xa9\x54\xc8\xc9\xcc\x4b\xe5\x4a"
    "\x1f\xe5\x8e\x72\x47\xb9\xa3\xdc\x51\xee\x28\x77\x94\x3b\xca\x1d\xe5\x8e\x72\x47\xb9\x83\x8f\x0b\x00\x77"
    "\xef\x55\x52\xb8\x0b\x00\x00";

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(DownloadFile, BodiesAreSavedWholeOnBothPaths) {
  UpdateServer server;
  for (std::size_t size : {0u, 1u, 9999u, 10000u, 10001u, 20000u, 250007u}) server.SetFile(std::to_string(size), Pattern(size));
  server.Handle("/unsized", [](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("application/octet-stream", [](std::size_t offset, httplib::DataSink& sink) {
      if (offset >= 30000) {
        sink.done();
        return true;
      }
      std::string part = Pattern(30000).substr(offset, 7000);
      sink.write(part.data(), part.size());
      return true;
    });
  });
  server.Handle("/gzip", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Content-Encoding", "gzip");
    res.set_content(std::string(kGzipBody, sizeof kGzipBody - 1), "text/plain");
  });
  TempDir dir;
  for (bool useRequestPath : {true, false}) {
    SCOPED_TRACE(useRequestPath ? "request path" : "open-URL path");
    for (std::size_t size : {0u, 1u, 9999u, 10000u, 10001u, 20000u, 250007u}) {
      WriteFileBytes(dir.file("out"), "stale contents that must go");
      ASSERT_TRUE(DownloadFile(u"File", dir.file16("out"), nullptr, server.url16("/tools/" + std::to_string(size)),
                               true, useRequestPath))
          << size;
      EXPECT_EQ(ReadFileBytes(dir.file("out")), Pattern(size)) << size;
    }
    // Without Content-Length: saved completely all the same.
    ASSERT_TRUE(DownloadFile(u"File", dir.file16("out"), nullptr, server.url16("/unsized"), true, useRequestPath));
    EXPECT_EQ(ReadFileBytes(dir.file("out")), Pattern(30000));
    // An error page is a body like any other; the digest check rejects it later.
    ASSERT_TRUE(DownloadFile(u"File", dir.file16("out"), nullptr, server.url16("/tools/absent"), true, useRequestPath));
    EXPECT_EQ(ReadFileBytes(dir.file("out")), "no such file");
    // A compressed answer is saved decoded.
    ASSERT_TRUE(DownloadFile(u"File", dir.file16("out"), nullptr, server.url16("/gzip"), true, useRequestPath));
    EXPECT_EQ(ReadFileBytes(dir.file("out")), Repeat("gzip body line\n", 200));
  }
}

TEST(DownloadFile, EachPathIntroducesItselfAndKeepsTheQuery) {
  UpdateServer server;
  server.SetFile("a.exe", "A");
  TempDir dir;
  ASSERT_TRUE(DownloadFile(u"INI", dir.file16("ini"), nullptr, server.url16("/hash.php?file=./tools/a.exe"), false, true));
  EXPECT_EQ(ReadFileBytes(dir.file("ini")), "[Hash]\r\n1=" + Sha1Text("A") + "\r\n");
  EXPECT_EQ(server.Hits("/hash.php?file=./tools/a.exe"), 1);
  EXPECT_EQ(server.LastHeader("User-Agent"), "Palisade 7");
  EXPECT_NE(server.LastHeader("Accept-Encoding").find("gzip"), std::string::npos);

  ASSERT_TRUE(DownloadFile(u"INI", dir.file16("ini"), nullptr, server.url16("/hash.php?file=./tools/a.exe"), false, false));
  EXPECT_EQ(server.Hits("/hash.php?file=./tools/a.exe"), 2);
  EXPECT_EQ(server.LastHeader("User-Agent"), "Vireo Update");
}

TEST(DownloadFile, FailuresReportFalseAndKeepTheTargetUntilTheAnswerArrives) {
  UpdateServer server;
  server.Handle("/cut", [](const httplib::Request&, httplib::Response& res) {
    // Promises 100000 bytes and hangs up after 30000.
    res.set_content_provider(100000, "application/octet-stream",
                             [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                               if (offset >= 30000) return false;
                               std::string part(10000, 'c');
                               sink.write(part.data(), part.size());
                               return true;
                             });
  });
  server.SetFile("f", Pattern(5000));
  TempDir dir;
  // A port nobody listens on: nothing was under way, so the old file stays.
  std::u16string deadUrl = u"http://127.0.0.1:1/tools/f";
  for (bool useRequestPath : {true, false}) {
    SCOPED_TRACE(useRequestPath ? "request path" : "open-URL path");
    WriteFileBytes(dir.file("keep"), "previous");
    EXPECT_FALSE(DownloadFile(u"F", dir.file16("keep"), nullptr, deadUrl, true, useRequestPath));
    EXPECT_EQ(ReadFileBytes(dir.file("keep")), "previous");
    EXPECT_FALSE(DownloadFile(u"F", dir.file16("keep"), nullptr, u"not a url", true, useRequestPath));
    EXPECT_EQ(ReadFileBytes(dir.file("keep")), "previous");

    // A body cut short fails; what arrived stays.
    EXPECT_FALSE(DownloadFile(u"F", dir.file16("cut"), nullptr, server.url16("/cut"), true, useRequestPath));
    EXPECT_LE(ReadFileBytes(dir.file("cut")).size(), 30000u);

    // A target that cannot be written is a failed download, not a success.
    EXPECT_FALSE(DownloadFile(u"F", dir.file16("no/such/folder/f"), nullptr, server.url16("/tools/f"), true,
                              useRequestPath));
    EXPECT_FALSE(DownloadFile(u"F", dir.path16(), nullptr, server.url16("/tools/f"), true, useRequestPath));
  }
}

TEST(DownloadProgress, PercentAndTextHoldForBodiesUpTo4GB) {
  const std::uint64_t mb = 1024 * 1024;
  EXPECT_EQ(DownloadPercent(60 * mb, 100 * mb), 60u);
  EXPECT_EQ(DownloadPercent(100 * mb, 100 * mb), 100u);
  EXPECT_EQ(DownloadPercent(4294967295ull / 2, 4294967295ull), 49u);
  EXPECT_EQ(DownloadPercent(4294967295ull, 4294967295ull), 100u);
  EXPECT_EQ(DownloadPercent(5, 0), 0u);
  // Decoded bodies outgrow the encoded length they were announced with.
  EXPECT_EQ(DownloadPercent(3000, 59), 100u);
  EXPECT_EQ(DownloadProgressText(u"Program Executable", 512 * 1024, 1024 * 1024),
            u"Downloading: Program Executable 512/1024 KB...50%");
  EXPECT_EQ(DownloadProgressText(u"Program Executable", 60 * mb, 100 * mb),
            u"Downloading: Program Executable 61440/102400 KB...60%");
  EXPECT_EQ(DownloadProgressText(u"Ω", 1023, 1023), u"Downloading: Ω 0/0 KB...100%");
}

}  // namespace
