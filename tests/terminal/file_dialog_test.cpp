#include "platform/posix/terminal/file_browser.h"
#include "platform/posix/terminal/file_dialog_ui.h"
#include "platform/posix/terminal/text_cells.h"
#include "platform/text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace terminal;
using ui::frontend::InputKind;

namespace {

constexpr char16_t kFilterText[] = u"HTML files\0*.HTM;*.HTML\0\0";
const std::u16string kFilter(kFilterText, sizeof(kFilterText) / sizeof(char16_t) - 1);

void Touch(const std::filesystem::path& path) { std::ofstream(path) << "x"; }

ui::frontend::FileDialogView OpenView(const std::string& folder) {
  ui::frontend::FileDialogView view;
  view.serial = 1;
  view.filter = kFilter;
  view.file = text::Utf8ToUtf16(folder);
  view.title = u"Choose a bookmark file";
  view.flags = ui::OFN_FILEMUSTEXIST;
  return view;
}

void Type(FileDialogUi& dialog, std::u32string_view text) {
  for (char32_t ch : text) dialog.OnKey(Key{KeyCode::Char, ch});
}

}  // namespace

TEST(TerminalFileDialog, FilterPatternsMatchWithoutRegardToCase) {
  std::vector<FileFilter> filters = ParseFilter(kFilter);
  ASSERT_EQ(filters.size(), 1u);
  EXPECT_EQ(filters[0].name, u"HTML files");
  EXPECT_EQ(filters[0].patterns, (std::vector<std::u16string>{u"*.HTM", u"*.HTML"}));
  EXPECT_TRUE(MatchesPattern(u"bookmarks.html", u"*.HTML"));
  EXPECT_TRUE(MatchesPattern(u"OLD.Htm", u"*.HTM"));
  EXPECT_FALSE(MatchesPattern(u"bookmarks.html.bak", u"*.HTML"));
  EXPECT_FALSE(MatchesPattern(u"notes.txt", u"*.HTM"));
  EXPECT_TRUE(MatchesPattern(u"README", u"*.*"));
  EXPECT_TRUE(MatchesPattern(u"a1.htm", u"a?.htm"));
}

TEST(TerminalFileDialog, ListingShowsFoldersFirstAndOnlyFilesThroughTheFilter) {
  TempDir dir;
  std::filesystem::path root(dir.path());
  std::filesystem::create_directory(root / "Zeta");
  std::filesystem::create_directory(root / "alpha");
  std::filesystem::create_directory(root / ".hidden");
  Touch(root / "b.html");
  Touch(root / "A.HTM");
  Touch(root / "notes.txt");
  std::vector<FolderEntry> entries = ListFolder(root.string(), ParseFilter(kFilter)[0].patterns);
  std::vector<std::string> names;
  for (const auto& entry : entries) names.push_back(entry.name + (entry.folder ? "/" : ""));
  EXPECT_EQ(names, (std::vector<std::string>{"../", "alpha/", "Zeta/", ".hidden/", "A.HTM", "b.html"}));
}

TEST(TerminalFileDialog, TypedPathsAreResolvedAndAnOpenedFileMustExist) {
  TempDir dir;
  std::filesystem::path root(dir.path());
  std::filesystem::create_directory(root / "sub");
  Touch(root / "sub" / "saved.html");
  EXPECT_EQ(ResolvePath("sub/../sub/saved.html", root.string()), (root / "sub" / "saved.html").string());
  EXPECT_EQ(ResolvePath("/x/y/", "/ignored"), "/x/y");

  // The path field starts with the initial name; the folder it names is listed.
  FileDialogUi dialog(OpenView(root.string()));
  EXPECT_EQ(dialog.Folder(), root.string());
  EXPECT_EQ(ToUtf8(dialog.FieldText()), root.string());

  // Enter on a folder's name goes into it rather than choosing it.
  dialog.OnKey(Key{KeyCode::ClearField});
  Type(dialog, U"sub");
  EXPECT_FALSE(dialog.OnKey(Key{KeyCode::Enter}));
  EXPECT_EQ(dialog.Folder(), (root / "sub").string());

  // A name that does not exist is refused with a notice, not passed on.
  dialog.OnKey(Key{KeyCode::ClearField});
  Type(dialog, U"missing.html");
  EXPECT_FALSE(dialog.OnKey(Key{KeyCode::Enter}));
  Canvas canvas(100, 30);
  dialog.Draw(canvas, Rect{0, 0, 100, 30}, true);
  EXPECT_NE(canvas.Dump().find("File not found."), std::string::npos) << canvas.Dump();
  EXPECT_FALSE(dialog.OnKey(Key{KeyCode::Enter}));  // dismisses the notice

  // Picking the file in the listing and pressing Enter chooses it.
  dialog.OnKey(Key{KeyCode::Down});  // into the listing
  dialog.OnKey(Key{KeyCode::Down});  // past ".."
  std::optional<ui::frontend::Input> input = dialog.OnKey(Key{KeyCode::Enter});
  ASSERT_TRUE(input);
  EXPECT_EQ(input->kind, InputKind::FileChosen);
  EXPECT_EQ(text::Utf16ToUtf8(input->path), (root / "sub" / "saved.html").string());

  std::optional<ui::frontend::Input> cancelled = dialog.OnKey(Key{KeyCode::Escape});
  ASSERT_TRUE(cancelled);
  EXPECT_EQ(cancelled->kind, InputKind::FileCancelled);
}

TEST(TerminalFileDialog, SaveDialogStartsEmptyAndPassesANewNameOn) {
  TempDir dir;
  ui::frontend::FileDialogView view = OpenView("");
  view.save = true;
  view.flags = ui::OFN_OVERWRITEPROMPT;
  view.initialDir = text::Utf8ToUtf16(dir.path());
  FileDialogUi dialog(view);
  EXPECT_TRUE(dialog.FieldText().empty());
  EXPECT_EQ(dialog.Folder(), dir.path());
  Type(dialog, U"new.html");
  std::optional<ui::frontend::Input> input = dialog.OnKey(Key{KeyCode::Enter});
  ASSERT_TRUE(input);
  EXPECT_EQ(input->kind, InputKind::FileChosen);
  EXPECT_EQ(text::Utf16ToUtf8(input->path), (std::filesystem::path(dir.path()) / "new.html").string());
}
