// Opening a URL, the notification-area icon and icons from the resources.
#include "platform/portable/ui/transcript.h"
#include "platform/posix/ui/front_end_host.h"
#include "platform/posix/ui/shell_state.h"
#include "platform/posix/ui/window_table.h"

#include "platform/text.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace ui {

struct IconTag {
  std::string name;
  std::vector<IconImage> images;
};

namespace {

std::mutex trayMutex;
std::optional<NotifyIconData> tray;

// Hands the URL to xdg-open in a grandchild of its own session, so that
// the program never waits for the browser and leaves no zombie behind.
bool LaunchDetached(const std::string& url) {
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    setsid();
    if (fork() == 0) {
      int devnull = open("/dev/null", O_RDWR);
      if (devnull >= 0) {
        dup2(devnull, STDIN_FILENO);
        dup2(devnull, STDOUT_FILENO);
        dup2(devnull, STDERR_FILENO);
      }
      execlp("xdg-open", "xdg-open", url.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    _exit(0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return true;
}

}  // namespace

std::intptr_t ShellExecute(Window, std::u16string_view, std::u16string_view file, std::u16string_view,
                           std::u16string_view, int) {
  std::string url = text::Utf16ToUtf8(file);
  core::WriteTranscript(core::JsonObject().Text("event", "openurl").Text("url", url).Finish());
  std::shared_ptr<frontend::FrontEnd> frontEnd = core::ActiveFrontEnd();
  if (frontEnd && !frontEnd->LaunchesUrls()) return 42;
  if (url.empty() || url[0] == '-') return 2;  // never let a URL pass for an option of the opener
  return LaunchDetached(url) ? 42 : 0;
}

bool Shell_NotifyIcon(unsigned action, const NotifyIconData& data) {
  const char* name = nullptr;
  {
    std::lock_guard<std::mutex> lock(trayMutex);
    switch (action) {
      case NIM_ADD:
        if (tray) return false;
        tray = data;
        name = "add";
        break;
      case NIM_MODIFY:
        if (!tray) return false;
        tray = data;
        name = "modify";
        break;
      case NIM_DELETE:
        if (!tray) return false;
        tray.reset();
        name = "delete";
        break;
      default:
        return false;
    }
  }
  core::MarkDirty();
  core::WriteTranscript(core::JsonObject().Text("event", "notifyicon").Text("action", name).Finish());
  return true;
}

Icon LoadIcon(std::string_view resourceName) {
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<IconTag>, std::less<>> loaded;
  std::lock_guard<std::mutex> lock(mutex);
  auto it = loaded.find(resourceName);
  if (it != loaded.end()) return it->second.get();
  std::vector<IconImage> images = LoadIconGroup(resourceName);
  if (images.empty()) return nullptr;
  auto icon = std::make_unique<IconTag>();
  icon->name = std::string(resourceName);
  icon->images = std::move(images);
  Icon handle = icon.get();
  loaded.emplace(std::string(resourceName), std::move(icon));
  return handle;
}

Icon LoadStandardIcon(int id) {
  static IconTag information{"IDI_INFORMATION", {}};
  return id == IDI_INFORMATION ? &information : nullptr;
}

namespace core {

std::optional<frontend::TrayIconView> CurrentTrayIcon() {
  std::lock_guard<std::mutex> lock(trayMutex);
  if (!tray) return std::nullopt;
  return frontend::TrayIconView{tray->window, tray->id};
}

void ClickTrayIcon(LParam what) {
  std::optional<NotifyIconData> current;
  {
    std::lock_guard<std::mutex> lock(trayMutex);
    current = tray;
  }
  if (current && (current->flags & NIF_MESSAGE))
    PostMessage(current->window, current->callbackMessage, current->id, what);
}

}  // namespace core
}  // namespace ui
