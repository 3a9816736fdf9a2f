// What the Windows dialog layer knows about the windows it made: every
// dialog's template name and procedure, and the stack of modal waits (a
// dialog, a message box, a file dialog, or a plain message loop) that the
// thread running the dialogs is inside. The transcript and the script
// driver read it; the driver runs on a thread of its own, so everything
// here is guarded by one mutex.
#pragma once

#include "platform/win32/windows_api.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog_template.h"
#include "platform/portable/ui/front_end.h"

namespace ui::win32_ui {

struct DialogRecord {
  HWND window = nullptr;
  std::string name;
  const DialogTemplate* layout = nullptr;
  DialogProc proc = nullptr;
  LParam initParam = 0;
  HWND owner = nullptr;
  bool modal = false;
  bool initialised = false;  // WM_INITDIALOG has been handled
  bool ended = false;        // EndDialog was called
  bool announced = false;    // the transcript has its "dialog" event
  std::intptr_t result = 0;
};

enum class WaitKind { Nothing, Dialog, MessageBox, FileDialog };

struct Wait {
  int serial = 0;
  WaitKind kind = WaitKind::Nothing;
  HWND window = nullptr;  // the window that waits, once known
  int busyDepth = 0;      // the procedure depth at which it was entered
  frontend::MessageBoxView box;
  frontend::FileDialogView file;
  bool fileMustExist = false;
};

std::mutex& StateMutex();
// Call with StateMutex held.
DialogRecord* FindDialog(HWND window);
std::vector<DialogRecord*> AllDialogs();
DialogRecord& AddDialog(DialogRecord record);
void RemoveDialog(HWND window);

// How many of the program's dialog procedures are running on the dialog
// thread right now: a wait is waiting for input only while none runs above it.
int& BusyDepth();
std::vector<Wait>& Waits();
// Counts every change of what waits, so that a reader can tell a snapshot
// went stale.
unsigned& Generation();

// Pushes a wait for the current call and pops it when destroyed.
class WaitScope {
 public:
  WaitScope(WaitKind kind, const frontend::MessageBoxView* box = nullptr, const frontend::FileDialogView* file = nullptr,
            bool fileMustExist = false);
  ~WaitScope();
  WaitScope(const WaitScope&) = delete;
  WaitScope& operator=(const WaitScope&) = delete;
  int serial() const { return serial_; }

 private:
  int serial_;
};
// Records the window of the innermost wait that has none yet.
void SetInnermostWaitWindow(HWND window);

// Tells the script driver (if one runs) that something happened.
void Wake();
void SetWakeHandler(std::function<void()> wake);

// The thread that runs the dialogs (the one that started the front end).
DWORD DialogThread();
void SetDialogThread(DWORD thread);

// The state of a dialog's controls, in template order, read from the real
// windows; on the dialog's own thread.
std::vector<frontend::ControlView> ControlViews(const DialogRecord& dialog);
std::string OwnerName(HWND owner);

// The transcript's "dialog" and "end" events.
void AnnounceDialog(DialogRecord& dialog);
void RecordDialogEnd(const DialogRecord& dialog);

}  // namespace ui::win32_ui
