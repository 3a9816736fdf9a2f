#include "platform/win32/ui/new_dialog_watch.h"

#include <vector>

#include "platform/win32/ui/ui_state.h"

namespace ui::win32_ui {
namespace {

struct Watch {
  HHOOK hook;
  std::function<void(HWND)> created;
  bool found;
};

// Watches nest (a box over a file dialog); the innermost one takes the window.
thread_local std::vector<Watch*> watches;

LRESULT CALLBACK WatchCreations(int code, WPARAM wParam, LPARAM lParam) {
  HHOOK next = watches.empty() ? nullptr : watches.back()->hook;
  if (code == HCBT_CREATEWND && !watches.empty() && !watches.back()->found) {
    HWND window = reinterpret_cast<HWND>(wParam);
    const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    bool topLevel = create && create->lpcs && !(create->lpcs->style & WS_CHILD);
    if (topLevel && wcscmp(className, L"#32770") == 0) {
      Watch* watch = watches.back();
      watch->found = true;
      SetInnermostWaitWindow(window);
      if (watch->created) watch->created(window);
    }
  }
  return ::CallNextHookEx(next, code, wParam, lParam);
}

}  // namespace

NewDialogWatch::NewDialogWatch(std::function<void(HWND)> created) {
  hook_ = ::SetWindowsHookExW(WH_CBT, WatchCreations, nullptr, ::GetCurrentThreadId());
  watches.push_back(new Watch{hook_, std::move(created), false});
}

NewDialogWatch::~NewDialogWatch() {
  if (hook_) ::UnhookWindowsHookEx(hook_);
  delete watches.back();
  watches.pop_back();
}

}  // namespace ui::win32_ui
