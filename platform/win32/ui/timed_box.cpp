#include "platform/win32/ui/timed_box.h"

namespace ui::win32_ui {
namespace {

constexpr UINT_PTR kTimerId = 0x4C4E;  // "LN"
constexpr UINT_PTR kSubclassId = 0x4C4E;

UINT TimeOutNowMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"Linnet.TimeOutNow");
  return message;
}

LRESULT CALLBACK TimedBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if ((message == WM_TIMER && wParam == kTimerId) || message == TimeOutNowMessage()) {
    ::KillTimer(box, kTimerId);
    ::EndDialog(box, ui::MB_TIMEDOUT);
    return 0;
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(box, TimedBoxProc, kSubclassId);
  return ::DefSubclassProc(box, message, wParam, lParam);
}

}  // namespace

void ArmBoxTimeout(HWND box, std::uint32_t timeoutMs) {
  ::SetWindowSubclass(box, TimedBoxProc, kSubclassId, 0);
  ::SetTimer(box, kTimerId, timeoutMs, nullptr);
}

void TimeOutBoxNow(HWND box) { ::PostMessageW(box, TimeOutNowMessage(), 0, 0); }

}  // namespace ui::win32_ui
