// What a front end is shown and what it gives back: the screen (dialogs with
// their controls, message boxes, file dialogs) as a snapshot, and a
// person's or a script's doing as Input records. The Linux dialog layer
// hands these to its front ends (script, terminal, desktop); the Windows
// script driver reads the real dialogs into the same snapshot for the
// script front end and carries its answers out through window messages.
//
// Threading: every FrontEnd operation except Wake is called on one thread
// (on Linux the thread that runs the dialogs, on Windows the script
// driver's own). Wake may be called from any thread at any time, also
// concurrently with WaitForInput.
#pragma once

#include "platform/dialog_template.h"
#include "platform/ui.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui::frontend {

// ------------------------------------------------------------ what is shown

struct ListColumnView {
  std::u16string header;
  int width = 0;  // in pixels as the program set it (or LVSCW_* values)
};

struct ListRowView {
  std::vector<std::u16string> cells;  // one per column (missing cells are empty)
  bool selected = false;
};

// The live state of one control.
struct ControlView {
  Window handle = nullptr;
  int id = -1;
  ControlKind kind = ControlKind::Label;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units, relative to the dialog's client area
  std::u16string text;
  bool checked = false;     // radio buttons
  bool enabled = true;
  bool visible = true;
  bool group = false;
  bool tabStop = false;
  bool defaultButton = false;  // the button Enter presses
  int rangeMin = 0, rangeMax = 100, pos = 0;  // progress bars
  std::vector<ListColumnView> columns;        // list views
  std::vector<ListRowView> rows;
  // List views: a number that changes whenever the rows or their texts do
  // (not their selection), unique among all lists; 0 when not known. A
  // front end that has drawn a revision need not compare the texts again.
  std::uint64_t rowsRevision = 0;
};

// The live state of one dialog window (modal or modeless).
struct DialogView {
  Window handle = nullptr;
  std::string name;          // template name, e.g. "DIALOG_1"
  std::u16string caption;
  std::string ownerName;     // owner's template name; empty when none
  std::u16string fontName;
  int fontPoints = 8;
  int cx = 0, cy = 0;        // size in dialog units
  bool modal = false;
  bool visible = true;
  bool enabled = true;       // false while a modal child (dialog, box) is over it
  std::vector<ControlView> controls;
};

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class IconKind { None, Information, Question, Warning, Error };

struct MessageBoxView {
  int serial = 0;            // distinguishes successive boxes
  std::u16string caption, text;
  std::string ownerName;     // owner's template name; empty when none
  Buttons buttons = Buttons::Ok;
  IconKind icon = IconKind::None;
  int defaultButton = 1;     // 1-based position of the default button
  std::vector<int> buttonIds;  // the ids the buttons answer, left to right (IDOK, IDCANCEL, IDYES, IDNO)
  std::uint32_t timeoutMs = 0;  // 0: not timed
  std::chrono::steady_clock::time_point deadline;  // for timed boxes: when it closes itself
};

// Sets the buttons, their ids, the icon and the default button that a
// message box's type flags (MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2...)
// ask for.
void SetBoxStyle(MessageBoxView& view, unsigned type);

struct FileDialogView {
  int serial = 0;
  bool save = false;           // save dialog, else open dialog
  std::u16string title;
  std::u16string filter;       // "name\0pattern\0...\0" as the program gave it
  unsigned filterIndex = 0;    // 1-based choice in the filter; 0: the first
  std::u16string file;         // the initial file name
  std::u16string initialDir;
  std::u16string defaultExt;
  unsigned flags = 0;          // OFN_* flags (file must exist, overwrite prompt)
};

// What waits for the person's input right now, if anything.
enum class WaitingKind {
  Nothing,     // a plain GetMessage loop: no modal element of ours waits for input
  Dialog,      // the modal dialog `waitingDialog`
  MessageBox,  // the message box `messageBox`
  FileDialog,  // the file dialog `fileDialog`
};

// The notification-area icon, when the program has one.
struct TrayIconView {
  Window window = nullptr;  // the window its clicks go to
  unsigned id = 0;
};

// Everything visible, bottom to top, and what waits for input.
struct Screen {
  std::vector<DialogView> dialogs;       // visible dialogs, oldest first
  std::optional<TrayIconView> trayIcon;
  WaitingKind waiting = WaitingKind::Nothing;
  Window waitingDialog = nullptr;        // for WaitingKind::Dialog
  std::optional<MessageBoxView> messageBox;
  std::optional<FileDialogView> fileDialog;
  // True when the waiting element changed since the previous WaitForInput
  // (a new dialog, a new box, or a dialog that became current again).
  bool waitingChanged = false;
};

// ------------------------------------------------------------ what comes back

enum class InputKind {
  None,         // woken, timed out, or nothing to report: the core just goes round
  Click,        // a click on control `id` of `window` (push button pressed, radio selected)
  Select,       // list view `id` of `window`: select exactly `rows` (0-based)
  KeyEnter,     // Enter in `window`: the default push button
  KeyEscape,    // Escape in `window`: Cancel
  Close,        // the close box of `window`: Cancel
  Answer,       // the message box ends with button id `id` (IDOK, IDCANCEL, IDYES, IDNO)
  AnswerDefault,  // the message box's default button (Enter)
  AnswerEscape,   // Escape on the message box (Cancel, or the only button of an OK box)
  TimeOut,      // the timed message box times out now
  FileChosen,   // the file dialog accepts `path`
  FileCancelled,  // the file dialog is cancelled
  Sleep,        // (script) let `ms` milliseconds pass while messages are handled
  TrayClick,    // a click on the notification-area icon
  BalloonClick,   // a click on the notification icon's balloon
};

struct Input {
  InputKind kind = InputKind::None;
  Window window = nullptr;  // the dialog addressed (Click, Select, Key*, Close)
  int id = 0;
  std::vector<int> rows;
  std::u16string path;
  std::uint32_t ms = 0;
};

// ------------------------------------------------------------ the front end

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  // Short name for messages ("script", "terminal", "desktop").
  virtual std::string Name() const = 0;

  // Draws the screen. Called on the UI thread when anything shown changed
  // (controls, texts, progress, list rows, dialogs appearing or going away,
  // boxes), at the pace the dialog layer keeps (on Linux about once a
  // frame, platform/posix/ui/frontend.h). The screen is a snapshot; keep
  // what you need.
  virtual void Render(const Screen& screen) = 0;

  // Blocks until the person does something (returned as Input), Wake() is
  // called from any thread, or `timeout` passes (nullopt: no limit); then
  // returns InputKind::None for the last two. Must not poll with a delay:
  // a Wake must end the wait at once. Input addressed to a window that is
  // gone or not waiting is ignored by the core. When screen.waitingChanged
  // is set, input that arrived before this call (typed while the previous
  // window was closing) is dropped, never applied to the new window: a
  // window takes only input that arrived after it was shown.
  virtual Input WaitForInput(const Screen& screen, std::optional<std::chrono::milliseconds> timeout) = 0;

  // Ends a WaitForInput in progress (or makes the next one return at once).
  // Thread-safe and non-blocking; called when a message is sent, and when
  // one is posted while the wait would last longer than a frame.
  virtual void Wake() = 0;

  // Restores the terminal (or whatever the front end took over). Called
  // once on every way out: ExitProcess, normal return from main, a fatal
  // signal. Must be safe to call more than once.
  virtual void Stop() = 0;

  // Whether ShellExecute should really hand URLs to the desktop's handler
  // (the script front end only records them in the transcript).
  virtual bool LaunchesUrls() const { return true; }

  // Called by the core when input the front end gave could not be applied
  // (e.g. a click on a disabled control); `what` is the reason in words.
  virtual void Rejected(const Input& input, const std::string& what) { (void)input; (void)what; }
};

// Writes `shown` and `expected` to standard error and the transcript as a
// script mismatch and ends the process with exit code 3. Each platform's
// dialog layer provides it.
[[noreturn]] void ReportMismatch(const std::string& shown, const std::string& expected);

}  // namespace ui::frontend
