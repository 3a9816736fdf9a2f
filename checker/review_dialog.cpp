#include "checker/review_dialog.h"

#include "checker/checker_texts.h"
#include "model/app_state.h"
#include "model/item_text.h"
#include "platform/text.h"

namespace {

constexpr int kProblemList = 900;
constexpr int kTestButton = 201;
constexpr int kRestoreButton = 202;
constexpr int kUrlColumn = 3;

void ShowAndExit(ui::Window dialog, const char16_t* message) {
  ui::MessageBox(dialog, message, kCheckerCaption, ui::MB_OK);
  ui::ExitProcess(0);
}

void OnInit(ui::Window dialog) {
  ui::Window list = ui::GetDlgItem(dialog, kProblemList);
  ui::ListView_InsertColumn(list, 0, u"#", 70);
  ui::ListView_InsertColumn(list, 1, u"Name", 70);
  ui::ListView_InsertColumn(list, 2, u"Action", 70);
  ui::ListView_InsertColumn(list, 3, u"URL", 100);

  // Queue order, whatever order the workers finished in.
  for (BookmarkLink* link : checkQueue.links) {
    if (link->status != Delete && link->status != Fix) continue;
    const int rows = ui::ListView_GetItemCount(list);
    const int row = ui::ListView_InsertItem(list, rows, text::Format(u"%u", static_cast<unsigned>(rows + 1)),
                                            reinterpret_cast<ui::LParam>(link));
    // A person reads the title and address as characters, not as the markup
    // a bookmark file holds them in.
    ui::ListView_SetItemText(list, row, 1, PlainTitle(*link));
    ui::ListView_SetItemText(list, row, kUrlColumn, LinkAddress(*link));
    ui::ListView_SetItemText(list, row, 2, link->status == Delete ? u"Delete" : u"Fix");
  }

  ui::ShowWindow(list, ui::SW_HIDE);
  ui::ListView_SetColumnWidth(list, 0, ui::LVSCW_AUTOSIZE_USEHEADER);
  for (int column = 1; column <= 3; ++column) ui::ListView_SetColumnWidth(list, column, ui::LVSCW_AUTOSIZE);
  ui::ListView_SetExtendedListViewStyle(list, ui::LVS_EX_FULLROWSELECT);
  ui::ShowWindow(list, ui::SW_SHOW);

  if (ui::ListView_GetItemCount(list) == 0) ShowAndExit(dialog, kNoProblemsText);
}

void OnTest(ui::Window dialog) {
  ui::Window list = ui::GetDlgItem(dialog, kProblemList);
  for (int row = ui::ListView_GetNextItem(list, -1, ui::LVNI_SELECTED); row != -1;
       row = ui::ListView_GetNextItem(list, row, ui::LVNI_SELECTED)) {
    // The link's own address, whole: the list cell is only for showing.
    auto* link = reinterpret_cast<BookmarkLink*>(ui::ListView_GetItemData(list, row));
    if (!link) continue;
    ui::ShellExecute(nullptr, u"open", LinkAddress(*link), u"", u"", ui::SW_SHOWNORMAL);
  }
}

void OnRestore(ui::Window dialog) {
  ui::Window list = ui::GetDlgItem(dialog, kProblemList);
  for (int row; (row = ui::ListView_GetNextItem(list, -1, ui::LVNI_SELECTED)) != -1;) {
    auto* link = reinterpret_cast<BookmarkLink*>(ui::ListView_GetItemData(list, row));
    if (link) link->status = Keep;
    if (!ui::ListView_DeleteItem(list, row)) break;  // never spin on a row that will not go
  }
  if (ui::ListView_GetItemCount(list) == 0) ShowAndExit(dialog, kAllRestoredText);
}

}  // namespace

std::intptr_t ReviewDialog(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam) {
  if (message == ui::WM_INITDIALOG) {
    OnInit(dialog);
  } else if (message == ui::WM_COMMAND) {
    switch (static_cast<int>(wParam & 0xFFFF)) {
      case ui::IDOK:
      case ui::IDCANCEL: ui::EndDialog(dialog, 0); break;
      case kTestButton: OnTest(dialog); break;
      case kRestoreButton: OnRestore(dialog); break;
      default: break;
    }
  }
  return 0;
}
