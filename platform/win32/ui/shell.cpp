// The shell: opening a URL in the person's browser, the notification-area
// icon, and icons from the program's resources.
#include "platform/win32/ui/ui_state.h"

#include <mutex>

#include "platform/portable/ui/transcript.h"

namespace ui::win32_ui {
// Whether URLs are really handed to the browser (not under a script).
bool& LaunchesUrls() {
  static bool launches = true;
  return launches;
}
}  // namespace ui::win32_ui

namespace ui {

std::intptr_t ShellExecute(Window owner, std::u16string_view verb, std::u16string_view file,
                           std::u16string_view parameters, std::u16string_view directory, int show) {
  core::WriteTranscript(core::JsonObject().Text("event", "openurl").Text("url", file).Finish());
  if (!win32_ui::LaunchesUrls()) return 42;
  const std::wstring action = win32::Wide(verb), target = win32::Wide(file), arguments = win32::Wide(parameters),
                     folder = win32::Wide(directory);
  return reinterpret_cast<std::intptr_t>(::ShellExecuteW(win32::Native(owner), action.empty() ? nullptr : action.c_str(),
                                                         target.c_str(), arguments.empty() ? nullptr : arguments.c_str(),
                                                         folder.empty() ? nullptr : folder.c_str(), show));
}

bool Shell_NotifyIcon(unsigned action, const NotifyIconData& data) {
  NOTIFYICONDATAW native{};
  // The record as the Windows XP shell knows it (952 bytes in a 32-bit
  // program): every later shell takes it.
  native.cbSize = NOTIFYICONDATAW_V3_SIZE;
  native.hWnd = win32::Native(data.window);
  native.uID = data.id;
  native.uFlags = data.flags;
  native.uCallbackMessage = data.callbackMessage;
  native.hIcon = reinterpret_cast<HICON>(data.icon);
  bool done = ::Shell_NotifyIconW(action, &native) != 0;
  const char* name = action == NIM_ADD ? "add" : action == NIM_MODIFY ? "modify" : action == NIM_DELETE ? "delete" : nullptr;
  // As on every platform, the transcript tells of an icon that was there to remove.
  static std::mutex trayMutex;
  static bool shown = false;
  bool record;
  {
    std::lock_guard<std::mutex> lock(trayMutex);
    record = action == NIM_ADD ? !shown : action == NIM_DELETE ? shown : shown;
    if (action == NIM_ADD) shown = true;
    if (action == NIM_DELETE) shown = false;
  }
  if (name && record) core::WriteTranscript(core::JsonObject().Text("event", "notifyicon").Text("action", name).Finish());
  return done;
}

Icon LoadIcon(std::string_view resourceName) {
  const std::wstring name = win32::Wide(std::u16string(resourceName.begin(), resourceName.end()));
  return reinterpret_cast<Icon>(::LoadIconW(::GetModuleHandleW(nullptr), name.c_str()));
}

Icon LoadStandardIcon(int id) { return reinterpret_cast<Icon>(::LoadIconW(nullptr, MAKEINTRESOURCEW(id))); }

}  // namespace ui
