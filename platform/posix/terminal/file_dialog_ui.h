// The open and save dialogs on the terminal: a path field that starts with
// the program's initial file name, a listing of the current folder through
// the dialog's filter, and a notice when a file to open does not exist (the
// UI core asks before an existing file is replaced).
#pragma once

#include "platform/posix/terminal/canvas.h"
#include "platform/posix/terminal/file_browser.h"
#include "platform/posix/terminal/keys.h"
#include "platform/posix/ui/frontend.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace terminal {

class FileDialogUi {
 public:
  explicit FileDialogUi(const ui::frontend::FileDialogView& view);

  int Serial() const { return serial_; }
  void Draw(Canvas& canvas, Rect screen, bool active);
  std::optional<ui::frontend::Input> OnKey(const Key& key);
  std::optional<ui::frontend::Input> OnMouse(const Mouse& mouse);
  // Where the terminal's cursor goes while the path field is edited.
  std::optional<std::pair<int, int>> Cursor() const { return cursor_; }

  // For tests: the folder listed and the text of the path field.
  const std::string& Folder() const { return folder_; }
  std::u32string FieldText() const { return field_; }
  const std::vector<FolderEntry>& Entries() const { return entries_; }

 private:
  enum class Focus { Field, Listing, Accept, Cancel };
  enum class Question { None, NotFound, NoFolder };

  void Enter(const std::string& folder);
  std::optional<ui::frontend::Input> Accept(const std::u32string& typed);
  void Dismiss();
  std::optional<ui::frontend::Input> Cancelled();
  void PickEntry(int index);
  std::optional<ui::frontend::Input> OpenEntry(int index);
  std::optional<ui::frontend::Input> FieldKey(const Key& key);
  std::optional<ui::frontend::Input> ListingKey(const Key& key);

  int serial_;
  bool save_;
  unsigned flags_;
  std::u32string title_;
  std::u16string defaultExt_;
  std::vector<FileFilter> filters_;
  std::size_t filterIndex_ = 0;

  std::string folder_;
  std::vector<FolderEntry> entries_;
  std::u32string field_;
  std::size_t cursorAt_ = 0;  // in code points
  int caret_ = 0, top_ = 0, page_ = 1;
  Focus focus_ = Focus::Field;

  Question question_ = Question::None;
  std::string questionPath_;

  // Where things were drawn, for the mouse.
  Rect outer_, listing_, accept_, cancel_, ok_;
  std::optional<std::pair<int, int>> cursor_;
};

}  // namespace terminal
