// The table of windows: every dialog and every control is a record here,
// reached through its handle. Handles are never reused, so a stale handle
// simply finds nothing. All records are guarded by one mutex; dialog
// procedures are always called with it released.
#pragma once

#include "platform/dialog_template.h"
#include "platform/posix/ui/frontend.h"
#include "platform/ui.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ui::core {

struct ListRow {
  std::vector<std::u16string> cells;
  LParam data = 0;
  bool selected = false;
};

struct WindowRecord {
  std::uintptr_t handle = 0;
  ThreadId thread = 0;
  bool isDialog = false;

  // Controls.
  std::uintptr_t parent = 0;
  int id = -1;
  ControlKind kind = ControlKind::Label;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::u16string text;  // control text, or a dialog's caption
  bool checked = false;
  bool enabled = true;
  bool visible = true;
  bool group = false;
  bool tabStop = false;
  bool defaultButton = false;
  int rangeMin = 0, rangeMax = 100, pos = 0;
  std::vector<frontend::ListColumnView> columns;
  std::vector<ListRow> rows;
  std::uint64_t rowsRevision = 0;  // see ControlView::rowsRevision
  unsigned extendedStyle = 0;

  // Dialogs.
  std::string name;
  const DialogTemplate* layout = nullptr;
  DialogProc proc = nullptr;
  std::uintptr_t owner = 0;
  bool modal = false;
  bool ended = false;
  std::intptr_t result = 0;
  bool announced = false;  // the transcript has its "dialog" event
  std::vector<std::uintptr_t> children;
  Icon largeIcon = nullptr, smallIcon = nullptr;
};

std::mutex& TableMutex();

// The record of a live window, or null. Call with TableMutex held.
WindowRecord* Find(Window window);
WindowRecord* FindId(std::uintptr_t handle);
// The control `id` of a dialog, or null. Call with TableMutex held.
WindowRecord* FindChild(const WindowRecord& dialog, int id);
// The dialog a window belongs to (itself for a dialog). Call with TableMutex held.
WindowRecord* TopLevel(WindowRecord* record);

inline Window AsWindow(std::uintptr_t handle) { return reinterpret_cast<Window>(handle); }
inline std::uintptr_t AsId(Window window) { return reinterpret_cast<std::uintptr_t>(window); }

// Builds a dialog and its controls from a template (not yet shown); null
// when the template does not exist.
Window CreateFromTemplate(std::string_view templateName, Window owner, DialogProc proc, bool modal);
// Removes a dialog and its controls from the table. Returns the record
// (for the transcript's final state), or null if it was already gone.
std::unique_ptr<WindowRecord> RemoveDialog(Window dialog, std::vector<std::unique_ptr<WindowRecord>>& controls);

// Every live dialog, oldest first. Call with TableMutex held.
std::vector<WindowRecord*> AllDialogs();

// Something shown has changed: the front end redraws before it next waits.
void MarkDirty();
bool TakeDirty();

// Snapshots for the front end and the transcript. Call with TableMutex held.
frontend::ControlView ViewOfControl(const WindowRecord& control);
frontend::DialogView ViewOfDialog(const WindowRecord& dialog);

}  // namespace ui::core
