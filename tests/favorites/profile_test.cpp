#include <gtest/gtest.h>

#include <filesystem>

#include "platform/profile.h"
#include "support/temp_dir.h"

using profile::GetPrivateProfileString;
using profile::WritePrivateProfileString;

namespace {

std::u16string Read(const TempDir& dir, std::u16string_view section = u"InternetShortcut",
                    std::u16string_view key = u"URL") {
  return GetPrivateProfileString(section, key, u"", dir.file16("f.url"));
}

bool Write(const TempDir& dir, std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  return WritePrivateProfileString(section, key, value, dir.file16("f.url"));
}

std::string Utf16(std::u16string_view s, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : s) {
    char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
  }
  return out;
}

}  // namespace

TEST(Profile, ReadsValuesTheWayThePlatformDoes) {
  TempDir dir;
  const std::string shortcut = "[InternetShortcut]\r\nURL=http://w/\r\n";
  const struct {
    const char* what;
    std::string bytes;
    std::u16string expected;
  } cases[] = {
      {"names without case, blanks trimmed", "  [ internetshortcut ] \n url \t=  http://a/ \t\n", u"http://a/"},
      {"quotes removed", "[InternetShortcut]\nURL='http://b/'\n", u"http://b/"},
      {"unmatched quote kept", "[InternetShortcut]\nURL=\"http://c/\n", u"\"http://c/"},
      {"first section only", "[InternetShortcut]\nA=1\n[InternetShortcut]\nURL=http://d/\n", u""},
      {"first key wins, = in the value", "[InternetShortcut]\rURL=http://e/?a=b\rURL=x\r", u"http://e/?a=b"},
      {"other sections ignored", "URL=x\n[Other]\nURL=y\n[InternetShortcut]\nURL=http://f/", u"http://f/"},
      {"UTF-8 with mark", "\xEF\xBB\xBF[InternetShortcut]\nURL=http://\xCE\xB1/\n", u"http://\u03B1/"},
      {"UTF-8 without mark", "[InternetShortcut]\nURL=http://\xE4\xB8\xAD/\n", u"http://\u4E2D/"},
      {"ANSI", "[InternetShortcut]\nURL=http://caf\xE9/\x80\n", u"http://caf\u00E9/\u20AC"},
      {"UTF-16", Utf16(u"[InternetShortcut]\r\nURL=http://\U0001F600/\r\n", false), u"http://\U0001F600/"},
      {"UTF-16 big endian", Utf16(u"[InternetShortcut]\r\nURL=http://\u03C9/\r\n", true), u"http://\u03C9/"},
  };
  for (const auto& c : cases) {
    WriteFileBytes(dir.file("f.url"), c.bytes);
    EXPECT_EQ(Read(dir), c.expected) << c.what;
  }
  EXPECT_EQ(GetPrivateProfileString(u"S", u"K", u"fallback", dir.file16("missing.ini")), u"fallback");

  // A huge file (a video among the favorites) is not loaded whole.
  WriteFileBytes(dir.file("f.url"), shortcut);
  std::filesystem::resize_file(dir.file("f.url"), 64u << 20);
  EXPECT_EQ(Read(dir), u"");
}

TEST(Profile, WritesNewFilesInTheShortcutForm) {
  TempDir dir;
  ASSERT_TRUE(Write(dir, u"InternetShortcut", u"URL", u"http://a.test/"));
  EXPECT_EQ(ReadFileBytes(dir.file("f.url")), "[InternetShortcut]\r\nURL=http://a.test/\r\n");
  std::filesystem::remove(dir.file("f.url"));

  // Non-ASCII text is UTF-8 behind a byte-order mark on its own line, so a
  // reader that ignores the mark still finds the section.
  ASSERT_TRUE(Write(dir, u"InternetShortcut", u"URL", u"http://\u4E2D/\r\n[Evil]\nX=1"));
  EXPECT_EQ(ReadFileBytes(dir.file("f.url")), "\xEF\xBB\xBF\r\n[InternetShortcut]\r\nURL=http://\xE4\xB8\xAD/[Evil]X=1\r\n");
  EXPECT_EQ(Read(dir, u"Evil", u"X"), u"");  // line breaks in a value are left out

  std::u16string reason;
  EXPECT_FALSE(WritePrivateProfileString(u"S", u"K", u"V", dir.file16("nowhere/x.ini"), &reason));
  EXPECT_FALSE(reason.empty());
}

TEST(Profile, UpdatesExistingFilesKeepingEverythingElse) {
  TempDir dir;
  WriteFileBytes(dir.file("f.url"), "; note\n[DEFAULT]\nBASEURL=b\n[InternetShortcut]\nurl=old\nIconIndex=3\n\n[Other]\nK=V\n");
  ASSERT_TRUE(Write(dir, u"InternetShortcut", u"URL", u"new"));
  ASSERT_TRUE(Write(dir, u"internetshortcut", u"Hotkey", u"0"));  // after the section's last line
  ASSERT_TRUE(Write(dir, u"Hash", u"tool.exe", u"ABCDEF"));       // a new section at the end
  EXPECT_EQ(ReadFileBytes(dir.file("f.url")),
            "; note\r\n[DEFAULT]\r\nBASEURL=b\r\n[InternetShortcut]\r\nURL=new\r\nIconIndex=3\r\nHotkey=0\r\n\r\n"
            "[Other]\r\nK=V\r\n[Hash]\r\ntool.exe=ABCDEF\r\n");

  // Only the first of two sections of the same name is changed.
  WriteFileBytes(dir.file("f.url"), "[S]\nA=1\n[S]\nK=old\n");
  ASSERT_TRUE(Write(dir, u"S", u"K", u"new"));
  EXPECT_EQ(ReadFileBytes(dir.file("f.url")), "[S]\r\nA=1\r\nK=new\r\n[S]\r\nK=old\r\n");

  // A UTF-16 file stays UTF-16.
  WriteFileBytes(dir.file("f.url"), Utf16(u"[S]\r\nK=old\r\n", false));
  ASSERT_TRUE(Write(dir, u"S", u"K", u"\u00E9"));
  EXPECT_EQ(ReadFileBytes(dir.file("f.url")), Utf16(u"[S]\r\nK=\u00E9\r\n", false));

  // ANSI text of other sections survives; rewriting keeps one mark line.
  WriteFileBytes(dir.file("f.url"), "[Notes]\nN=caf\xE9\n[S]\nK=1\n");
  ASSERT_TRUE(Write(dir, u"S", u"K", u"2"));
  ASSERT_TRUE(Write(dir, u"S", u"K", u"3"));
  EXPECT_EQ(ReadFileBytes(dir.file("f.url")), "\xEF\xBB\xBF\r\n[Notes]\r\nN=caf\xC3\xA9\r\n[S]\r\nK=3\r\n");
}
