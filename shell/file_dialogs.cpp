#include "shell/file_dialogs.h"

#include "platform/ui.h"

namespace {

// One entry and the empty entry that ends the list; the embedded NULs are
// part of the value, so the length comes from the literal, not from a NUL.
constexpr char16_t kHtmlFilterText[] = u"HTML files\0*.HTM;*.HTML\0\0";
const std::u16string kHtmlFilter(kHtmlFilterText, sizeof(kHtmlFilterText) / sizeof(char16_t) - 1);

constexpr unsigned kOpenFlags = ui::OFN_EXPLORER | ui::OFN_FILEMUSTEXIST | ui::OFN_NOCHANGEDIR | ui::OFN_HIDEREADONLY;
constexpr unsigned kSaveFlags = ui::OFN_EXPLORER | ui::OFN_OVERWRITEPROMPT | ui::OFN_NOCHANGEDIR | ui::OFN_HIDEREADONLY;

ui::OpenFileName BookmarkFileDialog(const std::u16string& initialName, unsigned flags) {
  ui::OpenFileName ofn;
  ofn.owner = nullptr;
  ofn.filter = kHtmlFilter;
  ofn.filterIndex = 0;
  ofn.file = initialName;
  ofn.maxFile = 1000;
  ofn.title = u"Choose a bookmark file";
  ofn.flags = flags;
  return ofn;
}

}  // namespace

bool AskBookmarkFileToOpen(const std::u16string& initialName, std::u16string& path) {
  ui::OpenFileName ofn = BookmarkFileDialog(initialName, kOpenFlags);
  if (!ui::GetOpenFileName(ofn) || ofn.file.empty()) return false;
  path = ofn.file;
  return true;
}

bool AskBookmarkFileToSave(std::u16string& path) {
  ui::OpenFileName ofn = BookmarkFileDialog(u"", kSaveFlags);
  if (!ui::GetSaveFileName(ofn) || ofn.file.empty()) return false;
  path = ofn.file;
  return true;
}
