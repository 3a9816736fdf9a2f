// The report list with thousands of rows: shown, scrolled and selected by
// the person, with the core's selection following.
#include "desktop_fixture.h"

#include "platform/posix/desktop/report_list.h"
#include "platform/ui.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QToolTip>

#include <string>

namespace {

constexpr int kRows = 5000;
ui::Window shownList = nullptr;

std::u16string LongUrl(int row) {
  std::string url = "http://example.invalid/a/rather/long/path/that/does/not/fit/the/column/page-" + std::to_string(row);
  return std::u16string(url.begin(), url.end());
}

std::intptr_t ManyRows(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam) {
  if (message == ui::WM_INITDIALOG) {
    shownList = ui::GetDlgItem(dialog, 900);
    ui::ListView_InsertColumn(shownList, 0, u"#", 70);
    ui::ListView_InsertColumn(shownList, 1, u"Name", 70);
    ui::ListView_InsertColumn(shownList, 2, u"Action", 70);
    ui::ListView_InsertColumn(shownList, 3, u"URL", 100);
    for (int row = 0; row < kRows; ++row) {
      std::string number = std::to_string(row + 1);
      int at = ui::ListView_InsertItem(shownList, row, std::u16string(number.begin(), number.end()), row);
      ui::ListView_SetItemText(shownList, at, 1, u"Page");
      ui::ListView_SetItemText(shownList, at, 2, row % 2 ? u"Fix" : u"Delete");
      ui::ListView_SetItemText(shownList, at, 3, LongUrl(row));
    }
    ui::ListView_SetColumnWidth(shownList, 0, ui::LVSCW_AUTOSIZE_USEHEADER);
    ui::ListView_SetColumnWidth(shownList, 1, 60);
    ui::ListView_SetColumnWidth(shownList, 2, 60);
    ui::ListView_SetColumnWidth(shownList, 3, 150);  // narrower than the URLs
    ui::ListView_SetExtendedListViewStyle(shownList, ui::LVS_EX_FULLROWSELECT);
  }
  if (message == ui::WM_COMMAND && CommandId(wParam) == 202) {
    for (int row; (row = ui::ListView_GetNextItem(shownList, -1, ui::LVNI_SELECTED)) >= 0;)
      ui::ListView_DeleteItem(shownList, row);
  }
  if (message == ui::WM_COMMAND && CommandId(wParam) == ui::IDOK) ui::EndDialog(dialog, 7);
  return 0;
}

std::vector<int> CoreSelection() {
  std::vector<int> rows;
  for (int row = -1; (row = ui::ListView_GetNextItem(shownList, row, ui::LVNI_SELECTED)) >= 0;) rows.push_back(row);
  return rows;
}

desktop::ReportList* List() { return static_cast<desktop::ReportList*>(ShownControl("DIALOG_4", 900)); }

void ClickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  desktop::ReportList* list = List();
  list->scrollTo(list->model()->index(row, 0));
  ClickOn(list->viewport(), modifiers, list->visualRect(list->model()->index(row, 0)).center());
}

}  // namespace

TEST_F(DesktopUi, ReviewListOfThousandsOfRowsScrollsSelectsAndShowsWholeUrls) {
  Person person;
  person
      .Then("see the list", [] { return ActiveDialog("DIALOG_4") && List(); },
            [] {
              desktop::ReportList* list = List();
              EXPECT_EQ(list->model()->rowCount(), kRows);
              EXPECT_EQ(list->header()->sectionSize(3), 150);
              EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
              EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
              // The caret is on the first row as the list takes the focus;
              // Home selects that row all the same.
              EXPECT_TRUE(list->hasFocus());
              Press(ShownDialog("DIALOG_4"), Qt::Key_Home);
            })
      .Then("see row 1 selected by Home", [] { return CoreSelection() == std::vector<int>{0}; },
            [] {
              ClickRow(0);
              ClickRow(2, Qt::ControlModifier);
            })
      .Then("see rows 1 and 3 selected in the program", [] { return CoreSelection() == std::vector<int>{0, 2}; },
            [] {
              // Shift-End selects from the row clicked last to the end, and scrolls there.
              Press(ShownDialog("DIALOG_4"), Qt::Key_End, Qt::ShiftModifier);
            })
      .Then("see the selection reach the end", [] { return !CoreSelection().empty() && CoreSelection().back() == kRows - 1; },
            [] {
              std::vector<int> rows = CoreSelection();
              ASSERT_GE(rows.size(), static_cast<std::size_t>(kRows - 2));
              EXPECT_EQ(std::vector<int>(rows.end() - (kRows - 2), rows.end()).front(), 2);
              EXPECT_GT(List()->verticalScrollBar()->value(), 0);
              ClickRow(kRows - 3);
              // A URL cut by its column shows whole in a tooltip.
              desktop::ReportList* list = List();
              QModelIndex url = list->model()->index(kRows - 3, 3);
              QPoint at = list->visualRect(url).center();
              QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
              QCoreApplication::sendEvent(list->viewport(), &help);
              EXPECT_EQ(QToolTip::text().toStdU16String(), LongUrl(kRows - 3));
              ClickOn(ShownControl("DIALOG_4", 202));
            })
      // Restoring takes the row out where it was: the list stays scrolled
      // to the rows the person was looking at, the caret among them.
      .Then("see the row near the end restored", [] { return List()->model()->rowCount() == kRows - 1; },
            [] {
              desktop::ReportList* list = List();
              EXPECT_EQ(list->model()->index(kRows - 3, 0).data().toString(), QString::number(kRows - 1));
              EXPECT_TRUE(CoreSelection().empty());
              EXPECT_TRUE(list->selectionModel()->selection().isEmpty());
              EXPECT_GT(list->verticalScrollBar()->value(), list->verticalScrollBar()->maximum() / 2);
              EXPECT_GE(list->currentIndex().row(), kRows - 4);
              ClickOn(ShownControl("DIALOG_4", ui::IDOK));
            });
  EXPECT_EQ(ui::DialogBoxParam("DIALOG_4", nullptr, ManyRows, 0), 7);
}
