#include "platform/posix/ui/window_table.h"

#include <algorithm>
#include <atomic>

namespace ui::core {
namespace {

struct Table {
  std::mutex mutex;
  std::map<std::uintptr_t, std::unique_ptr<WindowRecord>> windows;
  // Handles start well above small integers so that a stray id is never taken for one.
  std::uintptr_t next = 0x10000;
};

Table& TheTable() {
  static Table* table = new Table;  // never destroyed: workers may outlive main's statics
  return *table;
}

std::atomic<bool> dirty{true};

}  // namespace

std::mutex& TableMutex() { return TheTable().mutex; }

WindowRecord* FindId(std::uintptr_t handle) {
  auto& windows = TheTable().windows;
  auto it = windows.find(handle);
  return it == windows.end() ? nullptr : it->second.get();
}

WindowRecord* Find(Window window) { return FindId(AsId(window)); }

WindowRecord* FindChild(const WindowRecord& dialog, int id) {
  for (std::uintptr_t child : dialog.children) {
    WindowRecord* record = FindId(child);
    if (record && record->id == id) return record;
  }
  return nullptr;
}

WindowRecord* TopLevel(WindowRecord* record) {
  if (!record || record->isDialog) return record;
  return FindId(record->parent);
}

Window CreateFromTemplate(std::string_view templateName, Window owner, DialogProc proc, bool modal) {
  const DialogTemplate* layout = FindDialogTemplate(templateName);
  if (!layout) return nullptr;
  ThreadId thread = GetCurrentThreadId();
  std::lock_guard<std::mutex> lock(TableMutex());
  Table& table = TheTable();
  auto dialog = std::make_unique<WindowRecord>();
  dialog->handle = table.next++;
  dialog->thread = thread;
  dialog->isDialog = true;
  dialog->name = std::string(layout->name);
  dialog->layout = layout;
  dialog->text = std::u16string(layout->caption);
  dialog->cx = layout->cx;
  dialog->cy = layout->cy;
  dialog->proc = proc;
  WindowRecord* ownerRecord = TopLevel(Find(owner));
  dialog->owner = ownerRecord ? ownerRecord->handle : 0;
  dialog->modal = modal;
  dialog->visible = false;
  for (const ControlTemplate& item : layout->controls) {
    auto control = std::make_unique<WindowRecord>();
    control->handle = table.next++;
    control->thread = thread;
    control->parent = dialog->handle;
    control->id = item.id;
    control->kind = item.kind;
    control->x = item.x;
    control->y = item.y;
    control->cx = item.cx;
    control->cy = item.cy;
    control->text = std::u16string(item.text);
    control->enabled = !item.disabled;
    control->visible = item.visible;
    control->group = item.group;
    control->tabStop = item.tabStop;
    control->defaultButton = item.defaultButton;
    dialog->children.push_back(control->handle);
    table.windows.emplace(control->handle, std::move(control));
  }
  std::uintptr_t handle = dialog->handle;
  table.windows.emplace(handle, std::move(dialog));
  MarkDirty();
  return AsWindow(handle);
}

std::unique_ptr<WindowRecord> RemoveDialog(Window dialog, std::vector<std::unique_ptr<WindowRecord>>& controls) {
  std::lock_guard<std::mutex> lock(TableMutex());
  auto& windows = TheTable().windows;
  auto it = windows.find(AsId(dialog));
  if (it == windows.end() || !it->second->isDialog) return nullptr;
  std::unique_ptr<WindowRecord> record = std::move(it->second);
  windows.erase(it);
  for (std::uintptr_t child : record->children) {
    auto c = windows.find(child);
    if (c == windows.end()) continue;
    controls.push_back(std::move(c->second));
    windows.erase(c);
  }
  MarkDirty();
  return record;
}

std::vector<WindowRecord*> AllDialogs() {
  std::vector<WindowRecord*> dialogs;
  for (auto& [handle, record] : TheTable().windows)
    if (record->isDialog) dialogs.push_back(record.get());
  return dialogs;  // the map keeps handle order, which is creation order
}

void MarkDirty() { dirty.store(true, std::memory_order_release); }
bool TakeDirty() { return dirty.exchange(false, std::memory_order_acq_rel); }

frontend::ControlView ViewOfControl(const WindowRecord& control) {
  frontend::ControlView view;
  view.handle = AsWindow(control.handle);
  view.id = control.id;
  view.kind = control.kind;
  view.x = control.x;
  view.y = control.y;
  view.cx = control.cx;
  view.cy = control.cy;
  view.text = control.text;
  view.checked = control.checked;
  view.enabled = control.enabled;
  view.visible = control.visible;
  view.group = control.group;
  view.tabStop = control.tabStop;
  view.defaultButton = control.defaultButton;
  view.rangeMin = control.rangeMin;
  view.rangeMax = control.rangeMax;
  view.pos = control.pos;
  view.columns = control.columns;
  view.rowsRevision = control.rowsRevision;
  view.rows.reserve(control.rows.size());
  for (const ListRow& row : control.rows) {
    frontend::ListRowView rowView;
    rowView.cells = row.cells;
    rowView.cells.resize(std::max(rowView.cells.size(), control.columns.size()));
    rowView.selected = row.selected;
    view.rows.push_back(std::move(rowView));
  }
  return view;
}

frontend::DialogView ViewOfDialog(const WindowRecord& dialog) {
  frontend::DialogView view;
  view.handle = AsWindow(dialog.handle);
  view.name = dialog.name;
  view.caption = dialog.text;
  if (const WindowRecord* owner = FindId(dialog.owner)) view.ownerName = owner->name;
  if (dialog.layout) {
    view.fontName = std::u16string(dialog.layout->fontName);
    view.fontPoints = dialog.layout->fontPoints;
  }
  view.cx = dialog.cx;
  view.cy = dialog.cy;
  view.modal = dialog.modal;
  view.visible = dialog.visible;
  view.enabled = dialog.enabled;
  for (std::uintptr_t child : dialog.children)
    if (const WindowRecord* control = FindId(child)) view.controls.push_back(ViewOfControl(*control));
  return view;
}

}  // namespace ui::core
