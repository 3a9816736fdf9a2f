#include <gtest/gtest.h>

#include <filesystem>

#include "platform/profile.h"
#include "platform/text.h"
#include "support/temp_dir.h"

using profile::GetPrivateProfileString;
using profile::WritePrivateProfileString;

namespace {

std::u16string Read(const TempDir& dir, const std::string& name, std::u16string_view section = u"InternetShortcut",
                    std::u16string_view key = u"URL") {
  return GetPrivateProfileString(section, key, u"", dir.file16(name));
}

std::string Shortcut() { return "[InternetShortcut]\r\nURL=http://a/\r\n"; }

}  // namespace

TEST(Profile, ReadsValuesTheWayThePlatformDoes) {
  TempDir dir;
  struct Case {
    const char* what;
    std::string bytes;
    std::u16string expected;
  } cases[] = {
      {"plain", "[InternetShortcut]\r\nURL=http://a/\r\n", u"http://a/"},
      {"names without case", "[internetshortcut]\nurl=http://b/\n", u"http://b/"},
      {"blanks trimmed", "  [ InternetShortcut ]  \n  URL \t=  http://c/ \t\n", u"http://c/"},
      {"quotes removed", "[InternetShortcut]\nURL=\"http://d/\"\n", u"http://d/"},
      {"single quotes removed", "[InternetShortcut]\nURL='http://e/'\n", u"http://e/"},
      {"unmatched quote kept", "[InternetShortcut]\nURL=\"http://f/\n", u"\"http://f/"},
      {"first section only", "[InternetShortcut]\nA=1\n[InternetShortcut]\nURL=http://g/\n", u""},
      {"first key wins", "[InternetShortcut]\nURL=http://h/\nURL=http://other/\n", u"http://h/"},
      {"other section ignored", "[Other]\nURL=http://x/\n[InternetShortcut]\nURL=http://i/\n", u"http://i/"},
      {"value with equals", "[InternetShortcut]\nURL=http://j/?a=b&c=d\n", u"http://j/?a=b&c=d"},
      {"old Mac line ends", "[InternetShortcut]\rURL=http://k/\r", u"http://k/"},
      {"no final line end", "[InternetShortcut]\nURL=http://l/", u"http://l/"},
      {"missing key", "[InternetShortcut]\nIconIndex=1\n", u""},
      {"key outside any section", "URL=http://m/\n", u""},
      {"UTF-8 with mark", "\xEF\xBB\xBF[InternetShortcut]\nURL=http://\xCE\xB1/\n", u"http://\u03B1/"},
      {"UTF-8 without mark", "[InternetShortcut]\nURL=http://\xE4\xB8\xAD/\n", u"http://\u4E2D/"},
      {"ANSI", "[InternetShortcut]\nURL=http://caf\xE9/\x80\n", u"http://caf\u00E9/\u20AC"},
  };
  for (const Case& c : cases) {
    WriteFileBytes(dir.file("f.url"), c.bytes);
    EXPECT_EQ(Read(dir, "f.url"), c.expected) << c.what;
  }
  std::string utf16le("\xFF\xFE", 2), utf16be("\xFE\xFF", 2);
  for (char16_t ch : std::u16string(u"[InternetShortcut]\r\nURL=http://\u03C9\U0001F600/\r\n")) {
    utf16le += static_cast<char>(ch & 0xFF);
    utf16le += static_cast<char>(ch >> 8);
    utf16be += static_cast<char>(ch >> 8);
    utf16be += static_cast<char>(ch & 0xFF);
  }
  WriteFileBytes(dir.file("le.url"), utf16le);
  WriteFileBytes(dir.file("be.url"), utf16be);
  EXPECT_EQ(Read(dir, "le.url"), u"http://\u03C9\U0001F600/");
  EXPECT_EQ(Read(dir, "be.url"), u"http://\u03C9\U0001F600/");
  EXPECT_EQ(GetPrivateProfileString(u"S", u"K", u"fallback", dir.file16("missing.ini")), u"fallback");

  // A huge file (a video among the favorites) is not loaded whole.
  WriteFileBytes(dir.file("huge.url"), Shortcut());
  std::filesystem::resize_file(dir.file("huge.url"), 64u << 20);
  EXPECT_EQ(Read(dir, "huge.url"), u"");
}

TEST(Profile, KeepsLongValuesWhole) {
  TempDir dir;
  std::u16string url = u"http://example.test/";
  url.append(5000, u'x');
  ASSERT_TRUE(WritePrivateProfileString(u"InternetShortcut", u"URL", url, dir.file16("long.url")));
  EXPECT_EQ(Read(dir, "long.url"), url);
}

TEST(Profile, WritesNewFilesInTheShortcutForm) {
  TempDir dir;
  ASSERT_TRUE(WritePrivateProfileString(u"InternetShortcut", u"URL", u"http://a.test/", dir.file16("a.url")));
  EXPECT_EQ(ReadFileBytes(dir.file("a.url")), "[InternetShortcut]\r\nURL=http://a.test/\r\n");

  // Non-ASCII text is UTF-8 behind a byte-order mark on its own line, so a
  // reader that ignores the mark still finds the section.
  ASSERT_TRUE(WritePrivateProfileString(u"InternetShortcut", u"URL", u"http://\u4E2D.test/", dir.file16("b.url")));
  EXPECT_EQ(ReadFileBytes(dir.file("b.url")),
            "\xEF\xBB\xBF\r\n[InternetShortcut]\r\nURL=http://\xE4\xB8\xAD.test/\r\n");
  EXPECT_EQ(Read(dir, "b.url"), u"http://\u4E2D.test/");

  // Line breaks would start new lines of the file; they are left out.
  ASSERT_TRUE(WritePrivateProfileString(u"InternetShortcut", u"URL", u"http://c/\r\n[Evil]\nX=1", dir.file16("c.url")));
  EXPECT_EQ(Read(dir, "c.url"), u"http://c/[Evil]X=1");
  EXPECT_EQ(Read(dir, "c.url", u"Evil", u"X"), u"");

  // A folder that does not exist is a failure with a reason.
  std::u16string reason;
  EXPECT_FALSE(WritePrivateProfileString(u"S", u"K", u"V", dir.file16("nowhere/x.ini"), &reason));
  EXPECT_FALSE(reason.empty());
}

TEST(Profile, UpdatesExistingFilesKeepingEverythingElse) {
  TempDir dir;
  const std::string path = dir.file("x.url");
  WriteFileBytes(path, "; comment\n[DEFAULT]\nBASEURL=http://base/\n[InternetShortcut]\nurl=http://old/\nIconIndex=3\n\n"
                       "[Other]\nK=V\n");
  ASSERT_TRUE(WritePrivateProfileString(u"InternetShortcut", u"URL", u"http://new/", dir.file16("x.url")));
  EXPECT_EQ(ReadFileBytes(path), "; comment\r\n[DEFAULT]\r\nBASEURL=http://base/\r\n[InternetShortcut]\r\nURL=http://new/\r\n"
                                 "IconIndex=3\r\n\r\n[Other]\r\nK=V\r\n");

  // A key missing from its section goes after the section's last line.
  ASSERT_TRUE(WritePrivateProfileString(u"internetshortcut", u"Hotkey", u"0", dir.file16("x.url")));
  EXPECT_EQ(ReadFileBytes(path), "; comment\r\n[DEFAULT]\r\nBASEURL=http://base/\r\n[InternetShortcut]\r\nURL=http://new/\r\n"
                                 "IconIndex=3\r\nHotkey=0\r\n\r\n[Other]\r\nK=V\r\n");

  // A missing section goes at the end.
  ASSERT_TRUE(WritePrivateProfileString(u"Hash", u"tool.exe", u"ABCDEF", dir.file16("x.url")));
  EXPECT_EQ(Read(dir, "x.url", u"hash", u"TOOL.EXE"), u"ABCDEF");
  EXPECT_EQ(Read(dir, "x.url", u"Other", u"K"), u"V");
  EXPECT_EQ(Read(dir, "x.url", u"DEFAULT", u"BASEURL"), u"http://base/");

  // Only the first of two sections of the same name is changed.
  WriteFileBytes(path, "[S]\nA=1\n[S]\nK=old\n");
  ASSERT_TRUE(WritePrivateProfileString(u"S", u"K", u"new", dir.file16("x.url")));
  EXPECT_EQ(ReadFileBytes(path), "[S]\r\nA=1\r\nK=new\r\n[S]\r\nK=old\r\n");

  // A UTF-16 file stays UTF-16.
  std::string utf16("\xFF\xFE", 2);
  for (char ch : std::string("[S]\r\nK=old\r\n")) utf16 += std::string{ch, '\0'};
  WriteFileBytes(path, utf16);
  ASSERT_TRUE(WritePrivateProfileString(u"S", u"K", u"\u00E9", dir.file16("x.url")));
  std::string bytes = ReadFileBytes(path);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE", 2));
  EXPECT_EQ(Read(dir, "x.url", u"S", u"K"), u"\u00E9");

  // An ANSI file with text of other sections keeps that text when rewritten.
  WriteFileBytes(path, "[Notes]\nN=caf\xE9\n[S]\nK=1\n");
  ASSERT_TRUE(WritePrivateProfileString(u"S", u"K", u"2", dir.file16("x.url")));
  EXPECT_EQ(Read(dir, "x.url", u"Notes", u"N"), u"caf\u00E9");
  EXPECT_EQ(Read(dir, "x.url", u"S", u"K"), u"2");
  // Rewriting the now UTF-8 file keeps one mark line, not a growing stack of them.
  ASSERT_TRUE(WritePrivateProfileString(u"S", u"K", u"3", dir.file16("x.url")));
  EXPECT_EQ(ReadFileBytes(path), "\xEF\xBB\xBF\r\n[Notes]\r\nN=caf\xC3\xA9\r\n[S]\r\nK=3\r\n");
}
