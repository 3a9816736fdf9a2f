// The report list: rows keep their item data through insertions and
// deletions, selection walks from the top, texts are cut to the caller's
// buffer, and out-of-range requests change nothing.
#include "platform/ui.h"

#include <gtest/gtest.h>

namespace {

class ListView : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog_ = ui::CreateDialogParam("DIALOG_4", nullptr, nullptr, 0);
    ASSERT_NE(dialog_, nullptr);
    list_ = ui::GetDlgItem(dialog_, 900);
    ASSERT_NE(list_, nullptr);
  }
  void TearDown() override { ui::DestroyWindow(dialog_); }

  std::vector<int> Selected() {
    std::vector<int> rows;
    for (int item = ui::ListView_GetNextItem(list_, -1, ui::LVNI_SELECTED); item != -1;
         item = ui::ListView_GetNextItem(list_, item, ui::LVNI_SELECTED))
      rows.push_back(item);
    return rows;
  }

  ui::Window dialog_ = nullptr;
  ui::Window list_ = nullptr;
};

TEST_F(ListView, RowsKeepTheirDataAndCellsThroughInsertAndDelete) {
  EXPECT_EQ(ui::ListView_InsertColumn(list_, 0, u"#", 70), 0);
  EXPECT_EQ(ui::ListView_InsertColumn(list_, 1, u"Name", 70), 1);
  EXPECT_EQ(ui::ListView_InsertColumn(list_, 9, u"URL", 100), 2);  // past the end: appended
  EXPECT_EQ(ui::ListView_InsertItem(list_, 0, u"1", 11), 0);
  EXPECT_EQ(ui::ListView_InsertItem(list_, 1, u"2", 22), 1);
  EXPECT_EQ(ui::ListView_InsertItem(list_, 50, u"3", 33), 2);
  EXPECT_EQ(ui::ListView_InsertItem(list_, 0, u"0", 0), 0);  // in front: the others move down
  EXPECT_TRUE(ui::ListView_SetItemText(list_, 2, 2, u"http://b/"));
  EXPECT_FALSE(ui::ListView_SetItemText(list_, 4, 1, u"no such row"));
  EXPECT_FALSE(ui::ListView_SetItemText(list_, 1, 3, u"no such column"));
  EXPECT_EQ(ui::ListView_GetItemCount(list_), 4);
  EXPECT_EQ(ui::ListView_GetItemData(list_, 2), 22);
  EXPECT_EQ(ui::ListView_GetItemText(list_, 2, 0, 1000), u"2");
  EXPECT_EQ(ui::ListView_GetItemText(list_, 2, 2, 1000), u"http://b/");
  EXPECT_EQ(ui::ListView_GetItemText(list_, 2, 1, 1000), u"");  // never set

  EXPECT_TRUE(ui::ListView_DeleteItem(list_, 0));
  EXPECT_FALSE(ui::ListView_DeleteItem(list_, 3));
  EXPECT_EQ(ui::ListView_GetItemCount(list_), 3);
  EXPECT_EQ(ui::ListView_GetItemData(list_, 0), 11);
  EXPECT_EQ(ui::ListView_GetItemData(list_, 1), 22);
  EXPECT_EQ(ui::ListView_GetItemText(list_, 1, 2, 1000), u"http://b/");
  EXPECT_EQ(ui::ListView_GetItemData(list_, 3), 0);
}

TEST_F(ListView, TextIsCutToTheBufferTheCallerGives) {
  ui::ListView_InsertColumn(list_, 0, u"URL", 100);
  std::u16string url = u"http://example.com/" + std::u16string(2000, u'a');
  ui::ListView_InsertItem(list_, 0, url, 0);
  EXPECT_EQ(ui::ListView_GetItemText(list_, 0, 0, 1000).size(), 999u);
  EXPECT_EQ(ui::ListView_GetItemText(list_, 0, 0, 1000), url.substr(0, 999));
  EXPECT_EQ(ui::ListView_GetItemText(list_, 0, 0, 1), u"");
  EXPECT_EQ(ui::ListView_GetItemText(list_, 0, 0, 0), u"");
  EXPECT_EQ(ui::ListView_GetItemText(list_, 0, 0, 5000), url);
}

TEST_F(ListView, SelectionIsWalkedFromTheTopAndSurvivesDeletingOtherRows) {
  ui::ListView_InsertColumn(list_, 0, u"#", 70);
  for (int i = 0; i < 5; ++i) ui::ListView_InsertItem(list_, i, u"row", i);
  EXPECT_EQ(Selected(), std::vector<int>{});
  EXPECT_EQ(ui::ListView_GetNextItem(list_, -1, ui::LVNI_ALL), 0);
  EXPECT_EQ(ui::ListView_GetNextItem(list_, 4, ui::LVNI_ALL), -1);
  ui::ListView_SetItemSelected(list_, 0, true);
  ui::ListView_SetItemSelected(list_, 2, true);
  ui::ListView_SetItemSelected(list_, 4, true);
  EXPECT_FALSE(ui::ListView_SetItemSelected(list_, 5, true));
  EXPECT_EQ(Selected(), (std::vector<int>{0, 2, 4}));
  // Restoring the way the review does: always the first selected row.
  std::vector<ui::LParam> taken;
  for (int item; (item = ui::ListView_GetNextItem(list_, -1, ui::LVNI_SELECTED)) != -1;) {
    taken.push_back(ui::ListView_GetItemData(list_, item));
    ui::ListView_DeleteItem(list_, item);
  }
  EXPECT_EQ(taken, (std::vector<ui::LParam>{0, 2, 4}));
  EXPECT_EQ(ui::ListView_GetItemCount(list_), 2);
  EXPECT_EQ(ui::ListView_GetItemData(list_, 0), 1);
  EXPECT_EQ(ui::ListView_GetItemData(list_, 1), 3);
}

TEST_F(ListView, AutoSizedColumnsFitTheirWidestCell) {
  ui::ListView_InsertColumn(list_, 0, u"A long header", 70);
  ui::ListView_InsertColumn(list_, 1, u"N", 70);
  ui::ListView_InsertItem(list_, 0, u"1", 0);
  ui::ListView_SetItemText(list_, 0, 1, u"a considerably longer cell text");
  EXPECT_TRUE(ui::ListView_SetColumnWidth(list_, 0, ui::LVSCW_AUTOSIZE_USEHEADER));
  EXPECT_TRUE(ui::ListView_SetColumnWidth(list_, 1, ui::LVSCW_AUTOSIZE));
  EXPECT_FALSE(ui::ListView_SetColumnWidth(list_, 2, 50));
  // Not a list: every list operation refuses.
  ui::Window label = ui::GetDlgItem(dialog_, -1);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(ui::ListView_InsertItem(label, 0, u"x", 0), -1);
  EXPECT_EQ(ui::ListView_GetItemCount(label), 0);
}

}  // namespace
