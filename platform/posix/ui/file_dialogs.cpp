// The open and save file dialogs. The front end supplies a path (or a
// cancel); the checks the platform's dialogs make before accepting a path
// (the file must exist, confirm replacing a file) are made here, so every
// front end behaves alike.
#include "platform/portable/ui/transcript.h"
#include "platform/posix/ui/front_end_host.h"
#include "platform/posix/ui/message_loop.h"
#include "platform/posix/ui/thread_queue.h"

#include "platform/files.h"
#include "platform/text.h"

#include <atomic>
#include <filesystem>
#include <string>

namespace ui {
namespace {

std::atomic<int> nextFileSerial{1};


std::u16string Absolute(const std::u16string& path) {
  std::filesystem::path native(files::NativePath(path));
  if (native.is_absolute()) return path;
  std::error_code error;
  std::filesystem::path base = std::filesystem::current_path(error);
  if (error) return path;
  return files::FromNativePath((base / native).lexically_normal().string());
}

bool IsExistingFile(const std::u16string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(files::NativePath(path), error);
}

bool Exists(const std::u16string& path) {
  std::error_code error;
  return std::filesystem::exists(files::NativePath(path), error);
}

void Record(const frontend::FileDialogView& view, const std::u16string* answer, const char* rejected) {
  core::JsonObject event;
  event.Text("event", "filedialog").Text("kind", view.save ? "save" : "open").Text("title", view.title)
      .Text("filter", core::ReadableFilter(view.filter)).Text("file", view.file);
  if (answer)
    event.Text("answer", *answer);
  else
    event.Null("answer");
  if (rejected) event.Text("rejected", rejected);
  core::WriteTranscript(event.Finish());
}

bool RunFileDialog(OpenFileName& ofn, bool save) {
  if (core::UiThread() != 0 && !core::IsUiThread())
    return core::RunOn(core::UiThread(), [&ofn, save] { return static_cast<std::intptr_t>(RunFileDialog(ofn, save)); });
  frontend::FileDialogView view;
  view.serial = nextFileSerial.fetch_add(1);
  view.save = save;
  view.title = ofn.title;
  view.filter = ofn.filter;
  view.filterIndex = ofn.filterIndex;
  // The file-name buffer is read up to its first terminator, as the platform does.
  view.file = ofn.file.substr(0, ofn.file.find(u'\0'));
  view.initialDir = ofn.initialDir;
  view.defaultExt = ofn.defaultExt;
  view.flags = ofn.flags;

  enum class Outcome { Waiting, Chosen, Cancelled } outcome = Outcome::Waiting;
  std::u16string chosen;
  core::Frame frame;
  frame.kind = core::FrameKind::FileDialog;
  frame.file = &view;
  core::LoopHooks hooks;
  hooks.done = [&] { return outcome != Outcome::Waiting; };
  hooks.posted = [&](const Msg& msg) {
    if (msg.message == WM_QUIT) outcome = Outcome::Cancelled;
    return core::DispatchInModalLoop(msg);
  };
  hooks.input = [&](const frontend::Input& input) {
    if (input.kind == frontend::InputKind::FileCancelled) {
      outcome = Outcome::Cancelled;
      return;
    }
    if (input.kind != frontend::InputKind::FileChosen) {
      core::RejectInput(input, "", "a file dialog is open");
      return;
    }
    std::u16string path = Absolute(input.path);
    if (!save && (ofn.flags & OFN_FILEMUSTEXIST) && !IsExistingFile(path)) {
      Record(view, &path, "the file does not exist");
      core::RejectInput(input, "", "the file does not exist");
      return;
    }
    if (save && (ofn.flags & OFN_OVERWRITEPROMPT) && Exists(path)) {
      std::u16string name = files::FromNativePath(std::filesystem::path(files::NativePath(path)).filename().string());
      std::u16string question = name + u" already exists.\r\nDo you want to replace it?";
      if (MessageBox(ofn.owner, question, ofn.title.empty() ? u"Save As" : ofn.title,
                     MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
        Record(view, &path, "not replaced");
        return;
      }
    }
    chosen = path;
    outcome = Outcome::Chosen;
  };
  core::RunLoop(frame, hooks);

  if (outcome != Outcome::Chosen) {
    Record(view, nullptr, nullptr);
    return false;
  }
  // The chosen path must fit the caller's buffer with its terminator.
  if (chosen.size() + 1 > ofn.maxFile) {
    Record(view, &chosen, "the path does not fit the file-name buffer");
    return false;
  }
  Record(view, &chosen, nullptr);
  ofn.file = chosen;
  return true;
}

}  // namespace

bool GetOpenFileName(OpenFileName& ofn) { return RunFileDialog(ofn, false); }
bool GetSaveFileName(OpenFileName& ofn) { return RunFileDialog(ofn, true); }

}  // namespace ui
