#include "platform/posix/terminal/terminal_front_end.h"
#include "platform/posix/terminal/terminal_ui.h"
#include "views.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace terminal;
using terminal_test::ControlById;
using terminal_test::ScreenWith;
using terminal_test::ViewOf;
using ui::frontend::Input;
using ui::frontend::InputKind;

namespace {

const auto kNow = std::chrono::steady_clock::now();

Key K(KeyCode code, bool shift = false) { return Key{code, 0, shift}; }
Key Space() { return Key{KeyCode::Char, U' '}; }

struct Fixture {
  explicit Fixture(ui::frontend::DialogView v) : view(std::move(v)) { Refresh(); }
  void Refresh() {
    screen = ScreenWith(view);
    ui.Compose(screen, 120, 40, kNow);
  }
  std::optional<Input> Press(const Key& key) {
    std::optional<Input> input = ui.OnKey(screen, key);
    Refresh();
    return input;
  }
  int FocusId() const {
    int focus = ui.FocusOf(view.handle);
    return focus < 0 ? -1 : view.controls[static_cast<std::size_t>(focus)].id;
  }
  ui::frontend::DialogView view;
  ui::frontend::Screen screen;
  TerminalUi ui;
};

// What the core does with a click on a radio button, so the next keys see it.
void ApplyRadio(ui::frontend::DialogView& view, int id) {
  for (auto& c : view.controls)
    if (c.kind == ui::ControlKind::Radio && c.id / 100 == id / 100) c.checked = c.id == id;
}

}  // namespace

TEST(TerminalKeyboard, RadioGroupsAreOneTabStopAndArrowsSkipDisabledChoices) {
  ui::frontend::DialogView source = ViewOf("DIALOG_1");
  ControlById(source, 201).checked = true;
  ControlById(source, 202).enabled = false;  // no Firefox bookmark file
  Fixture f(source);
  EXPECT_EQ(f.FocusId(), 201);  // the checked button of the first group

  std::optional<Input> input = f.Press(K(KeyCode::Down));
  ASSERT_TRUE(input);
  EXPECT_EQ(input->kind, InputKind::Click);
  EXPECT_EQ(input->id, 203);  // the greyed Firefox choice is passed over
  EXPECT_EQ(input->window, source.handle);
  ApplyRadio(f.view, 203);
  f.Refresh();
  // Down again wraps round to the first choice, again past the disabled one.
  input = f.Press(K(KeyCode::Down));
  ASSERT_TRUE(input);
  EXPECT_EQ(input->id, 201);
  ApplyRadio(f.view, 201);
  f.Refresh();

  // Tab: OK, Cancel, Check for updates..., then back to the group's checked button.
  EXPECT_FALSE(f.Press(K(KeyCode::Tab)));
  EXPECT_EQ(f.FocusId(), 1);
  f.Press(K(KeyCode::Tab));
  EXPECT_EQ(f.FocusId(), 2);
  f.Press(K(KeyCode::Tab));
  EXPECT_EQ(f.FocusId(), 9);
  f.Press(K(KeyCode::Tab));
  EXPECT_EQ(f.FocusId(), 201);
  f.Press(K(KeyCode::BackTab));
  EXPECT_EQ(f.FocusId(), 9);
}

TEST(TerminalKeyboard, EnterPressesTheDefaultOrFocusedButtonAndEscapeCancels) {
  Fixture f(ViewOf("DIALOG_1"));
  std::optional<Input> input = f.Press(K(KeyCode::Enter));
  ASSERT_TRUE(input);
  EXPECT_EQ(input->kind, InputKind::KeyEnter);  // the core presses the default button
  input = f.Press(K(KeyCode::Escape));
  ASSERT_TRUE(input);
  EXPECT_EQ(input->kind, InputKind::KeyEscape);

  // On a focused push button, Enter and Space press that button.
  while (f.FocusId() != 2) f.Press(K(KeyCode::Tab));
  input = f.Press(K(KeyCode::Enter));
  ASSERT_TRUE(input);
  EXPECT_EQ(input->kind, InputKind::Click);
  EXPECT_EQ(input->id, 2);
  input = f.Press(Space());
  ASSERT_TRUE(input);
  EXPECT_EQ(input->id, 2);
}

TEST(TerminalKeyboard, DisabledControlsCannotBeChosenByKeyOrMouse) {
  ui::frontend::DialogView source = ViewOf("DIALOG_1");
  ControlById(source, 201).checked = true;
  ControlById(source, 9).enabled = false;
  Fixture f(source);
  for (int i = 0; i < 6; ++i) {
    f.Press(K(KeyCode::Tab));
    EXPECT_NE(f.FocusId(), 9);
  }
  // A click on the greyed button's row does nothing.
  ControlById(f.view, 202).enabled = false;
  f.Refresh();
  std::string screen = f.ui.Compose(f.screen, 120, 40, kNow).Dump();
  std::size_t line = 0, at = std::string::npos;
  std::istringstream rows(screen);
  std::string row;
  int y = 0;
  while (std::getline(rows, row)) {
    if ((at = row.find("Import from Firefox")) != std::string::npos) {
      line = static_cast<std::size_t>(y);
      break;
    }
    ++y;
  }
  ASSERT_NE(at, std::string::npos);
  // Columns count code points; the row has box glyphs of three bytes before it.
  std::u32string wide;
  for (std::size_t i = 0; i < at;) {
    unsigned char c = static_cast<unsigned char>(row[i]);
    i += c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    wide.push_back(U'x');
  }
  Mouse click{static_cast<int>(wide.size()), static_cast<int>(line)};
  EXPECT_FALSE(f.ui.OnMouse(f.screen, click));
  // The same click on an enabled choice selects it.
  click.y += 2;
  std::optional<Input> input = f.ui.OnMouse(f.screen, click);
  ASSERT_TRUE(input);
  EXPECT_EQ(input->kind, InputKind::Click);
  EXPECT_EQ(input->id, 203);
}

TEST(TerminalKeyboard, ListRowsAreSelectedWithSpaceShiftArrowsAndCtrlA) {
  ui::frontend::DialogView review = ViewOf("DIALOG_4");
  ui::frontend::ControlView& list = ControlById(review, 900);
  list.columns = {{u"#", -2}, {u"Name", -1}, {u"Action", -1}, {u"URL", -1}};
  for (int i = 1; i <= 5; ++i)
    list.rows.push_back({{std::u16string(1, static_cast<char16_t>(u'0' + i)), u"Site", u"Delete", u"http://x/"}, false});
  Fixture f(review);
  EXPECT_EQ(f.FocusId(), 900);  // the list is the first tab stop

  auto selectionAfter = [&](const Key& key) {
    std::optional<Input> input = f.Press(key);
    if (!input) return std::vector<int>{-1};
    EXPECT_EQ(input->kind, InputKind::Select);
    EXPECT_EQ(input->id, 900);
    for (auto& row : ControlById(f.view, 900).rows) row.selected = false;
    for (int r : input->rows) ControlById(f.view, 900).rows[static_cast<std::size_t>(r)].selected = true;
    f.Refresh();
    return input->rows;
  };
  // Moving alone selects nothing; Space toggles the row under the caret.
  EXPECT_EQ(selectionAfter(K(KeyCode::Down)), std::vector<int>{-1});
  EXPECT_EQ(selectionAfter(Space()), std::vector<int>{1});
  f.Press(K(KeyCode::Down));
  f.Press(K(KeyCode::Down));
  EXPECT_EQ(selectionAfter(Space()), (std::vector<int>{1, 3}));
  EXPECT_EQ(selectionAfter(Space()), std::vector<int>{1});
  // Shift-arrows extend from where the caret last stood still.
  EXPECT_EQ(selectionAfter(K(KeyCode::Down, true)), (std::vector<int>{3, 4}));
  EXPECT_EQ(selectionAfter(K(KeyCode::Home)), std::vector<int>{-1});
  EXPECT_EQ(selectionAfter(K(KeyCode::End, true)), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(selectionAfter(K(KeyCode::SelectAll)), (std::vector<int>{0, 1, 2, 3, 4}));
  // Enter in the list presses the dialog's default button (OK).
  std::optional<Input> enter = f.Press(K(KeyCode::Enter));
  ASSERT_TRUE(enter);
  EXPECT_EQ(enter->kind, InputKind::KeyEnter);
}

TEST(TerminalKeyboard, ListRowsShowTheirCellsInColumnsAndFollowTheCaret) {
  ui::frontend::DialogView review = ViewOf("DIALOG_4");
  ui::frontend::ControlView& list = ControlById(review, 900);
  list.columns = {{u"#", -2}, {u"Name", -1}, {u"Action", -1}, {u"URL", -1}};
  for (int i = 1; i <= 60; ++i)
    list.rows.push_back({{std::u16string(u"") + static_cast<char16_t>(u'0' + i % 10), u"Example \x1b[2J", i % 2 ? u"Delete" : u"Fix",
                          u"http://127.0.0.1/page"},
                         false});
  Fixture f(review);
  std::string screen = f.ui.Compose(f.screen, 120, 40, kNow).Dump();
  EXPECT_NE(screen.find(" #  Name"), std::string::npos) << screen;
  EXPECT_NE(screen.find("Action"), std::string::npos);
  EXPECT_NE(screen.find("http://127.0.0.1/page"), std::string::npos);
  EXPECT_EQ(screen.find('\x1b'), std::string::npos);  // a title cannot clear the screen
  for (int i = 0; i < 59; ++i) f.Press(K(KeyCode::Down));
  screen = f.ui.Compose(f.screen, 120, 40, kNow).Dump();
  // The last row (number 60 shows "0") is in view after the caret went there.
  EXPECT_NE(screen.find("\u2191"), std::string::npos);  // rows above are scrolled off
}

TEST(TerminalKeyboard, AtEightyColumnsTheCaretRowsWholeUrlIsShownBelowTheRows) {
  ui::frontend::DialogView review = ViewOf("DIALOG_4");
  ui::frontend::ControlView& list = ControlById(review, 900);
  list.columns = {{u"#", -2}, {u"Name", -1}, {u"Action", -1}, {u"URL", -1}};
  const std::u16string longUrl =
      u"http://127.0.0.1:45678/a/rather/long/path/to/a/page/that/is/gone/index.html?with=a&query=string&and=more";
  list.rows.push_back({{u"1", u"Short", u"Fix", u"http://127.0.0.1:45678/gone"}, false});
  list.rows.push_back({{u"2", u"A page with a long address", u"Delete", longUrl}, false});
  for (int i = 3; i <= 30; ++i) list.rows.push_back({{u"9", u"Filler", u"Fix", u"http://127.0.0.1:45678/x"}, false});
  Fixture f(review);

  // The address below the rows: where "URL: " starts, read on down to the
  // list's right edge, line by line, until a line is empty.
  struct Shown {
    std::u32string address;
    int row = -1, column = -1, listRows = 0;
  };
  auto shown = [&] {
    Canvas canvas = f.ui.Compose(f.screen, 80, 24, kNow);
    Shown out;
    for (int y = 0; y < canvas.Height(); ++y) {
      std::string text = canvas.Row(y);
      if (text.find("Filler") != std::string::npos) ++out.listRows;
      for (int x = 0; out.row < 0 && x + 4 < canvas.Width(); ++x)
        if (canvas.At(x, y).ch == U'U' && canvas.At(x + 1, y).ch == U'R' && canvas.At(x + 2, y).ch == U'L' &&
            canvas.At(x + 3, y).ch == U':')
          out.row = y, out.column = x;
    }
    // Inside the list's frame, one blank column in from it.
    for (int y = out.row; out.row >= 0 && out.column >= 2 && y < canvas.Height() && canvas.At(out.column - 2, y).ch == kVLine; ++y) {
      std::u32string piece;
      for (int x = out.column; x < canvas.Width() && canvas.At(x, y).ch != kVLine; ++x) piece += canvas.At(x, y).ch;
      while (!piece.empty() && piece.back() == U' ') piece.pop_back();
      if (piece.empty()) break;
      out.address += piece;
    }
    return out;
  };
  Shown first = shown();
  EXPECT_EQ(first.address, U"URL: http://127.0.0.1:45678/gone") << f.ui.Compose(f.screen, 80, 24, kNow).Dump();
  // Down to the long address: it reads whole, and the rows keep their
  // place, since room was made for the longest from the start.
  f.Press(K(KeyCode::Down));
  Shown second = shown();
  EXPECT_EQ(second.address, U"URL: " + std::u32string(longUrl.begin(), longUrl.end()))
      << f.ui.Compose(f.screen, 80, 24, kNow).Dump();
  EXPECT_EQ(second.listRows, first.listRows);
  EXPECT_GT(second.listRows, 5);
  // A click on the address chooses no row.
  Mouse click;
  click.x = second.column + 2;
  click.y = second.row;
  EXPECT_FALSE(f.ui.OnMouse(f.screen, click));
  // With room for every column the line is not needed.
  auto& rows = ControlById(f.view, 900).rows;
  rows.erase(rows.begin() + 1);
  f.Refresh();
  EXPECT_EQ(f.ui.Compose(f.screen, 120, 40, kNow).Dump().find("URL: "), std::string::npos);
}

TEST(TerminalKeyboard, EscapeSequencesCursesDoesNotKnowAreDecodedNotTakenForEscape) {
  ASSERT_TRUE(DecodeSequence("1;2B"));
  EXPECT_EQ(DecodeSequence("1;2B")->code, KeyCode::Down);
  EXPECT_TRUE(DecodeSequence("1;2B")->shift);
  EXPECT_EQ(DecodeSequence("1;2A")->code, KeyCode::Up);
  EXPECT_EQ(DecodeSequence("6;2~")->code, KeyCode::PageDown);
  EXPECT_TRUE(DecodeSequence("6;2~")->shift);
  EXPECT_EQ(DecodeSequence("Z")->code, KeyCode::BackTab);
  // Anything else is swallowed: no key at all rather than Escape.
  EXPECT_FALSE(DecodeSequence("1;5C"));
  EXPECT_FALSE(DecodeSequence("200~"));
}
