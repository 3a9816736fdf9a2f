// The system's open and save dialogs, with the program's fields, and the
// transcript's "filedialog" event.
#include "platform/win32/ui/new_dialog_watch.h"
#include "platform/win32/ui/ui_state.h"

#include <vector>

#include "platform/portable/ui/transcript.h"

namespace ui {
namespace {


bool RunFileDialog(OpenFileName& ofn, bool save) {
  frontend::FileDialogView view;
  view.save = save;
  view.title = ofn.title;
  view.filter = ofn.filter;
  view.filterIndex = ofn.filterIndex;
  view.file = ofn.file.substr(0, ofn.file.find(u'\0'));
  view.initialDir = ofn.initialDir;
  view.defaultExt = ofn.defaultExt;
  view.flags = ofn.flags;

  // The file-name buffer, zero-filled, holds the initial name.
  const std::size_t capacity = ofn.maxFile > 0 ? ofn.maxFile : 1;
  std::vector<wchar_t> file(capacity, L'\0');
  for (std::size_t i = 0; i < view.file.size() && i + 1 < capacity; ++i) file[i] = static_cast<wchar_t>(view.file[i]);
  std::wstring filter = win32::Wide(ofn.filter);
  filter.push_back(L'\0');  // the list ends with an empty entry however it was given
  const std::wstring title = win32::Wide(ofn.title), initialDir = win32::Wide(ofn.initialDir),
                     defaultExt = win32::Wide(ofn.defaultExt);

  OPENFILENAMEW native{};
  native.lStructSize = sizeof native;
  native.hwndOwner = win32::Native(ofn.owner);
  native.hInstance = ::GetModuleHandleW(nullptr);
  native.lpstrFilter = ofn.filter.empty() ? nullptr : filter.c_str();
  native.nFilterIndex = ofn.filterIndex;
  native.lpstrFile = file.data();
  native.nMaxFile = static_cast<DWORD>(capacity);
  native.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
  native.lpstrTitle = title.empty() ? nullptr : title.c_str();
  native.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
  native.Flags = ofn.flags;

  BOOL chosen;
  {
    win32_ui::WaitScope wait(win32_ui::WaitKind::FileDialog, nullptr, &view, (ofn.flags & OFN_FILEMUSTEXIST) != 0);
    win32_ui::NewDialogWatch watch;
    chosen = save ? ::GetSaveFileNameW(&native) : ::GetOpenFileNameW(&native);
  }
  core::JsonObject event;
  event.Text("event", "filedialog").Text("kind", save ? "save" : "open").Text("title", view.title)
      .Text("filter", core::ReadableFilter(view.filter)).Text("file", view.file);
  if (chosen) {
    ofn.file = win32::FromWide(file.data());
    event.Text("answer", ofn.file);
  } else {
    event.Null("answer");
  }
  core::WriteTranscript(event.Finish());
  return chosen != 0;
}

}  // namespace

bool GetOpenFileName(OpenFileName& ofn) { return RunFileDialog(ofn, false); }
bool GetSaveFileName(OpenFileName& ofn) { return RunFileDialog(ofn, true); }

}  // namespace ui
