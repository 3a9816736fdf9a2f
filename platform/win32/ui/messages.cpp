// The thread's message queue, as the system keeps it.
#include "platform/win32/ui/ui_state.h"

namespace ui {
namespace {

using win32::Native;
using win32::Portable;

// The message GetMessage last returned, whole (time, position), so that
// TranslateMessage and DispatchMessage get what the system gave.
thread_local MSG lastMessage{};

MSG NativeMessage(const Msg& msg) {
  if (lastMessage.hwnd == Native(msg.window) && lastMessage.message == msg.message &&
      lastMessage.wParam == msg.wParam && lastMessage.lParam == static_cast<LPARAM>(msg.lParam))
    return lastMessage;
  MSG native{};
  native.hwnd = Native(msg.window);
  native.message = msg.message;
  native.wParam = msg.wParam;
  native.lParam = static_cast<LPARAM>(msg.lParam);
  return native;
}

}  // namespace

ThreadId GetCurrentThreadId() { return ::GetCurrentThreadId(); }

std::intptr_t SendMessage(Window window, unsigned message, WParam wParam, LParam lParam) {
  return ::SendMessageW(Native(window), message, wParam, static_cast<LPARAM>(lParam));
}

std::intptr_t SendDlgItemMessage(Window dialog, int id, unsigned message, WParam wParam, LParam lParam) {
  return ::SendDlgItemMessageW(Native(dialog), id, message, wParam, static_cast<LPARAM>(lParam));
}

bool PostMessage(Window window, unsigned message, WParam wParam, LParam lParam) {
  bool posted = ::PostMessageW(Native(window), message, wParam, static_cast<LPARAM>(lParam)) != 0;
  win32_ui::Wake();
  return posted;
}

bool PostThreadMessage(ThreadId thread, unsigned message, WParam wParam, LParam lParam) {
  bool posted = ::PostThreadMessageW(static_cast<DWORD>(thread), message, wParam, static_cast<LPARAM>(lParam)) != 0;
  win32_ui::Wake();
  return posted;
}

bool GetMessage(Msg& msg) {
  MSG native{};
  BOOL got;
  {
    win32_ui::WaitScope wait(win32_ui::WaitKind::Nothing);
    got = ::GetMessageW(&native, nullptr, 0, 0);
  }
  if (got == -1) native.message = ui::WM_QUIT;
  lastMessage = native;
  msg.window = Portable(native.hwnd);
  msg.message = native.message;
  msg.wParam = native.wParam;
  msg.lParam = static_cast<LParam>(native.lParam);
  return got > 0;
}

void TranslateMessage(const Msg& msg) {
  MSG native = NativeMessage(msg);
  ::TranslateMessage(&native);
}

std::intptr_t DispatchMessage(const Msg& msg) {
  MSG native = NativeMessage(msg);
  return ::DispatchMessageW(&native);
}

}  // namespace ui
