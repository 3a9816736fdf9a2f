#include "platform/win32/ui/ui_state.h"

#include <map>
#include <memory>

#include "platform/portable/ui/transcript.h"

namespace ui::win32_ui {
namespace {

std::map<HWND, std::unique_ptr<DialogRecord>>& Dialogs() {
  static std::map<HWND, std::unique_ptr<DialogRecord>> dialogs;
  return dialogs;
}

std::function<void()>& WakeHandler() {
  static std::function<void()> handler;
  return handler;
}

DWORD dialogThread = 0;
int nextWaitSerial = 1;

std::u16string WindowText(HWND window) {
  int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int got = ::GetWindowTextW(window, text.data(), length + 1);
  return win32::FromWide(text.data(), static_cast<std::size_t>(got > 0 ? got : 0));
}

void ReadList(HWND list, frontend::ControlView& view) {
  HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  int columns = header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int c = 0; c < columns; ++c) {
    wchar_t buffer[256] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = buffer;
    column.cchTextMax = 256;
    ::SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    view.columns.push_back({win32::FromWide(buffer), column.cx});
  }
  int rows = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int r = 0; r < rows; ++r) {
    frontend::ListRowView row;
    for (int c = 0; c < columns; ++c) {
      std::vector<wchar_t> buffer(4096);
      LVITEMW item{};
      item.iSubItem = c;
      item.pszText = buffer.data();
      item.cchTextMax = static_cast<int>(buffer.size());
      int length = static_cast<int>(::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item)));
      row.cells.push_back(win32::FromWide(buffer.data(), static_cast<std::size_t>(length)));
    }
    row.selected = (::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(r), LVIS_SELECTED) & LVIS_SELECTED) != 0;
    view.rows.push_back(std::move(row));
  }
}

}  // namespace

std::mutex& StateMutex() {
  static std::mutex mutex;
  return mutex;
}

DialogRecord* FindDialog(HWND window) {
  auto it = Dialogs().find(window);
  return it == Dialogs().end() ? nullptr : it->second.get();
}

std::vector<DialogRecord*> AllDialogs() {
  std::vector<DialogRecord*> out;
  for (auto& [window, record] : Dialogs()) out.push_back(record.get());
  return out;
}

DialogRecord& AddDialog(DialogRecord record) {
  auto owned = std::make_unique<DialogRecord>(std::move(record));
  DialogRecord& added = *owned;
  Dialogs()[added.window] = std::move(owned);
  ++Generation();
  return added;
}

void RemoveDialog(HWND window) {
  Dialogs().erase(window);
  ++Generation();
}

int& BusyDepth() {
  static int depth = 0;
  return depth;
}

std::vector<Wait>& Waits() {
  static std::vector<Wait> waits;
  return waits;
}

unsigned& Generation() {
  static unsigned generation = 0;
  return generation;
}

WaitScope::WaitScope(WaitKind kind, const frontend::MessageBoxView* box, const frontend::FileDialogView* file,
                     bool fileMustExist) {
  {
    std::lock_guard<std::mutex> lock(StateMutex());
    Wait wait;
    wait.serial = serial_ = nextWaitSerial++;
    wait.kind = kind;
    wait.busyDepth = BusyDepth();
    if (box) wait.box = *box;
    if (file) wait.file = *file;
    wait.fileMustExist = fileMustExist;
    Waits().push_back(std::move(wait));
    ++Generation();
  }
  Wake();
}

WaitScope::~WaitScope() {
  {
    std::lock_guard<std::mutex> lock(StateMutex());
    auto& waits = Waits();
    for (auto it = waits.begin(); it != waits.end(); ++it) {
      if (it->serial == serial_) {
        waits.erase(it);
        break;
      }
    }
    ++Generation();
  }
  Wake();
}

void SetInnermostWaitWindow(HWND window) {
  {
    std::lock_guard<std::mutex> lock(StateMutex());
    auto& waits = Waits();
    if (waits.empty() || waits.back().window) return;
    waits.back().window = window;
    ++Generation();
  }
  Wake();
}

void Wake() {
  std::function<void()> handler;
  {
    static std::mutex wakeMutex;
    std::lock_guard<std::mutex> lock(wakeMutex);
    handler = WakeHandler();
  }
  if (handler) handler();
}

void SetWakeHandler(std::function<void()> wake) { WakeHandler() = std::move(wake); }

DWORD DialogThread() { return dialogThread; }
void SetDialogThread(DWORD thread) { dialogThread = thread; }

std::string OwnerName(HWND owner) {
  if (!owner) return {};
  std::lock_guard<std::mutex> lock(StateMutex());
  for (HWND w = owner; w; w = ::GetParent(w))
    if (DialogRecord* record = FindDialog(w)) return record->name;
  return {};
}

std::vector<frontend::ControlView> ControlViews(const DialogRecord& dialog) {
  std::vector<frontend::ControlView> views;
  if (!dialog.layout) return views;
  // Controls without an id of their own are found in template order: the
  // dialog's children come in the order the template lists them.
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(dialog.window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  std::size_t index = 0;
  for (const ControlTemplate& control : dialog.layout->controls) {
    frontend::ControlView view;
    view.id = control.id;
    view.kind = control.kind;
    view.defaultButton = control.defaultButton;
    HWND window = index < children.size() ? children[index] : nullptr;
    ++index;
    if (control.id != -1) window = ::GetDlgItem(dialog.window, control.id);
    if (window) {
      view.text = WindowText(window);
      view.enabled = ::IsWindowEnabled(window) != 0;
      view.visible = ::IsWindowVisible(window) != 0;
      if (control.kind == ControlKind::Radio)
        view.checked = ::SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
      if (control.kind == ControlKind::Progress) {
        PBRANGE range{};
        ::SendMessageW(window, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        view.rangeMin = range.iLow;
        view.rangeMax = range.iHigh;
        view.pos = static_cast<int>(::SendMessageW(window, PBM_GETPOS, 0, 0));
      }
      if (control.kind == ControlKind::ListView) ReadList(window, view);
    }
    views.push_back(std::move(view));
  }
  return views;
}

void AnnounceDialog(DialogRecord& dialog) {
  if (dialog.announced) return;
  dialog.announced = true;
  core::JsonObject event;
  event.Text("event", "dialog").Text("name", dialog.name).Text("caption", WindowText(dialog.window));
  std::string owner = OwnerName(dialog.owner);
  if (owner.empty())
    event.Null("owner");
  else
    event.Text("owner", owner);
  event.Bool("modal", dialog.modal).Raw("controls", core::ControlsJson(ControlViews(dialog)));
  core::WriteTranscript(event.Finish());
}

void RecordDialogEnd(const DialogRecord& dialog) {
  if (!dialog.announced) return;
  core::JsonObject event;
  event.Text("event", "end").Text("name", dialog.name).Text("caption", WindowText(dialog.window));
  if (dialog.modal)
    event.Number("result", dialog.result);
  else
    event.Null("result");
  event.Raw("controls", core::ControlsJson(ControlViews(dialog)));
  core::WriteTranscript(event.Finish());
}

}  // namespace ui::win32_ui
