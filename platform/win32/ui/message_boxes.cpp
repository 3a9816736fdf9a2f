// Message boxes: MessageBoxW, and MessageBoxTimeoutW taken from USER32 at
// run time, with the transcript's "msgbox" event for each.
#include "platform/win32/ui/new_dialog_watch.h"
#include "platform/win32/ui/timed_box.h"
#include "platform/win32/ui/ui_state.h"

#include <optional>

#include "platform/portable/ui/transcript.h"

namespace ui {
namespace {

using MessageBoxTimeoutProc = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT, WORD, DWORD);

frontend::MessageBoxView DescribeBox(HWND owner, std::u16string_view text, std::u16string_view caption, unsigned type) {
  frontend::MessageBoxView view;
  view.text = std::u16string(text);
  view.caption = std::u16string(caption);
  view.ownerName = win32_ui::OwnerName(owner);
  frontend::SetBoxStyle(view, type);
  return view;
}

void RecordAnswer(const frontend::MessageBoxView& view, int answer) {
  core::JsonObject event;
  event.Text("event", "msgbox").Text("caption", view.caption).Text("text", view.text)
      .Text("buttons", core::ButtonsName(view.buttons)).Text("icon", core::IconName(view.icon))
      .Number("default", view.defaultButton);
  if (view.ownerName.empty())
    event.Null("owner");
  else
    event.Text("owner", view.ownerName);
  if (view.timeoutMs) event.Number("timeout_ms", view.timeoutMs);
  if (answer == MB_TIMEDOUT)
    event.Null("answer").Bool("timed_out", true);
  else
    event.Text("answer", core::AnswerName(answer));
  core::WriteTranscript(event.Finish());
}

int ShowBox(Window owner, std::u16string_view text, std::u16string_view caption, unsigned type,
            std::optional<std::uint32_t> timeoutMs) {
  HWND ownerWindow = win32::Native(owner);
  frontend::MessageBoxView view = DescribeBox(ownerWindow, text, caption, type);
  const std::wstring body = win32::Wide(text), title = win32::Wide(caption);
  int answer = 0;
  if (timeoutMs) {
    view.timeoutMs = *timeoutMs;
    HMODULE user32 = ::LoadLibraryW(L"user32.dll");
    auto timed = user32 ? reinterpret_cast<MessageBoxTimeoutProc>(
                              reinterpret_cast<void*>(::GetProcAddress(user32, "MessageBoxTimeoutW")))
                        : nullptr;
    {
      win32_ui::WaitScope wait(win32_ui::WaitKind::MessageBox, &view);
      win32_ui::NewDialogWatch watch([&](HWND box) { win32_ui::ArmBoxTimeout(box, *timeoutMs); });
      answer = timed ? timed(ownerWindow, body.c_str(), title.c_str(), type, 0, *timeoutMs)
                     : ::MessageBoxW(ownerWindow, body.c_str(), title.c_str(), type);
    }
    if (user32) ::FreeLibrary(user32);
  } else {
    win32_ui::WaitScope wait(win32_ui::WaitKind::MessageBox, &view);
    win32_ui::NewDialogWatch watch;
    answer = ::MessageBoxW(ownerWindow, body.c_str(), title.c_str(), type);
  }
  RecordAnswer(view, answer);
  return answer;
}

}  // namespace

int MessageBox(Window owner, std::u16string_view text, std::u16string_view caption, unsigned type) {
  return ShowBox(owner, text, caption, type, std::nullopt);
}

int MessageBoxTimeout(Window owner, std::u16string_view text, std::u16string_view caption, unsigned type,
                      unsigned, std::uint32_t timeoutMs) {
  if (timeoutMs == 0xFFFFFFFFu) return ShowBox(owner, text, caption, type, std::nullopt);
  return ShowBox(owner, text, caption, type, timeoutMs);
}

bool HasMessageBoxTimeout() {
  HMODULE user32 = ::LoadLibraryW(L"user32.dll");
  bool has = user32 && ::GetProcAddress(user32, "MessageBoxTimeoutW") != nullptr;
  if (user32) ::FreeLibrary(user32);
  return has;
}

}  // namespace ui
