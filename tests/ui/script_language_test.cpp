// The script language: what it accepts and how it says what it does not.
#include "platform/portable/ui/script_parser.h"

#include <gtest/gtest.h>

namespace {

using ui::core::ParseScript;
using ui::core::ScriptAction;
using ui::core::ScriptLine;

TEST(ScriptLanguage, AcceptsEveryForm) {
  std::vector<ScriptLine> lines;
  std::string error;
  ASSERT_TRUE(ParseScript("\xEF\xBB\xBF# a comment\r\n"
                          "\n"
                          "dialog DIALOG_1: click 203 , click IDOK\r\n"
                          "  dialog DIALOG_4: select 1 3 5, key enter, key escape, close, sleep 20, wait\n"
                          "dialog DIALOG_3\n"
                          "msgbox yes\n"
                          "msgbox ok after 250\n"
                          "msgbox timeout\n"
                          "open /tmp/my bookmarks.html\n"
                          "open cancel\n"
                          "save cancel\n"
                          "save relative/\xC3\xA9t\xC3\xA9.htm\n"
                          "optional  msgbox yes",
                          lines, error))
      << error;
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_FALSE(lines[9].optional);
  EXPECT_TRUE(lines[10].optional);
  EXPECT_EQ(lines[10].answer, ScriptLine::Answer::Yes);
  EXPECT_EQ(lines[0].kind, ScriptLine::Kind::Dialog);
  EXPECT_EQ(lines[0].name, "DIALOG_1");
  EXPECT_EQ(lines[0].number, 3);
  ASSERT_EQ(lines[0].actions.size(), 2u);
  EXPECT_EQ(lines[0].actions[0].id, 203);
  EXPECT_EQ(lines[0].actions[1].id, 1);
  ASSERT_EQ(lines[1].actions.size(), 6u);
  EXPECT_EQ(lines[1].actions[0].rows, (std::vector<int>{1, 3, 5}));
  EXPECT_EQ(lines[1].actions[4].kind, ScriptAction::Kind::Sleep);
  EXPECT_EQ(lines[1].actions[4].ms, 20u);
  EXPECT_EQ(lines[1].actions[5].kind, ScriptAction::Kind::Wait);
  EXPECT_TRUE(lines[2].actions.empty());
  EXPECT_EQ(lines[3].answer, ScriptLine::Answer::Yes);
  EXPECT_EQ(lines[4].afterMs, 250u);
  EXPECT_EQ(lines[5].answer, ScriptLine::Answer::Timeout);
  EXPECT_EQ(lines[6].path, u"/tmp/my bookmarks.html");
  EXPECT_TRUE(lines[7].cancel);
  EXPECT_EQ(lines[8].kind, ScriptLine::Kind::Save);
  EXPECT_TRUE(lines[8].cancel);
  EXPECT_EQ(lines[9].path, u"relative/\u00e9t\u00e9.htm");
}

TEST(ScriptLanguage, RejectsWhatItCannotReadNamingTheLine) {
  const char* bad[] = {
      "dialog: click 1",             // no name
      "dialog DIALOG_1: click",      // no id
      "dialog DIALOG_1: click one",  // not a number
      "dialog DIALOG_1: press 1",    // unknown action
      "dialog DIALOG_1: click 1,",   // empty action
      "dialog DIALOG_1: select 0",   // rows count from 1
      "dialog DIALOG_1: key space",
      "dialog DIALOG_1: sleep",
      "msgbox maybe",
      "msgbox ok after",
      "msgbox ok later 5",
      "open",
      "press the button",
      "optional",
      "optional optional msgbox ok",
  };
  for (const char* line : bad) {
    std::vector<ScriptLine> lines;
    std::string error;
    EXPECT_FALSE(ParseScript(std::string("msgbox ok\n\n") + line + "\n", lines, error)) << line;
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
  }
}

}  // namespace
