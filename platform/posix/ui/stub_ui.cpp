// Placeholders so that the program links while the UI core is written.
#include "platform/posix/ui/frontend.h"
#include "platform/ui.h"

#include <cstdio>
#include <cstdlib>

namespace ui {

std::intptr_t DialogBoxParam(std::string_view, Window, DialogProc, LParam) { return -1; }
Window CreateDialogParam(std::string_view, Window, DialogProc, LParam) { return nullptr; }
bool EndDialog(Window, std::intptr_t) { return false; }
bool DestroyWindow(Window) { return false; }
bool IsWindow(Window) { return false; }
bool ShowWindow(Window, int) { return false; }
bool SetWindowText(Window, std::u16string_view) { return false; }
std::u16string GetWindowText(Window) { return {}; }
bool EnableWindow(Window, bool) { return false; }
Window GetDlgItem(Window, int) { return nullptr; }
bool SetDlgItemText(Window, int, std::u16string_view) { return false; }
bool CheckRadioButton(Window, int, int, int) { return false; }
bool CheckDlgButton(Window, int, int) { return false; }
int IsDlgButtonChecked(Window, int) { return 0; }
bool InvalidateRect(Window, bool) { return false; }
bool UpdateWindow(Window) { return false; }
Icon LoadIcon(std::string_view) { return nullptr; }
Icon LoadStandardIcon(int) { return nullptr; }
void SetClassIcon(Window, int, Icon) {}
ThreadId GetCurrentThreadId() { return 0; }
std::intptr_t SendMessage(Window, unsigned, WParam, LParam) { return 0; }
std::intptr_t SendDlgItemMessage(Window, int, unsigned, WParam, LParam) { return 0; }
bool PostMessage(Window, unsigned, WParam, LParam) { return false; }
bool PostThreadMessage(ThreadId, unsigned, WParam, LParam) { return false; }
bool GetMessage(Msg&) { return false; }
void TranslateMessage(const Msg&) {}
std::intptr_t DispatchMessage(const Msg&) { return 0; }
int ListView_InsertColumn(Window, int, std::u16string_view, int) { return -1; }
int ListView_InsertItem(Window, int, std::u16string_view, LParam) { return -1; }
bool ListView_SetItemText(Window, int, int, std::u16string_view) { return false; }
int ListView_GetItemCount(Window) { return 0; }
bool ListView_SetColumnWidth(Window, int, int) { return false; }
void ListView_SetExtendedListViewStyle(Window, unsigned) {}
int ListView_GetNextItem(Window, int, unsigned) { return -1; }
std::u16string ListView_GetItemText(Window, int, int, std::size_t) { return {}; }
LParam ListView_GetItemData(Window, int) { return 0; }
bool ListView_DeleteItem(Window, int) { return false; }
bool ListView_SetItemSelected(Window, int, bool) { return false; }
int MessageBox(Window, std::u16string_view, std::u16string_view, unsigned) { return IDCANCEL; }
int MessageBoxTimeout(Window, std::u16string_view, std::u16string_view, unsigned, unsigned, std::uint32_t) {
  return MB_TIMEDOUT;
}
bool HasMessageBoxTimeout() { return true; }
bool GetOpenFileName(OpenFileName&) { return false; }
bool GetSaveFileName(OpenFileName&) { return false; }
std::intptr_t ShellExecute(Window, std::u16string_view, std::u16string_view, std::u16string_view,
                           std::u16string_view, int) {
  return 0;
}
bool Shell_NotifyIcon(unsigned, const NotifyIconData&) { return false; }
bool StartFrontEnd() {
  std::fputs("linnet: the user interface is not built yet\n", stderr);
  return false;
}
void ExitProcess(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}

namespace frontend {
void RegisterTerminalFrontEnd(FrontEndFactory) {}
void InstallFrontEnd(std::unique_ptr<FrontEnd>) {}
Screen CurrentScreen() { return {}; }
void ReportMismatch(const std::string&, const std::string&) { std::_Exit(3); }
}  // namespace frontend

}  // namespace ui
