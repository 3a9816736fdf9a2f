#include "platform/posix/terminal/terminal_ui.h"
#include "views.h"

#include <gtest/gtest.h>

using namespace terminal;
using ui::frontend::InputKind;
using ui::frontend::MessageBoxView;
using ui::frontend::Screen;

namespace {

MessageBoxView Question() {
  MessageBoxView box;
  box.serial = 7;
  box.caption = u"LNT 3.0!";
  box.text = u"Are you sure you want to cancel?";
  box.buttons = ui::frontend::Buttons::YesNo;
  box.icon = ui::frontend::IconKind::Question;
  box.defaultButton = 2;
  box.buttonIds = {ui::IDYES, ui::IDNO};
  box.ownerName = "DIALOG_5";
  return box;
}

Screen BoxOver(const MessageBoxView& box) {
  Screen screen = terminal_test::ScreenWith(terminal_test::ViewOf("DIALOG_5"));
  screen.dialogs[0].enabled = false;
  screen.waiting = ui::frontend::WaitingKind::MessageBox;
  screen.messageBox = box;
  return screen;
}

}  // namespace

TEST(TerminalMessageBox, DefaultButtonHasTheFocusAndKeysAnswerAsOnThePlatform) {
  TerminalUi ui;
  Screen screen = BoxOver(Question());
  auto now = std::chrono::steady_clock::now();
  std::string shown = ui.Compose(screen, 100, 30, now).Dump();
  EXPECT_NE(shown.find("(?)  Are you sure you want to cancel?"), std::string::npos) << shown;
  EXPECT_NE(shown.find("[  Yes   ]  <   No   >"), std::string::npos) << shown;

  auto answer = [&](Key key) {
    std::optional<ui::frontend::Input> input = ui.OnKey(screen, key);
    ui.Compose(screen, 100, 30, now);
    return input;
  };
  std::optional<ui::frontend::Input> input = answer(Key{KeyCode::Enter});
  ASSERT_TRUE(input);
  EXPECT_EQ(input->kind, InputKind::AnswerDefault);  // No
  input = answer(Key{KeyCode::Escape});
  ASSERT_TRUE(input);
  EXPECT_EQ(input->kind, InputKind::AnswerEscape);
  // Moving the focus to Yes makes Enter answer Yes, and the marks of the
  // button Enter presses go with it.
  EXPECT_FALSE(answer(Key{KeyCode::Left}));
  EXPECT_NE(ui.Compose(screen, 100, 30, now).Dump().find("<  Yes   >  [   No   ]"), std::string::npos);
  input = answer(Key{KeyCode::Enter});
  ASSERT_TRUE(input);
  EXPECT_EQ(input->kind, InputKind::Answer);
  EXPECT_EQ(input->id, ui::IDYES);
  // The mnemonics answer at once.
  input = answer(Key{KeyCode::Char, U'n'});
  ASSERT_TRUE(input);
  EXPECT_EQ(input->kind, InputKind::AnswerDefault);
  // A new box starts again on its own default button.
  MessageBoxView next = Question();
  next.serial = 8;
  screen = BoxOver(next);
  ui.Compose(screen, 100, 30, now);
  input = answer(Key{KeyCode::Char, U' '});
  ASSERT_TRUE(input);
  EXPECT_EQ(input->kind, InputKind::AnswerDefault);
}

TEST(TerminalMessageBox, BoxIsCentredOverItsOwnerAndKeepsLineBreaksAndTabs) {
  TerminalUi ui;
  MessageBoxView box = Question();
  box.text = u"Total files: \t1\r\nFiles updated: \t0/1\r\n\r\nNo files need to be updated!";
  box.buttons = ui::frontend::Buttons::Ok;
  box.buttonIds = {ui::IDOK};
  box.defaultButton = 1;
  box.icon = ui::frontend::IconKind::Information;
  Screen screen = BoxOver(box);
  terminal::Canvas canvas = ui.Compose(screen, 120, 40, std::chrono::steady_clock::now());
  std::string shown = canvas.Dump();
  EXPECT_NE(shown.find("(i)  Total files:    1"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Files updated:  0/1"), std::string::npos) << shown;
  // Centred: the caption row of the box sits in the middle of the owner's rows.
  int ownerTop = -1, ownerBottom = -1, boxTop = -1, boxBottom = -1;
  for (int y = 0; y < canvas.Height(); ++y) {
    std::string row = canvas.Row(y);
    if (row.find("Linnet 3") != std::string::npos) ownerTop = y;
    if (row.find("LNT 3.0!") != std::string::npos) boxTop = y;
    if (row.find("\u2518") != std::string::npos) {
      if (boxTop >= 0 && boxBottom < 0) boxBottom = y;
      ownerBottom = y;
    }
  }
  ASSERT_GE(ownerTop, 0);
  ASSERT_GE(boxTop, 0);
  EXPECT_LE(std::abs((ownerTop + ownerBottom) - (boxTop + boxBottom)), 2);
}

TEST(TerminalMessageBox, TimedBoxCountsDownVisibly) {
  TerminalUi ui;
  MessageBoxView box = Question();
  box.timeoutMs = 20000;
  auto now = std::chrono::steady_clock::now();
  box.deadline = now + std::chrono::milliseconds(20000);
  Screen screen = BoxOver(box);
  EXPECT_NE(ui.Compose(screen, 100, 30, now).Dump().find("closes in 20 s"), std::string::npos);
  EXPECT_NE(ui.Compose(screen, 100, 30, now + std::chrono::milliseconds(12500)).Dump().find("closes in 8 s"),
            std::string::npos);
  EXPECT_NE(ui.Compose(screen, 100, 30, now + std::chrono::seconds(30)).Dump().find("closes in 0 s"), std::string::npos);
}

TEST(TerminalMessageBox, NotificationIconIsShownAndTakesClicks) {
  TerminalUi ui;
  Screen screen = BoxOver(Question());
  screen.trayIcon = ui::frontend::TrayIconView{};
  Canvas canvas = ui.Compose(screen, 80, 24, std::chrono::steady_clock::now());
  EXPECT_NE(canvas.Row(23).find("[LNT]"), std::string::npos);
  std::optional<ui::frontend::Input> input = ui.OnMouse(screen, Mouse{75, 23});
  ASSERT_TRUE(input);
  EXPECT_EQ(input->kind, InputKind::TrayClick);
  // Without an icon the same cell is only the help line.
  screen.trayIcon.reset();
  ui.Compose(screen, 80, 24, std::chrono::steady_clock::now());
  EXPECT_FALSE(ui.OnMouse(screen, Mouse{75, 23}));
}
