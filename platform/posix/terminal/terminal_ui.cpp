#include "platform/posix/terminal/terminal_ui.h"

#include "platform/posix/terminal/dialog_focus.h"
#include "platform/posix/terminal/text_cells.h"
#include "platform/posix/terminal/widgets.h"

#include <algorithm>

namespace terminal {
namespace {

using ui::ControlKind;
using ui::frontend::ControlView;
using ui::frontend::DialogView;
using ui::frontend::Input;
using ui::frontend::InputKind;
using ui::frontend::Screen;
using ui::frontend::WaitingKind;

Input ClickOn(const DialogView& dialog, const ControlView& control) {
  Input input;
  input.kind = InputKind::Click;
  input.window = dialog.handle;
  input.id = control.id;
  return input;
}

Input Plain(InputKind kind, ui::Window window) {
  Input input;
  input.kind = kind;
  input.window = window;
  return input;
}

Input SelectRows(const DialogView& dialog, const ControlView& list, std::vector<int> rows) {
  Input input;
  input.kind = InputKind::Select;
  input.window = dialog.handle;
  input.id = list.id;
  input.rows = std::move(rows);
  return input;
}

// Scrolls one axis of a dialog larger than the screen so that [from, to)
// is in view.
int FollowInto(int scroll, int from, int to, int size, int view) {
  if (size <= view) return 0;
  if (to - scroll > view) scroll = to - view;
  if (from < scroll) scroll = from;
  return std::clamp(scroll, 0, size - view);
}

}  // namespace

const DialogView* WaitingDialog(const Screen& screen) {
  if (screen.waiting == WaitingKind::Dialog) {
    for (const DialogView& dialog : screen.dialogs)
      if (dialog.handle == screen.waitingDialog) return &dialog;
    return nullptr;
  }
  // A plain message loop (a modeless window's): the topmost window that
  // takes input is the one keys go to.
  if (screen.waiting == WaitingKind::Nothing)
    for (auto it = screen.dialogs.rbegin(); it != screen.dialogs.rend(); ++it)
      if (it->enabled && it->visible) return &*it;
  return nullptr;
}

int TerminalUi::FocusOf(ui::Window dialog) const {
  auto it = dialogs_.find(dialog);
  return it == dialogs_.end() ? -1 : it->second.focus;
}

TerminalUi::DialogUi& TerminalUi::StateOf(const DialogView& dialog) {
  DialogUi& state = dialogs_[dialog.handle];
  if (!state.started || !CanFocus(dialog, state.focus)) {
    // A radio group's other member may keep the focus when the focused one
    // was disabled; otherwise start over at the first tab stop.
    state.focus = InitialFocus(dialog);
    state.started = true;
  }
  return state;
}

const TerminalUi::Placed* TerminalUi::PlacedOf(ui::Window handle) const {
  for (const Placed& placed : placed_)
    if (placed.handle == handle) return &placed;
  return nullptr;
}

std::u32string TerminalUi::HintFor(const Screen& screen) const {
  switch (screen.waiting) {
    case WaitingKind::MessageBox:
      return U" Enter: press the focused button  Arrows/Tab: move  Esc: cancel";
    case WaitingKind::FileDialog:
      return U" Tab: field/list/buttons  Enter: open or choose  Backspace: up  Esc: cancel";
    default:
      break;
  }
  const DialogView* dialog = WaitingDialog(screen);
  if (!dialog) return U"";
  auto it = dialogs_.find(dialog->handle);
  int focus = it == dialogs_.end() ? -1 : it->second.focus;
  if (focus >= 0 && focus < static_cast<int>(dialog->controls.size()) &&
      dialog->controls[static_cast<std::size_t>(focus)].kind == ControlKind::ListView)
    return U" Arrows: move  Space: select  Shift-arrows: extend  Ctrl-A: all  Tab: buttons";
  return U" Tab: move  Arrows: choose  Space: select or press  Enter: OK  Esc: cancel";
}

Canvas TerminalUi::Compose(const Screen& screen, int width, int height, Clock::time_point now) {
  Canvas canvas(width, height, Style::Desktop);
  cursor_.reset();
  // Forget dialogs that are gone.
  for (auto it = dialogs_.begin(); it != dialogs_.end();) {
    bool shown = std::any_of(screen.dialogs.begin(), screen.dialogs.end(),
                             [&](const DialogView& d) { return d.handle == it->first; });
    it = shown ? std::next(it) : dialogs_.erase(it);
  }
  bool hint = height >= 12;
  Rect area{0, 0, width, height - (hint ? 1 : 0)};

  placed_.clear();
  const DialogView* waiting = WaitingDialog(screen);
  for (const DialogView& dialog : screen.dialogs) {
    if (!dialog.visible) continue;
    DrawDialog(canvas, dialog, area, waiting == &dialog);
  }
  bool fileFirst = screen.waiting != WaitingKind::FileDialog;
  auto drawFile = [&] {
    if (!screen.fileDialog) {
      file_.reset();
      return;
    }
    if (!file_ || file_->Serial() != screen.fileDialog->serial) file_ = std::make_unique<FileDialogUi>(*screen.fileDialog);
    file_->Draw(canvas, area, screen.waiting == WaitingKind::FileDialog);
    if (screen.waiting == WaitingKind::FileDialog) cursor_ = file_->Cursor();
  };
  if (fileFirst) drawFile();
  if (screen.messageBox) {
    Rect over = area;
    if (const Placed* owner = nullptr; !screen.messageBox->ownerName.empty()) {
      for (const Placed& placed : placed_)
        if (placed.name == screen.messageBox->ownerName) owner = &placed;
      if (owner) over = owner->outer;
    }
    box_.Draw(canvas, *screen.messageBox, over, area, now, screen.waiting == WaitingKind::MessageBox);
  }
  if (!fileFirst) drawFile();
  if (hint) canvas.Text(0, height - 1, ClipToWidth(HintFor(screen), width), Style::Hint);
  // The notification-area icon sits at the right end of the bottom line.
  trayIcon_ = Rect{};
  if (screen.trayIcon && width >= 8 && height >= 1) {
    trayIcon_ = Rect{width - 7, height - 1, 7, 1};
    canvas.Text(trayIcon_.x, trayIcon_.y, U" [LNT] ", Style::Caption);
  }
  return canvas;
}

void TerminalUi::DrawDialog(Canvas& canvas, const DialogView& dialog, Rect area, bool active) {
  DialogUi& state = StateOf(dialog);
  Placed placed;
  placed.handle = dialog.handle;
  placed.name = dialog.name;
  placed.layout = LayoutDialog(dialog, area.w, area.h);
  int ow = placed.layout.OuterWidth(), oh = placed.layout.OuterHeight();
  // Larger than the screen even when squeezed: it scrolls, following the focus.
  if (active) {
    if (const ControlLayout* focused = placed.layout.Find(state.focus)) {
      state.scrollX = FollowInto(state.scrollX, focused->rect.x, focused->rect.Right() + 2, ow, area.w);
      state.scrollY = FollowInto(state.scrollY, focused->rect.y, focused->rect.Bottom() + 2, oh, area.h);
    }
  }
  state.scrollX = ow > area.w ? std::clamp(state.scrollX, 0, ow - area.w) : 0;
  state.scrollY = oh > area.h ? std::clamp(state.scrollY, 0, oh - area.h) : 0;
  int x = ow <= area.w ? area.x + (area.w - ow) / 2 : area.x - state.scrollX;
  int y = oh <= area.h ? area.y + (area.h - oh) / 2 : area.y - state.scrollY;
  placed.outer = Rect{x, y, ow, oh};
  canvas.SetClip(area);
  placed.client = DrawWindow(canvas, placed.outer, OneLine(dialog.caption), active && dialog.enabled);
  Rect clip = placed.client;
  int cx0 = std::max(clip.x, area.x), cy0 = std::max(clip.y, area.y);
  canvas.SetClip(Rect{cx0, cy0, std::min(clip.Right(), area.Right()) - cx0, std::min(clip.Bottom(), area.Bottom()) - cy0});
  for (const ControlLayout& control : placed.layout.controls)
    DrawControl(canvas, dialog, state, control, placed.client, active && dialog.enabled);
  canvas.ClearClip();
  placed_.push_back(std::move(placed));
}

void TerminalUi::DrawControl(Canvas& canvas, const DialogView& dialog, DialogUi& state, const ControlLayout& control,
                             Rect client, bool active) {
  const ControlView& c = dialog.controls[static_cast<std::size_t>(control.index)];
  Rect r{client.x + control.rect.x, client.y + control.rect.y, control.rect.w, control.rect.h};
  int row = client.y + control.row;
  bool focused = active && state.focus == control.index;
  Style text = c.enabled ? Style::Face : Style::Disabled;
  switch (c.kind) {
    case ControlKind::Label:
      for (int i = 0; i < std::min<int>(r.h, static_cast<int>(control.lines.size())); ++i)
        canvas.Text(r.x, r.y + i, control.lines[static_cast<std::size_t>(i)], text);
      break;
    case ControlKind::GroupBox:
      canvas.Frame(r, Style::Face);
      if (!c.text.empty()) canvas.Text(r.x + 1, r.y, U" " + ClipToWidth(OneLine(c.text), std::max(0, r.w - 4)) + U" ", text);
      break;
    case ControlKind::Radio: {
      canvas.Text(r.x, row, c.checked ? U"(*) " : U"( ) ", text);
      canvas.Text(r.x + kRadioMarkWidth, row, OneLine(c.text), focused ? Style::Focus : text);
      break;
    }
    case ControlKind::Button: {
      int defaultIndex = DefaultButtonIndex(dialog, active ? state.focus : -1);
      DrawButton(canvas, Rect{r.x, row, r.w, 1}, OneLine(c.text), defaultIndex == control.index, focused, c.enabled);
      break;
    }
    case ControlKind::Progress: {
      int inner = std::max(0, r.w - 2);
      int span = c.rangeMax - c.rangeMin;
      int filled = span > 0 ? static_cast<int>(static_cast<long long>(std::clamp(c.pos, c.rangeMin, c.rangeMax) - c.rangeMin) * inner / span) : 0;
      canvas.Put(r.x, row, U'[', Style::Face);
      for (int i = 0; i < inner; ++i)
        canvas.Put(r.x + 1 + i, row, i < filled ? kFullBlock : kLightShade, i < filled ? Style::BarFill : Style::BarEmpty);
      canvas.Put(r.Right() - 1, row, U']', Style::Face);
      break;
    }
    case ControlKind::ListView: {
      canvas.Frame(r, Style::Face);
      ListUi& list = state.lists[control.index];
      int inner = std::max(0, r.w - 2);
      int count = static_cast<int>(c.rows.size());
      std::vector<int> widths = ColumnWidths(c);
      // Below the rows, after a rule: the caret row's cut-off last column
      // whole, taking at most half of the rows.
      int caretRow = std::clamp(list.caret, 0, std::max(0, count - 1));
      std::vector<std::u32string> detail = CaretRowDetail(c, widths, caretRow, inner - 2, (r.h - 4) / 2);
      int detailRows = detail.empty() ? 0 : static_cast<int>(detail.size()) + 1;
      int visible = std::max(1, r.h - 3 - detailRows);
      state.listPages[control.index] = visible;
      Clamp(list, count, visible);
      list.hscroll = std::min(list.hscroll, std::max(0, ReportWidth(widths) - inner));
      std::vector<std::u16string> headers;
      for (const auto& column : c.columns) headers.push_back(column.header);
      canvas.Text(r.x + 1, r.y + 1, ReportLine(headers, widths, list.hscroll, inner), Style::Header);
      for (int i = 0; i < visible && list.top + i < count; ++i) {
        int index = list.top + i;
        const auto& item = c.rows[static_cast<std::size_t>(index)];
        bool caret = focused && index == list.caret;
        Style style = item.selected ? (caret ? Style::SelectedFocus : Style::Selected) : (caret ? Style::Caret : text);
        canvas.Text(r.x + 1, r.y + 2 + i, ReportLine(item.cells, widths, list.hscroll, inner), style);
      }
      if (!detail.empty()) {
        int ruleY = r.y + 2 + visible;
        canvas.HLine(r.x + 1, ruleY, inner, Style::Face);
        canvas.Put(r.x, ruleY, kLeftTee, Style::Face);
        canvas.Put(r.Right() - 1, ruleY, kRightTee, Style::Face);
        for (std::size_t i = 0; i < detail.size(); ++i)
          canvas.Text(r.x + 2, ruleY + 1 + static_cast<int>(i), detail[i], text);
      }
      if (list.top > 0) canvas.Put(r.Right() - 1, r.y + 2, U'\u2191', Style::Face);
      if (list.top + visible < count) canvas.Put(r.Right() - 1, r.y + 1 + visible, U'\u2193', Style::Face);
      if (list.hscroll > 0) canvas.Put(r.x + 1, r.Bottom() - 1, U'\u2190', Style::Face);
      if (ReportWidth(widths) - list.hscroll > inner) canvas.Put(r.Right() - 2, r.Bottom() - 1, U'\u2192', Style::Face);
      break;
    }
  }
}

std::optional<Input> TerminalUi::OnKey(const Screen& screen, const Key& key) {
  switch (screen.waiting) {
    case WaitingKind::MessageBox:
      if (screen.messageBox) return box_.OnKey(*screen.messageBox, key);
      return std::nullopt;
    case WaitingKind::FileDialog:
      if (screen.fileDialog) {
        if (!file_ || file_->Serial() != screen.fileDialog->serial) file_ = std::make_unique<FileDialogUi>(*screen.fileDialog);
        return file_->OnKey(key);
      }
      return std::nullopt;
    default:
      break;
  }
  const DialogView* dialog = WaitingDialog(screen);
  if (!dialog) return std::nullopt;
  return DialogKey(*dialog, key);
}

std::optional<Input> TerminalUi::DialogKey(const DialogView& dialog, const Key& key) {
  DialogUi& state = StateOf(dialog);
  const ControlView* focused =
      state.focus >= 0 ? &dialog.controls[static_cast<std::size_t>(state.focus)] : nullptr;
  switch (key.code) {
    case KeyCode::Tab:
    case KeyCode::BackTab:
      state.focus = NextTabStop(dialog, state.focus, key.code == KeyCode::BackTab);
      return std::nullopt;
    case KeyCode::Escape:
      return Plain(InputKind::KeyEscape, dialog.handle);
    case KeyCode::Enter:
      if (focused && focused->kind == ControlKind::Button) return ClickOn(dialog, *focused);
      return Plain(InputKind::KeyEnter, dialog.handle);
    default:
      break;
  }
  if (!focused) return std::nullopt;
  switch (focused->kind) {
    case ControlKind::ListView:
      return ListKey(dialog, state, key);
    case ControlKind::Radio: {
      int step = 0;
      if (key.code == KeyCode::Up || key.code == KeyCode::Left) step = -1;
      if (key.code == KeyCode::Down || key.code == KeyCode::Right) step = 1;
      if (step != 0) {
        int next = NextInGroup(dialog, state.focus, step);
        if (next == state.focus) return std::nullopt;
        state.focus = next;
        return ClickOn(dialog, dialog.controls[static_cast<std::size_t>(next)]);
      }
      if (key.code == KeyCode::Char && key.ch == U' ') return ClickOn(dialog, *focused);
      return std::nullopt;
    }
    case ControlKind::Button:
      if (key.code == KeyCode::Char && key.ch == U' ') return ClickOn(dialog, *focused);
      if (key.code == KeyCode::Up || key.code == KeyCode::Left) state.focus = NextTabStop(dialog, state.focus, true);
      if (key.code == KeyCode::Down || key.code == KeyCode::Right) state.focus = NextTabStop(dialog, state.focus, false);
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::optional<Input> TerminalUi::ListKey(const DialogView& dialog, DialogUi& state, const Key& key) {
  const ControlView& list = dialog.controls[static_cast<std::size_t>(state.focus)];
  ListUi& ui = state.lists[state.focus];
  int count = static_cast<int>(list.rows.size());
  int page = std::max(1, state.listPages.count(state.focus) ? state.listPages[state.focus] - 1 : 10);
  int caret = ui.caret;
  switch (key.code) {
    case KeyCode::Up: caret -= 1; break;
    case KeyCode::Down: caret += 1; break;
    case KeyCode::PageUp: caret -= page; break;
    case KeyCode::PageDown: caret += page; break;
    case KeyCode::Home: caret = 0; break;
    case KeyCode::End: caret = count - 1; break;
    case KeyCode::Left:
      ui.hscroll = std::max(0, ui.hscroll - 8);
      return std::nullopt;
    case KeyCode::Right:
      ui.hscroll += 8;
      return std::nullopt;
    case KeyCode::SelectAll:
      return SelectRows(dialog, list, RowRange(0, count - 1));
    case KeyCode::Char:
      if (key.ch == U' ' && count > 0) {
        ui.anchor = ui.caret;
        return SelectRows(dialog, list, ToggledSelection(list, ui.caret));
      }
      return std::nullopt;
    default:
      return std::nullopt;
  }
  if (count == 0) return std::nullopt;
  ui.caret = std::clamp(caret, 0, count - 1);
  if (!key.shift) {
    ui.anchor = ui.caret;
    return std::nullopt;
  }
  return SelectRows(dialog, list, RowRange(ui.anchor, ui.caret));
}

std::optional<Input> TerminalUi::OnMouse(const Screen& screen, const Mouse& mouse) {
  if (screen.trayIcon && mouse.button == MouseButton::Left && trayIcon_.Contains(mouse.x, mouse.y)) {
    Input input;
    input.kind = InputKind::TrayClick;
    return input;
  }
  switch (screen.waiting) {
    case WaitingKind::MessageBox:
      if (screen.messageBox) return box_.OnMouse(*screen.messageBox, mouse);
      return std::nullopt;
    case WaitingKind::FileDialog:
      if (screen.fileDialog && file_ && file_->Serial() == screen.fileDialog->serial) return file_->OnMouse(mouse);
      return std::nullopt;
    default:
      break;
  }
  const DialogView* dialog = WaitingDialog(screen);
  if (!dialog) return std::nullopt;
  return DialogMouse(*dialog, mouse);
}

std::optional<Input> TerminalUi::DialogMouse(const DialogView& dialog, const Mouse& mouse) {
  const Placed* placed = PlacedOf(dialog.handle);
  if (!placed) return std::nullopt;
  DialogUi& state = StateOf(dialog);
  if (mouse.button == MouseButton::Left && CloseBoxOf(placed->outer).Contains(mouse.x, mouse.y))
    return Plain(InputKind::Close, dialog.handle);
  int px = mouse.x - placed->client.x, py = mouse.y - placed->client.y;
  for (const ControlLayout& control : placed->layout.controls) {
    const ControlView& c = dialog.controls[static_cast<std::size_t>(control.index)];
    const Rect& r = control.rect;
    if (c.kind == ControlKind::ListView && r.Contains(px, py)) {
      if (!c.enabled) return std::nullopt;
      state.focus = control.index;
      ListUi& list = state.lists[control.index];
      int count = static_cast<int>(c.rows.size());
      auto page = state.listPages.find(control.index);
      int visible = page != state.listPages.end() ? page->second : std::max(1, r.h - 3);
      if (mouse.button == MouseButton::WheelUp || mouse.button == MouseButton::WheelDown) {
        list.top = std::clamp(list.top + (mouse.button == MouseButton::WheelUp ? -3 : 3), 0, std::max(0, count - visible));
        list.caret = std::clamp(list.caret, list.top, list.top + visible - 1);
        return std::nullopt;
      }
      int row = list.top + (py - (r.y + 2));
      if (py < r.y + 2 || py >= r.y + 2 + visible || row >= count) return std::nullopt;
      list.caret = row;
      if (mouse.ctrl) {
        list.anchor = row;
        return SelectRows(dialog, c, ToggledSelection(c, row));
      }
      if (mouse.shift) return SelectRows(dialog, c, RowRange(list.anchor, row));
      list.anchor = row;
      return SelectRows(dialog, c, {row});
    }
    if (mouse.button != MouseButton::Left) continue;
    bool hit = false;
    if (c.kind == ControlKind::Radio)
      hit = py == control.row && px >= r.x && px < r.x + kRadioMarkWidth + TextWidth(OneLine(c.text));
    else if (c.kind == ControlKind::Button)
      hit = py == control.row && px >= r.x && px < r.Right();
    if (!hit) continue;
    if (!CanFocus(dialog, control.index)) return std::nullopt;
    state.focus = control.index;
    return ClickOn(dialog, c);
  }
  // The wheel scrolls a dialog that is larger than the screen.
  if (mouse.button == MouseButton::WheelUp) state.scrollY = std::max(0, state.scrollY - 3);
  if (mouse.button == MouseButton::WheelDown) state.scrollY += 3;
  return std::nullopt;
}

}  // namespace terminal
