#include "platform/posix/terminal/message_box_ui.h"

#include "platform/posix/terminal/text_cells.h"
#include "platform/posix/terminal/widgets.h"

#include <algorithm>

namespace terminal {

using ui::frontend::Buttons;
using ui::frontend::IconKind;
using ui::frontend::Input;
using ui::frontend::InputKind;
using ui::frontend::MessageBoxView;

std::vector<int> ButtonIdsOf(const MessageBoxView& box) {
  if (!box.buttonIds.empty()) return box.buttonIds;
  switch (box.buttons) {
    case Buttons::Ok: return {ui::IDOK};
    case Buttons::OkCancel: return {ui::IDOK, ui::IDCANCEL};
    case Buttons::YesNo: return {ui::IDYES, ui::IDNO};
    case Buttons::YesNoCancel: return {ui::IDYES, ui::IDNO, ui::IDCANCEL};
  }
  return {ui::IDOK};
}

std::u32string ButtonLabel(int id) {
  switch (id) {
    case ui::IDOK: return U"OK";
    case ui::IDCANCEL: return U"Cancel";
    case ui::IDYES: return U"Yes";
    case ui::IDNO: return U"No";
    default: return U"?";
  }
}

std::u32string IconSymbol(IconKind icon) {
  switch (icon) {
    case IconKind::Information: return U"(i)";
    case IconKind::Question: return U"(?)";
    case IconKind::Warning: return U"/!\\";
    case IconKind::Error: return U"(X)";
    case IconKind::None: break;
  }
  return U"";
}

int SecondsLeft(const MessageBoxView& box, std::chrono::steady_clock::time_point now) {
  if (box.timeoutMs == 0) return 0;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(box.deadline - now).count();
  return left <= 0 ? 0 : static_cast<int>((left + 999) / 1000);
}

void MessageBoxUi::Sync(const MessageBoxView& box) {
  if (box.serial == serial_) return;
  serial_ = box.serial;
  int count = static_cast<int>(ButtonIdsOf(box).size());
  focus_ = std::clamp(box.defaultButton - 1, 0, count - 1);
}

void MessageBoxUi::Draw(Canvas& canvas, const MessageBoxView& box, Rect over, Rect screen,
                        std::chrono::steady_clock::time_point now, bool active) {
  Sync(box);
  std::vector<int> ids = ButtonIdsOf(box);
  std::u32string icon = IconSymbol(box.icon);
  int iconWidth = icon.empty() ? 0 : TextWidth(icon) + 2;
  int maxText = std::max(20, std::min(screen.w - 8 - iconWidth, 72));
  std::vector<std::u32string> lines = LayoutText(box.text, maxText);
  int textWidth = 0;
  for (const auto& line : lines) textWidth = std::max(textWidth, TextWidth(line));

  std::vector<int> widths;
  int buttonsWidth = 0;
  for (int id : ids) {
    widths.push_back(std::max(10, TextWidth(ButtonLabel(id)) + 4));
    buttonsWidth += widths.back() + (widths.size() > 1 ? 2 : 0);
  }
  std::u32string caption = OneLine(box.caption);
  int inner = std::max({iconWidth + textWidth, buttonsWidth, TextWidth(caption) + 4, 16});
  int width = std::min(screen.w, inner + 4);
  int height = std::min(screen.h, static_cast<int>(lines.size()) + 5);
  int x = over.x + (over.w - width) / 2, y = over.y + (over.h - height) / 2;
  x = std::clamp(x, screen.x, std::max(screen.x, screen.Right() - width));
  y = std::clamp(y, screen.y, std::max(screen.y, screen.Bottom() - height));
  outer_ = Rect{x, y, width, height};

  Rect client = DrawWindow(canvas, outer_, caption, active);
  if (!icon.empty()) canvas.Text(client.x + 1, client.y + 1, icon, Style::Face);
  int shownLines = std::max(0, height - 5);
  for (int i = 0; i < std::min<int>(shownLines, static_cast<int>(lines.size())); ++i)
    canvas.Text(client.x + 1 + iconWidth, client.y + 1 + i, ClipToWidth(lines[static_cast<std::size_t>(i)], client.w - 2 - iconWidth), Style::Face);

  buttons_.clear();
  // The angle brackets mark the button Enter presses, which is the focused
  // one: they move with the focus, as in dialogs.
  int enterPresses = active ? focus_ : box.defaultButton - 1;
  int bx = client.x + (client.w - buttonsWidth) / 2, by = outer_.Bottom() - 2;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    Rect r{bx, by, widths[i], 1};
    buttons_.push_back(r);
    DrawButton(canvas, r, ButtonLabel(ids[i]), static_cast<int>(i) == enterPresses,
               active && static_cast<int>(i) == focus_, true);
    bx += widths[i] + 2;
  }
  if (box.timeoutMs > 0) {
    std::string note = " closes in " + std::to_string(SecondsLeft(box, now)) + " s ";
    std::u32string wide(note.begin(), note.end());
    canvas.Text(outer_.x + (outer_.w - TextWidth(wide)) / 2, outer_.Bottom() - 1, wide, Style::Face);
  }
}

std::optional<Input> MessageBoxUi::OnKey(const MessageBoxView& box, const Key& key) {
  Sync(box);
  std::vector<int> ids = ButtonIdsOf(box);
  int count = static_cast<int>(ids.size());
  auto answer = [&](int index) {
    Input input;
    if (index == box.defaultButton - 1) {
      input.kind = InputKind::AnswerDefault;
    } else {
      input.kind = InputKind::Answer;
      input.id = ids[static_cast<std::size_t>(index)];
    }
    return input;
  };
  switch (key.code) {
    case KeyCode::Left:
    case KeyCode::Up:
    case KeyCode::BackTab:
      focus_ = (focus_ + count - 1) % count;
      return std::nullopt;
    case KeyCode::Right:
    case KeyCode::Down:
    case KeyCode::Tab:
      focus_ = (focus_ + 1) % count;
      return std::nullopt;
    case KeyCode::Enter:
      return answer(focus_);
    case KeyCode::Escape: {
      Input input;
      input.kind = InputKind::AnswerEscape;
      return input;
    }
    case KeyCode::Char: {
      if (key.ch == U' ') return answer(focus_);
      // The platform's mnemonics: Y for Yes, N for No.
      int wanted = (key.ch == U'y' || key.ch == U'Y') ? ui::IDYES : (key.ch == U'n' || key.ch == U'N') ? ui::IDNO : 0;
      for (int i = 0; i < count; ++i)
        if (wanted && ids[static_cast<std::size_t>(i)] == wanted) return answer(i);
      return std::nullopt;
    }
    default:
      return std::nullopt;
  }
}

std::optional<Input> MessageBoxUi::OnMouse(const MessageBoxView& box, const Mouse& mouse) {
  Sync(box);
  if (mouse.button != MouseButton::Left) return std::nullopt;
  std::vector<int> ids = ButtonIdsOf(box);
  for (std::size_t i = 0; i < buttons_.size() && i < ids.size(); ++i) {
    if (buttons_[i].Contains(mouse.x, mouse.y)) {
      focus_ = static_cast<int>(i);
      Input input;
      input.kind = InputKind::Answer;
      input.id = ids[i];
      return input;
    }
  }
  if (CloseBoxOf(outer_).Contains(mouse.x, mouse.y)) {
    Input input;
    input.kind = InputKind::AnswerEscape;
    return input;
  }
  return std::nullopt;
}

}  // namespace terminal
