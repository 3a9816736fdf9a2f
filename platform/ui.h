// The user-interface layer: dialogs built from the templates in resources/,
// their controls, per-thread message queues, message boxes, file dialogs,
// opening a URL and the notification-area icon. The vocabulary is the
// platform's dialog interface, so code above this layer reads like a dialog
// procedure on any platform.
//
// Threads: a window belongs to the thread that created it, and its procedure
// runs only on that thread. PostMessage and PostThreadMessage may be called
// from any thread and wake the front end at once. SendMessage from another
// thread waits until the owning thread handles the message (inside any of
// its message loops: a modal dialog, a message box, or GetMessage).
//
// Handles: a Window is an opaque handle, never dereferenced. A handle to a
// destroyed window stays harmless: operations on it do nothing and return
// false or 0, and posting to it fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ui {

struct WindowTag;
using Window = WindowTag*;
struct IconTag;
using Icon = IconTag*;

using WParam = std::uintptr_t;
using LParam = std::intptr_t;

// A dialog procedure. It receives WM_INITDIALOG (lParam = the initialisation
// value), WM_COMMAND (low 16 bits of wParam = control id) and the program's
// own messages. Returning FALSE (0) leaves the message to the default dialog
// handling: WM_CLOSE, the close box and Escape become WM_COMMAND IDCANCEL,
// and Enter becomes WM_COMMAND with the default push button's id (IDOK).
using DialogProc = std::intptr_t (*)(Window dialog, unsigned message, WParam wParam, LParam lParam);

// Window messages.
inline constexpr unsigned WM_SETTEXT = 0x000C;
inline constexpr unsigned WM_CLOSE = 0x0010;
inline constexpr unsigned WM_QUIT = 0x0012;
inline constexpr unsigned WM_INITDIALOG = 0x0110;
inline constexpr unsigned WM_COMMAND = 0x0111;
inline constexpr unsigned WM_LBUTTONDOWN = 0x0201;
inline constexpr unsigned WM_USER = 0x0400;
inline constexpr unsigned WM_APP = 0x8000;
inline constexpr unsigned NIN_BALLOONUSERCLICK = WM_USER + 5;

// Buttons.
inline constexpr unsigned BM_GETCHECK = 0x00F0;
inline constexpr unsigned BM_SETCHECK = 0x00F1;
inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;

// Progress bars (range 0 to 100 and position 0 when created).
inline constexpr unsigned PBM_SETRANGE = WM_USER + 1;  // lParam: low 16 bits min, high 16 bits max
inline constexpr unsigned PBM_SETPOS = WM_USER + 2;    // wParam: position; returns the previous one
inline constexpr unsigned PBM_SETRANGE32 = WM_USER + 6;
inline constexpr unsigned PBM_GETPOS = WM_USER + 8;

// Command and answer identifiers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int MB_TIMEDOUT = 32000;

// Message box types: buttons | icon | default button.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_DEFBUTTON1 = 0x000;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_DEFBUTTON3 = 0x200;

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;

// ---------------------------------------------------------------- dialogs

// Runs a modal dialog from the named template and returns the value given
// to EndDialog, or -1 when the template does not exist. While it runs, every
// message of the calling thread is dispatched.
std::intptr_t DialogBoxParam(std::string_view templateName, Window owner, DialogProc proc, LParam initParam);

// Creates a modeless dialog from the named template; it is shown only if the
// template says so or after ShowWindow. Null when it cannot be created.
Window CreateDialogParam(std::string_view templateName, Window owner, DialogProc proc, LParam initParam);

bool EndDialog(Window dialog, std::intptr_t result);
bool DestroyWindow(Window window);
bool IsWindow(Window window);
bool ShowWindow(Window window, int command);
bool SetWindowText(Window window, std::u16string_view text);
std::u16string GetWindowText(Window window);
bool EnableWindow(Window window, bool enable);

Window GetDlgItem(Window dialog, int id);
bool SetDlgItemText(Window dialog, int id, std::u16string_view text);
// Selects `check` and clears the other radio buttons with ids first..last.
bool CheckRadioButton(Window dialog, int first, int last, int check);
bool CheckDlgButton(Window dialog, int id, int state);
int IsDlgButtonChecked(Window dialog, int id);

// Asks for the window to be repainted; UpdateWindow repaints it at once.
bool InvalidateRect(Window window, bool erase);
bool UpdateWindow(Window window);

// ------------------------------------------------------------------ icons

// The icon group of that name from resources/; null when there is none.
Icon LoadIcon(std::string_view resourceName);
inline constexpr int IDI_INFORMATION = 32516;
Icon LoadStandardIcon(int id);
// The large (GCL_HICON) and small (GCL_HICONSM) icon of a dialog's class.
inline constexpr int GCL_HICON = -14;
inline constexpr int GCL_HICONSM = -34;
void SetClassIcon(Window window, int which, Icon icon);

// ------------------------------------------------------- messages, queues

using ThreadId = std::uint64_t;
ThreadId GetCurrentThreadId();

struct Msg {
  Window window = nullptr;  // null for a thread message
  unsigned message = 0;
  WParam wParam = 0;
  LParam lParam = 0;
};

std::intptr_t SendMessage(Window window, unsigned message, WParam wParam, LParam lParam);
std::intptr_t SendDlgItemMessage(Window dialog, int id, unsigned message, WParam wParam, LParam lParam);
bool PostMessage(Window window, unsigned message, WParam wParam, LParam lParam);
bool PostThreadMessage(ThreadId thread, unsigned message, WParam wParam, LParam lParam);
// Waits for the next message of the calling thread (sent messages from other
// threads are handled inside). False when WM_QUIT arrives.
bool GetMessage(Msg& msg);
void TranslateMessage(const Msg& msg);
std::intptr_t DispatchMessage(const Msg& msg);

// ------------------------------------------------------ list view (report)

inline constexpr int LVSCW_AUTOSIZE = -1;
inline constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;
inline constexpr unsigned LVS_EX_FULLROWSELECT = 0x20;
inline constexpr unsigned LVNI_ALL = 0x0;
inline constexpr unsigned LVNI_SELECTED = 0x2;

int ListView_InsertColumn(Window list, int index, std::u16string_view header, int width);
// Inserts a row with the text of column 0 and its item data; returns its index.
int ListView_InsertItem(Window list, int index, std::u16string_view text, LParam data);
bool ListView_SetItemText(Window list, int item, int column, std::u16string_view text);
int ListView_GetItemCount(Window list);
bool ListView_SetColumnWidth(Window list, int column, int width);
void ListView_SetExtendedListViewStyle(Window list, unsigned style);
// The next row after `start` (-1: from the top) that has the flags; -1 if none.
int ListView_GetNextItem(Window list, int start, unsigned flags);
// At most maxUnits - 1 units of the cell's text (maxUnits counts the terminator).
std::u16string ListView_GetItemText(Window list, int item, int column, std::size_t maxUnits);
LParam ListView_GetItemData(Window list, int item);
bool ListView_DeleteItem(Window list, int item);
bool ListView_SetItemSelected(Window list, int item, bool selected);

// ---------------------------------------------------------- message boxes

// A modal message box; returns the id of the button that ended it. Messages
// of the thread keep being dispatched while it is open. Asked for from
// another thread, the box is shown by the thread that runs the dialogs and
// the caller waits for the answer (so that thread must be in a message loop).
int MessageBox(Window owner, std::u16string_view text, std::u16string_view caption, unsigned type);
// The same, closing itself after timeoutMs and then returning MB_TIMEDOUT.
int MessageBoxTimeout(Window owner, std::u16string_view text, std::u16string_view caption, unsigned type,
                      unsigned language, std::uint32_t timeoutMs);
// Whether the system offers MessageBoxTimeout (looked up at run time on some platforms).
bool HasMessageBoxTimeout();

// ----------------------------------------------------------- file dialogs

inline constexpr unsigned OFN_OVERWRITEPROMPT = 0x2;
inline constexpr unsigned OFN_HIDEREADONLY = 0x4;
inline constexpr unsigned OFN_NOCHANGEDIR = 0x8;
inline constexpr unsigned OFN_FILEMUSTEXIST = 0x1000;
inline constexpr unsigned OFN_EXPLORER = 0x80000;

struct OpenFileName {
  Window owner = nullptr;
  std::u16string filter;       // "name\0pattern\0" pairs, ended by an empty entry
  unsigned filterIndex = 0;
  std::u16string file;         // in: the initial file name; out: the chosen path
  std::size_t maxFile = 1000;  // the capacity of the file-name buffer, in units
  std::u16string initialDir;
  std::u16string title;
  std::u16string defaultExt;
  unsigned flags = 0;
};

// False when cancelled or failed.
bool GetOpenFileName(OpenFileName& ofn);
bool GetSaveFileName(OpenFileName& ofn);

// ----------------------------------------------------------------- shell

// Hands `file` (a URL) to the person's default handler without waiting for
// it. Returns a value above 32 on success.
std::intptr_t ShellExecute(Window owner, std::u16string_view verb, std::u16string_view file,
                           std::u16string_view parameters, std::u16string_view directory, int show);

inline constexpr unsigned NIM_ADD = 0;
inline constexpr unsigned NIM_MODIFY = 1;
inline constexpr unsigned NIM_DELETE = 2;
inline constexpr unsigned NIF_MESSAGE = 0x1;
inline constexpr unsigned NIF_ICON = 0x2;
inline constexpr unsigned NIF_TIP = 0x4;

struct NotifyIconData {
  std::uint32_t size = 952;
  Window window = nullptr;
  unsigned id = 0;
  unsigned flags = 0;
  unsigned callbackMessage = 0;
  Icon icon = nullptr;
};
// The notification-area icon; a click on it posts callbackMessage to the
// window with lParam WM_LBUTTONDOWN.
bool Shell_NotifyIcon(unsigned action, const NotifyIconData& data);

// --------------------------------------------------------------- process

// Chooses the front end: the one LINNET_FRONTEND names (script, terminal or
// desktop); without it a script when LINNET_SCRIPT is set, else the desktop
// when there is a display it can open, else the terminal when standard input
// and output are terminals. False, after saying why on standard error, when
// none can run.
bool StartFrontEnd();
// Ends the process with `code` after the front end has restored the screen
// and the transcript has recorded the exit. Used by every way out (a return
// from main is recorded the same way). Other threads are not joined.
[[noreturn]] void ExitProcess(int code);

}  // namespace ui
