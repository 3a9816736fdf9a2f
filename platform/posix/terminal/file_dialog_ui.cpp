#include "platform/posix/terminal/file_dialog_ui.h"

#include "platform/posix/terminal/text_cells.h"
#include "platform/posix/terminal/widgets.h"
#include "platform/text.h"

#include <algorithm>
#include <filesystem>
#include <unistd.h>

namespace terminal {
namespace {

namespace fs = std::filesystem;
using ui::frontend::Input;
using ui::frontend::InputKind;

std::u32string FromUtf8(const std::string& bytes) { return ToCodePoints(text::Utf8ToUtf16(bytes)); }

std::string ToBytes(const std::u32string& text) { return ToUtf8(text); }

std::string CurrentFolder() {
  std::error_code error;
  fs::path here = fs::current_path(error);
  return error ? std::string("/") : here.string();
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

bool Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(path, error);
}

// Long folder names lose their beginning rather than their end.
std::u32string TailToWidth(const std::u32string& text, int width) {
  if (TextWidth(text) <= width) return text;
  std::u32string tail;
  int used = 1;
  for (auto it = text.rbegin(); it != text.rend(); ++it) {
    int w = GlyphWidth(*it);
    if (used + w > width) break;
    tail.insert(tail.begin(), *it);
    used += w;
  }
  return U"\u2026" + tail;
}

}  // namespace

FileDialogUi::FileDialogUi(const ui::frontend::FileDialogView& view)
    : serial_(view.serial), save_(view.save), flags_(view.flags), defaultExt_(view.defaultExt) {
  title_ = OneLine(view.title);
  if (title_.empty()) title_ = save_ ? U"Save As" : U"Open";
  filters_ = ParseFilter(view.filter);
  if (view.filterIndex >= 1 && view.filterIndex <= filters_.size()) filterIndex_ = view.filterIndex - 1;
  field_ = ToCodePoints(view.file);
  cursorAt_ = field_.size();
  std::string start = text::Utf16ToUtf8(view.initialDir);
  if (start.empty() || !IsFolder(start)) start = CurrentFolder();
  std::string initial = text::Utf16ToUtf8(view.file);
  if (!initial.empty()) {
    std::string resolved = ResolvePath(initial, start);
    if (IsFolder(resolved))
      start = resolved;
    else if (IsFolder(ParentFolder(resolved)))
      start = ParentFolder(resolved);
  }
  Enter(start);
}

void FileDialogUi::Enter(const std::string& folder) {
  folder_ = folder;
  std::vector<std::u16string> patterns;
  if (filterIndex_ < filters_.size()) patterns = filters_[filterIndex_].patterns;
  entries_ = ListFolder(folder_, patterns);
  caret_ = 0;
  top_ = 0;
}

std::optional<Input> FileDialogUi::Cancelled() {
  Input input;
  input.kind = InputKind::FileCancelled;
  return input;
}

std::optional<Input> FileDialogUi::Accept(const std::u32string& typed) {
  if (typed.empty()) return std::nullopt;
  std::string path = ResolvePath(ToBytes(typed), folder_);
  if (IsFolder(path)) {
    Enter(path);
    field_ = FromUtf8(path == "/" ? path : path + "/");
    cursorAt_ = field_.size();
    return std::nullopt;
  }
  if (save_ && !defaultExt_.empty() && fs::path(path).extension().empty())
    path += "." + text::Utf16ToUtf8(defaultExt_);
  if (!IsFolder(ParentFolder(path))) {
    question_ = Question::NoFolder;
    questionPath_ = path;
    return std::nullopt;
  }
  if (!save_ && (flags_ & ui::OFN_FILEMUSTEXIST) && !Exists(path)) {
    question_ = Question::NotFound;
    questionPath_ = path;
    return std::nullopt;
  }
  // Replacing an existing file is confirmed by the UI core's own question,
  // drawn over this dialog like any message box.
  Input input;
  input.kind = InputKind::FileChosen;
  input.path = text::Utf8ToUtf16(path);
  return input;
}

void FileDialogUi::Dismiss() {
  question_ = Question::None;
  focus_ = Focus::Field;
}

void FileDialogUi::PickEntry(int index) {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return;
  caret_ = index;
  const FolderEntry& entry = entries_[static_cast<std::size_t>(index)];
  if (entry.name == "..") return;
  std::string path = ResolvePath(entry.name, folder_);
  field_ = FromUtf8(entry.folder ? path + "/" : path);
  cursorAt_ = field_.size();
}

std::optional<Input> FileDialogUi::OpenEntry(int index) {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return std::nullopt;
  const FolderEntry& entry = entries_[static_cast<std::size_t>(index)];
  std::string path = ResolvePath(entry.name, folder_);
  if (entry.folder) {
    Enter(path);
    return std::nullopt;
  }
  return Accept(FromUtf8(path));
}

std::optional<Input> FileDialogUi::FieldKey(const Key& key) {
  switch (key.code) {
    case KeyCode::Char:
      field_.insert(field_.begin() + static_cast<std::ptrdiff_t>(cursorAt_), key.ch);
      ++cursorAt_;
      return std::nullopt;
    case KeyCode::Backspace:
      if (cursorAt_ > 0) field_.erase(--cursorAt_, 1);
      return std::nullopt;
    case KeyCode::Delete:
      if (cursorAt_ < field_.size()) field_.erase(cursorAt_, 1);
      return std::nullopt;
    case KeyCode::Left:
      if (cursorAt_ > 0) --cursorAt_;
      return std::nullopt;
    case KeyCode::Right:
      if (cursorAt_ < field_.size()) ++cursorAt_;
      return std::nullopt;
    case KeyCode::Home:
      cursorAt_ = 0;
      return std::nullopt;
    case KeyCode::End:
      cursorAt_ = field_.size();
      return std::nullopt;
    case KeyCode::ClearField:
      field_.clear();
      cursorAt_ = 0;
      return std::nullopt;
    case KeyCode::Down:
      focus_ = Focus::Listing;
      return std::nullopt;
    case KeyCode::Enter:
      return Accept(field_);
    default:
      return std::nullopt;
  }
}

std::optional<Input> FileDialogUi::ListingKey(const Key& key) {
  int count = static_cast<int>(entries_.size());
  int caret = caret_;
  switch (key.code) {
    case KeyCode::Up: caret -= 1; break;
    case KeyCode::Down: caret += 1; break;
    case KeyCode::PageUp: caret -= page_; break;
    case KeyCode::PageDown: caret += page_; break;
    case KeyCode::Home: caret = 0; break;
    case KeyCode::End: caret = count - 1; break;
    case KeyCode::Backspace:
      Enter(ParentFolder(folder_));
      return std::nullopt;
    case KeyCode::Enter:
      return OpenEntry(caret_);
    case KeyCode::Char:
      if (key.ch == U' ') return OpenEntry(caret_);
      // Typing goes to the path field.
      focus_ = Focus::Field;
      return FieldKey(key);
    default:
      return std::nullopt;
  }
  if (count > 0) PickEntry(std::clamp(caret, 0, count - 1));
  return std::nullopt;
}

std::optional<Input> FileDialogUi::OnKey(const Key& key) {
  if (question_ != Question::None) {
    // The notice takes OK (Enter, Space) or Escape, like a message box.
    if (key.code == KeyCode::Enter || key.code == KeyCode::Escape || (key.code == KeyCode::Char && key.ch == U' '))
      Dismiss();
    return std::nullopt;
  }
  if (key.code == KeyCode::Escape) return Cancelled();
  if (key.code == KeyCode::Tab || key.code == KeyCode::BackTab) {
    int step = key.code == KeyCode::Tab ? 1 : 3;
    focus_ = static_cast<Focus>((static_cast<int>(focus_) + step) % 4);
    return std::nullopt;
  }
  switch (focus_) {
    case Focus::Field: return FieldKey(key);
    case Focus::Listing: return ListingKey(key);
    case Focus::Accept:
      if (key.code == KeyCode::Enter || (key.code == KeyCode::Char && key.ch == U' ')) return Accept(field_);
      return std::nullopt;
    case Focus::Cancel:
      if (key.code == KeyCode::Enter || (key.code == KeyCode::Char && key.ch == U' ')) return Cancelled();
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<Input> FileDialogUi::OnMouse(const Mouse& mouse) {
  if (question_ != Question::None) {
    if (mouse.button == MouseButton::Left && ok_.Contains(mouse.x, mouse.y)) Dismiss();
    return std::nullopt;
  }
  if (listing_.Contains(mouse.x, mouse.y)) {
    focus_ = Focus::Listing;
    if (mouse.button == MouseButton::WheelUp) {
      top_ = std::max(0, top_ - 3);
      return std::nullopt;
    }
    if (mouse.button == MouseButton::WheelDown) {
      top_ = std::min(std::max(0, static_cast<int>(entries_.size()) - page_), top_ + 3);
      return std::nullopt;
    }
    int index = top_ + (mouse.y - listing_.y);
    if (index >= static_cast<int>(entries_.size())) return std::nullopt;
    // A click on the entry under the caret opens it, as a double click would.
    if (index == caret_) return OpenEntry(index);
    PickEntry(index);
    return std::nullopt;
  }
  if (mouse.button != MouseButton::Left) return std::nullopt;
  if (accept_.Contains(mouse.x, mouse.y)) return Accept(field_);
  if (cancel_.Contains(mouse.x, mouse.y) || CloseBoxOf(outer_).Contains(mouse.x, mouse.y)) return Cancelled();
  if (mouse.y == outer_.y + 2 && outer_.Contains(mouse.x, mouse.y)) focus_ = Focus::Field;
  return std::nullopt;
}

void FileDialogUi::Draw(Canvas& canvas, Rect screen, bool active) {
  int width = std::min(screen.w, 76), height = std::min(screen.h, 22);
  outer_ = Rect{screen.x + (screen.w - width) / 2, screen.y + (screen.h - height) / 2, width, height};
  Rect client = DrawWindow(canvas, outer_, title_, active);
  int x = client.x + 1, inner = client.w - 2;

  // Path field.
  std::u32string label = U"File name: ";
  int fieldX = x + TextWidth(label), fieldWidth = std::max(4, inner - TextWidth(label));
  canvas.Text(x, client.y + 1, label, Style::Face);
  canvas.Fill(Rect{fieldX, client.y + 1, fieldWidth, 1}, focus_ == Focus::Field && active ? Style::Field : Style::Button);
  // Scroll the field so the cursor stays inside it.
  std::u32string before = field_.substr(0, cursorAt_);
  int skip = std::max(0, TextWidth(before) - (fieldWidth - 1));
  std::size_t from = 0;
  for (int dropped = 0; from < field_.size() && dropped < skip; ++from) dropped += GlyphWidth(field_[from]);
  std::u32string shownField = ClipToWidth(std::u32string_view(field_).substr(from), fieldWidth);
  canvas.Text(fieldX, client.y + 1, shownField, focus_ == Focus::Field && active ? Style::Field : Style::Button);
  cursor_.reset();
  if (focus_ == Focus::Field && active && question_ == Question::None)
    cursor_ = std::make_pair(fieldX + TextWidth(std::u32string_view(field_).substr(from, cursorAt_ - from)), client.y + 1);

  canvas.Text(x, client.y + 3, U"Look in: " + TailToWidth(FromUtf8(folder_), inner - 9), Style::Face);

  // Listing.
  Rect frame{x, client.y + 4, inner, std::max(3, client.h - 8)};
  canvas.Frame(frame, Style::Face);
  listing_ = Rect{frame.x + 1, frame.y + 1, frame.w - 2, frame.h - 2};
  page_ = std::max(1, listing_.h);
  int count = static_cast<int>(entries_.size());
  caret_ = std::clamp(caret_, 0, std::max(0, count - 1));
  if (caret_ < top_) top_ = caret_;
  if (caret_ >= top_ + page_) top_ = caret_ - page_ + 1;
  top_ = std::clamp(top_, 0, std::max(0, count - page_));
  for (int row = 0; row < page_ && top_ + row < count; ++row) {
    const FolderEntry& entry = entries_[static_cast<std::size_t>(top_ + row)];
    std::u32string name = FromUtf8(entry.name);
    for (char32_t& ch : name)
      if (ch == U'\t' || ch == U'\r' || ch == U'\n') ch = 0xFFFD;
    if (entry.folder) name += U"/";
    bool atCaret = top_ + row == caret_;
    Style style = atCaret ? (focus_ == Focus::Listing && active ? Style::Focus : Style::Selected) : Style::Face;
    if (atCaret) canvas.Fill(Rect{listing_.x, listing_.y + row, listing_.w, 1}, style);
    canvas.Text(listing_.x + 1, listing_.y + row, ClipToWidth(name, listing_.w - 2), style);
  }
  if (top_ > 0) canvas.Put(frame.Right() - 1, listing_.y, U'\u2191', Style::Face);
  if (top_ + page_ < count) canvas.Put(frame.Right() - 1, listing_.Bottom() - 1, U'\u2193', Style::Face);

  // Filter and buttons.
  if (filterIndex_ < filters_.size()) {
    std::u32string type = U"Files of type: " + OneLine(filters_[filterIndex_].name);
    canvas.Text(x, frame.Bottom(), ClipToWidth(type, inner), Style::Face);
  }
  int by = outer_.Bottom() - 2;
  cancel_ = Rect{client.Right() - 1 - 12, by, 12, 1};
  accept_ = Rect{cancel_.x - 2 - 12, by, 12, 1};
  DrawButton(canvas, accept_, save_ ? U"Save" : U"Open", true, focus_ == Focus::Accept && active, true);
  DrawButton(canvas, cancel_, U"Cancel", false, focus_ == Focus::Cancel && active, true);

  if (question_ == Question::None) return;
  std::u32string name = FromUtf8(questionPath_);
  std::vector<std::u32string> lines;
  if (question_ == Question::NotFound) {
    lines = {name, U"File not found.", U"Check the file name and try again."};
  } else {
    lines = {name, U"Path does not exist.", U"Check the path and try again."};
  }
  int boxInner = 30;
  for (auto& line : lines) {
    line = TailToWidth(line, outer_.w - 6);
    boxInner = std::max(boxInner, TextWidth(line));
  }
  Rect box{outer_.x + (outer_.w - boxInner - 4) / 2, outer_.y + (outer_.h - static_cast<int>(lines.size()) - 5) / 2,
           boxInner + 4, static_cast<int>(lines.size()) + 5};
  Rect boxClient = DrawWindow(canvas, box, title_, active);
  for (std::size_t i = 0; i < lines.size(); ++i)
    canvas.Text(boxClient.x + 1, boxClient.y + 1 + static_cast<int>(i), lines[i], Style::Face);
  int row = box.Bottom() - 2;
  ok_ = Rect{box.x + (box.w - 10) / 2, row, 10, 1};
  DrawButton(canvas, ok_, U"OK", true, active, true);
}

}  // namespace terminal
