#include "platform/posix/terminal/text_cells.h"

#include <gtest/gtest.h>

using namespace terminal;

TEST(TextCells, ControlCharactersFromBookmarksNeverReachTheTerminal) {
  // An escape sequence in a link title must not be able to drive the terminal.
  std::u32string shown = ToCodePoints(u"evil\x1b]0;title\x07\x9b" u"31m done");
  for (char32_t ch : shown) {
    EXPECT_FALSE(ch < 0x20 && ch != U'\t' && ch != U'\r' && ch != U'\n') << static_cast<unsigned>(ch);
    EXPECT_FALSE(ch >= 0x7F && ch < 0xA0) << static_cast<unsigned>(ch);
  }
  EXPECT_EQ(shown.substr(0, 4), U"evil");
  // Bidirectional overrides would reorder the cells beside them.
  EXPECT_EQ(ToCodePoints(u"a\u202Eb"), U"a\uFFFDb");
  // Surrogate pairs join; a lone surrogate is replaced, never passed on.
  EXPECT_EQ(ToCodePoints(u"\xD83D\xDE00"), U"\U0001F600");
  EXPECT_EQ(ToCodePoints(std::u16string(1, u'\xD800') + u"x"), U"\uFFFDx");
  EXPECT_EQ(OneLine(u"a\tb\r\nc"), U"a b  c");
}

TEST(TextCells, TabsStopEveryEightColumnsSoStatisticsLineUp) {
  std::vector<std::u32string> lines =
      LayoutText(u"Total: \t\t7\r\n\r\nChecked: \t3 (42.9%)\r\nOK: \t\t2\r\n404: \t\t1\r\n", 0);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], U"Total:          7");
  EXPECT_EQ(lines[1], U"");
  EXPECT_EQ(lines[2], U"Checked:        3 (42.9%)");
  EXPECT_EQ(lines[3], U"OK:             2");
  EXPECT_EQ(lines[4], U"404:            1");
}

TEST(TextCells, LinesBreakAtTheirBreaksAndWrapAtSpaces) {
  EXPECT_EQ(SplitLines(U"a\r\nb\nc\rd"), (std::vector<std::u32string>{U"a", U"b", U"c", U"d"}));
  EXPECT_EQ(LayoutText(u"None of your favorites have any problems.\r\nLNT will now exit.", 0),
            (std::vector<std::u32string>{U"None of your favorites have any problems.", U"LNT will now exit."}));
  EXPECT_EQ(WrapLine(U"one two three", 8), (std::vector<std::u32string>{U"one two", U"three"}));
  // A word longer than the line is cut, nothing is lost.
  std::vector<std::u32string> cut = WrapLine(U"http://example.com/a/very/long/path", 10);
  std::u32string joined;
  for (const auto& piece : cut) {
    EXPECT_LE(TextWidth(piece), 10);
    joined += piece;
  }
  EXPECT_EQ(joined, U"http://example.com/a/very/long/path");
  // Wide glyphs take two columns.
  EXPECT_EQ(TextWidth(U"\u6F22\u5B57"), 4);
  EXPECT_EQ(ClipToWidth(U"\u6F22\u5B57", 3), U"\u6F22");
}
