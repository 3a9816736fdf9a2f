#include "platform/posix/terminal/dialog_layout.h"
#include "platform/posix/terminal/terminal_ui.h"
#include "platform/posix/terminal/text_cells.h"
#include "views.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace terminal;
using terminal_test::ScreenWith;
using terminal_test::ViewOf;

namespace {

std::string Collapse(const std::string& text) {
  std::string out;
  for (char ch : text)
    if (!(ch == ' ' && !out.empty() && out.back() == ' ')) out.push_back(ch);
  return out;
}

// Every text of a dialog must be on screen whole: each line a label is
// laid out in appears on one row, and the lines put together are the text.
void ExpectAllTextsShown(const ui::frontend::DialogView& view, int width, int height) {
  TerminalUi ui;
  Canvas canvas = ui.Compose(ScreenWith(view), width, height, std::chrono::steady_clock::now());
  std::string screen = canvas.Dump();
  DialogLayout layout = LayoutDialog(view, width, height - 1);
  SCOPED_TRACE(view.name + " at " + std::to_string(width) + "x" + std::to_string(height) + "\n" + screen);
  EXPECT_LE(layout.OuterWidth(), width);
  EXPECT_LE(layout.OuterHeight(), height - 1);
  EXPECT_NE(screen.find(ToUtf8(OneLine(view.caption))), std::string::npos);
  for (const ControlLayout& control : layout.controls) {
    const auto& c = view.controls[static_cast<std::size_t>(control.index)];
    if (c.text.empty()) continue;
    if (c.kind == ui::ControlKind::Label) {
      std::u32string joined;
      for (const auto& line : control.lines) {
        EXPECT_NE(screen.find(ToUtf8(line)), std::string::npos) << ToUtf8(line);
        joined += (joined.empty() ? U"" : U" ") + line;
      }
      EXPECT_LE(static_cast<int>(control.lines.size()), control.rect.h);
      EXPECT_EQ(Collapse(ToUtf8(joined)), Collapse(ToUtf8(OneLine(c.text))));
    } else {
      EXPECT_NE(screen.find(ToUtf8(OneLine(c.text))), std::string::npos) << ToUtf8(OneLine(c.text));
    }
  }
}

}  // namespace

TEST(DialogLayout, OneDialogUnitIsAQuarterColumnAndAnEighthRow) {
  ui::frontend::DialogView source = ViewOf("DIALOG_1");
  DialogLayout layout = LayoutDialog(source, 300, 100);
  EXPECT_EQ(layout.clientWidth, 89);  // 356 units
  EXPECT_EQ(layout.clientHeight, 18);  // 146 units
  for (const ControlLayout& control : layout.controls) {
    const auto& c = source.controls[static_cast<std::size_t>(control.index)];
    if (c.id == 201) {
      EXPECT_EQ(control.rect.x, 5);  // x 21
      EXPECT_EQ(control.row, 9);     // y 74
    }
    if (c.id == 2) {
      EXPECT_EQ(control.rect.x, 68);  // x 272
      EXPECT_EQ(control.row, 4);      // y 29
    }
  }
}

TEST(DialogLayout, EveryDialogShowsAllItsTextsInSmallAndLargeTerminals) {
  for (const ui::DialogTemplate* layout : ui::AllDialogTemplates()) {
    ui::frontend::DialogView view = ViewOf(layout->name);
    ExpectAllTextsShown(view, 80, 24);
    ExpectAllTextsShown(view, 200, 60);
  }
}

TEST(DialogLayout, SqueezingDropsOnlyEmptyPositionsLongestGapsFirst) {
  std::vector<bool> solid = {true, false, false, false, false, true, false, true};
  std::vector<bool> keep = SqueezeKeep(solid, 3);
  for (std::size_t i = 0; i < solid.size(); ++i)
    if (solid[i]) {
      EXPECT_TRUE(keep[i]) << i;
    }
  // The four-wide gap gives three and keeps one; the single gap stays.
  EXPECT_EQ(std::count(keep.begin(), keep.begin() + 5, false), 3);
  EXPECT_TRUE(keep[6]);
  // When that is not enough, the last blank of each gap goes too, never a solid one.
  keep = SqueezeKeep(solid, 10);
  EXPECT_EQ(std::count(keep.begin(), keep.end(), true), 3);
}

TEST(DialogLayout, LabelsTooLongForTheirRectangleGrowIntoFreeRows) {
  ui::frontend::DialogView actions = ViewOf("DIALOG_2");
  DialogLayout layout = LayoutDialog(actions, 300, 100);
  for (const ControlLayout& control : layout.controls) {
    const auto& c = actions.controls[static_cast<std::size_t>(control.index)];
    if (c.text == u"What to do with 500s (Internal server error, temporal or permanent) ?") {
      EXPECT_EQ(control.lines.size(), 2u);
      // It stays inside its group box, whose right edge is at column 65.
      EXPECT_LE(control.rect.Right(), 65);
    }
  }
}

TEST(DialogLayout, TinyTerminalsScrollToTheFocusAndNeverBreak) {
  for (const ui::DialogTemplate* layout : ui::AllDialogTemplates()) {
    ui::frontend::DialogView view = ViewOf(layout->name);
    for (auto [width, height] : {std::pair{1, 1}, std::pair{20, 6}, std::pair{40, 12}, std::pair{0, 0}}) {
      TerminalUi ui;
      ui::frontend::Screen screen = ScreenWith(view);
      ui::frontend::MessageBoxView box;
      box.text = std::u16string(500, u'x') + u"\r\n" + std::u16string(40, u'\t');
      box.buttonIds = {ui::IDYES, ui::IDNO, ui::IDCANCEL};
      screen.messageBox = box;
      Canvas canvas = ui.Compose(screen, width, height, std::chrono::steady_clock::now());
      EXPECT_EQ(canvas.Width(), std::max(0, width));
    }
  }
  // In a terminal too small even when squeezed, moving the focus to the
  // last button scrolls it into view.
  ui::frontend::DialogView source = ViewOf("DIALOG_1");
  TerminalUi ui;
  ui::frontend::Screen screen = ScreenWith(source);
  ui.Compose(screen, 40, 12, std::chrono::steady_clock::now());
  for (int i = 0; i < 3; ++i) ui.OnKey(screen, Key{KeyCode::Tab});
  std::string shown = ui.Compose(screen, 40, 12, std::chrono::steady_clock::now()).Dump();
  EXPECT_NE(shown.find("Check for updates..."), std::string::npos) << shown;
}
