#include <gtest/gtest.h>

#include <random>

#include "platform/text.h"

namespace {

using namespace std::string_literals;

const char16_t kBad = 0xFFFD;

std::u16string Units(std::initializer_list<char16_t> units) { return std::u16string(units); }

TEST(Utf8ToUtf16, DecodesEveryLengthOfSequence) {
  EXPECT_EQ(text::Utf8ToUtf16(""), u"");
  EXPECT_EQ(text::Utf8ToUtf16("plain ascii \x01\x7f"), u"plain ascii \x01\x7f");
  EXPECT_EQ(text::Utf8ToUtf16("\xc2\x80\xdf\xbf"), Units({0x80, 0x7FF}));
  EXPECT_EQ(text::Utf8ToUtf16("\xe0\xa0\x80\xe2\x82\xac\xed\x9f\xbf\xee\x80\x80\xef\xbf\xbf"),
            Units({0x800, 0x20AC, 0xD7FF, 0xE000, 0xFFFF}));
  EXPECT_EQ(text::Utf8ToUtf16("\xf0\x90\x80\x80\xf0\x9f\x90\xa6\xf4\x8f\xbf\xbf"),
            Units({0xD800, 0xDC00, 0xD83D, 0xDC26, 0xDBFF, 0xDFFF}));
  EXPECT_EQ(text::Utf8ToUtf16("\0a\0"s), u"\0a\0"s);  // zero bytes are ordinary characters here
}

// Nothing is ever dropped: each maximal invalid piece becomes one U+FFFD and
// decoding goes on with the next byte that can start a character.
TEST(Utf8ToUtf16, ReplacesEachMalformedPieceWithOneReplacementCharacter) {
  struct Case {
    std::string in;
    std::u16string out;
  };
  const Case cases[] = {
      {"\x80", Units({kBad})},
      {"\xbf\x80", Units({kBad, kBad})},                      // lone continuation bytes, one each
      {"\xc0\xaf", Units({kBad, kBad})},                      // overlong lead bytes are never valid
      {"\xc1\xbf", Units({kBad, kBad})},
      {"\xe0\x80\xaf", Units({kBad, kBad, kBad})},            // overlong three-byte form
      {"\xed\xa0\x80", Units({kBad, kBad, kBad})},            // an encoded surrogate
      {"\xf4\x90\x80\x80", Units({kBad, kBad, kBad, kBad})},  // above U+10FFFF
      {"\xf5\x80", Units({kBad, kBad})},
      {"\xff\xfe", Units({kBad, kBad})},
      {"\xc3", Units({kBad})},                                // cut at the end
      {"\xe2\x82", Units({kBad})},
      {"\xf0\x9f\x90", Units({kBad})},
      {"\xe2\x82x", Units({kBad, u'x'})},                     // cut before an ASCII byte
      {"\xe2\x82\xe2\x82\xac", Units({kBad, 0x20AC})},        // cut before a valid sequence
      {"a\xc3(b", Units({u'a', kBad, u'(', u'b'})},
      {"\xf0\x9f\x90\\", Units({kBad, u'\\'})},
  };
  for (const Case& c : cases) EXPECT_EQ(text::Utf8ToUtf16(c.in), c.out) << testing::PrintToString(c.in);
}

TEST(Utf16ToUtf8, EncodesAndReplacesUnpairedSurrogates) {
  EXPECT_EQ(text::Utf16ToUtf8(u"a\u00e9\u20ac\U0001F426"), "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x90\xa6");
  EXPECT_EQ(text::Utf16ToUtf8(Units({0xD800})), "\xef\xbf\xbd");
  EXPECT_EQ(text::Utf16ToUtf8(Units({0xDC00, 0xD800})), "\xef\xbf\xbd\xef\xbf\xbd");
  EXPECT_EQ(text::Utf16ToUtf8(Units({0xD83D, u'x', 0xDC26})), "\xef\xbf\xbdx\xef\xbf\xbd");
  EXPECT_EQ(text::Utf16ToUtf8(Units({0xD83D, 0xDC26, 0xDC26})), "\xf0\x9f\x90\xa6\xef\xbf\xbd");
  EXPECT_EQ(text::Utf16ToUtf8(u"\0"s), "\0"s);
}

// Random text through both directions and in pieces: what is valid survives
// the round trip, and converting piece by piece at character boundaries
// gives what converting the whole gives.
TEST(Utf8ToUtf16, PiecesAndRoundTripsAgreeWithWholeConversion) {
  std::mt19937 rng(99);
  const char16_t samples[] = {u'a', u'<', u'\\', 0x7F, 0x80, 0xE9, 0x7FF, 0x800, 0x20AC, 0xFFFD, 0xFFFF};
  for (int round = 0; round < 500; ++round) {
    std::u16string valid;
    std::vector<std::size_t> boundaries{0};
    for (int i = 0; i < 40; ++i) {
      if (rng() % 5 == 0) {
        char32_t cp = 0x10000 + rng() % 0x100000;
        valid += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
        valid += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
      } else {
        valid += samples[rng() % std::size(samples)];
      }
      boundaries.push_back(valid.size());
    }
    std::string bytes = text::Utf16ToUtf8(valid);
    ASSERT_EQ(text::Utf8ToUtf16(bytes), valid);

    std::string pieced;
    std::size_t from = 0;
    for (std::size_t b : boundaries) {
      if (rng() % 3 != 0) continue;
      text::AppendUtf16AsUtf8(pieced, std::u16string_view(valid).substr(from, b - from));
      from = b;
    }
    text::AppendUtf16AsUtf8(pieced, std::u16string_view(valid).substr(from));
    ASSERT_EQ(pieced, bytes);

    // Garbage bytes: whole and appended after existing text agree.
    std::string garbage(static_cast<std::size_t>(rng() % 64), '\0');
    for (char& c : garbage) c = static_cast<char>(rng());
    std::u16string appended = u"pre";
    text::AppendUtf8AsUtf16(appended, garbage);
    ASSERT_EQ(appended, u"pre" + text::Utf8ToUtf16(garbage));
    // Whatever came in, the UTF-16 converts back to well-formed UTF-8 that
    // decodes to the same units.
    std::u16string decoded = text::Utf8ToUtf16(garbage);
    ASSERT_EQ(text::Utf8ToUtf16(text::Utf16ToUtf8(decoded)), decoded);
  }
}

TEST(EqualsAsciiNoCase, FoldsOnlyTheLettersAToZ) {
  EXPECT_TRUE(text::EqualsAsciiNoCase(u"Work", u"wORK"));
  EXPECT_TRUE(text::EqualsAsciiNoCase(u"", u""));
  EXPECT_FALSE(text::EqualsAsciiNoCase(u"Work", u"Works"));
  EXPECT_FALSE(text::EqualsAsciiNoCase(u"\u00c4rger", u"\u00e4rger"));
  EXPECT_FALSE(text::EqualsAsciiNoCase(u"@", u"`"));  // neighbours of the letters
  EXPECT_FALSE(text::EqualsAsciiNoCase(u"[", u"{"));
  EXPECT_TRUE(text::EndsWithAsciiNoCase(u"file.URL", u".url"));
  EXPECT_FALSE(text::EndsWithAsciiNoCase(u"rl", u".url"));
}

TEST(Format, FillsThePlaceholdersTheProgramUses) {
  EXPECT_EQ(text::Format(u"%s of %u links, %d%%", u"Checked", 12u, -3), u"Checked of 12 links, -3%");
  EXPECT_EQ(text::Format(u"%02X%02x|%5u|%-3d|", 10u, 255u, 42u, 7), u"0Aff|   42|7  |");
  EXPECT_EQ(text::Format(u"%.1f%% %.0f", 12.34, 2.5), u"12.3% 2");
  // Rounded exactly as printf rounds, ties and binary fractions included.
  EXPECT_EQ(text::Format(u"%.1f %.1f %.1f %.2f %f %u", 100.0f, 0.05, 0.25, 1.005, -1.5, 0u),
            u"100.0 0.1 0.2 1.00 -1.500000 0");
  EXPECT_EQ(text::Format(u"%s", std::string_view("\xc3\xa9")), u"\u00e9");
  EXPECT_EQ(text::Format(u"%u", 4294967297ull), u"1");  // a 32-bit unsigned value, as the platform prints it
  std::u16string longText(100000, u'x');
  EXPECT_EQ(text::Format(u"<%s>", longText).size(), 100002u);  // nothing is cut
  EXPECT_EQ(text::Format(u"%s %s", u"one"), u"one %s");      // a missing argument is left as written
  EXPECT_EQ(text::Format(u"100%"), u"100%");
}

}  // namespace
