// The review dialog run in-process from a script: its rows, Test and Restore.
// (The two ways it ends the process are covered through the program.)
#include <gtest/gtest.h>

#include "checker/review_dialog.h"
#include "model/app_state.h"
#include "platform/posix/ui/script_testing.h"
#include "platform/text.h"
#include "support/temp_dir.h"
#include "support/transcript_json.h"

namespace {

struct Review {
  std::intptr_t result = -1;
  std::vector<std::vector<std::string>> rowsAtEnd;
  std::vector<std::string> columns;
  std::vector<std::string> opened;  // URLs handed to the browser, in order
};

class ReviewDialogTest : public ::testing::Test {
 protected:
  // Five problem links among kept and unchecked ones, in queue order.
  void SetUp() override {
    struct L {
      const char* title;
      const char* url;
      LinkStatus status;
    };
    const L all[] = {{"Kept", "http://k.example/", Keep},        {"One", "http://one.example/a", Delete},
                     {"Two", "http://two.example/b", Fix},       {"Never", "http://u.example/", Unchecked},
                     {"Three", "http://three.example/c", Delete}, {"Four", "http://four.example/d", Fix},
                     {"Five", "http://five.example/e", Delete}};
    links_.clear();
    for (const L& l : all) {
      BookmarkLink link;
      link.title = text::Utf8ToUtf16(l.title);
      link.url = text::Utf8ToUtf16(l.url);
      link.status = l.status;
      links_.push_back(link);
    }
    checkQueue = CheckQueue{};
    for (BookmarkLink& l : links_) checkQueue.links.push_back(&l);
  }
  Review Run(const std::string& script) {
    Review r;
    std::string error;
    EXPECT_TRUE(ui::test::StartScriptFrontEnd(script, dir_.file("t.jsonl"), &error, 5000)) << error;
    r.result = ui::DialogBoxParam("DIALOG_4", nullptr, ReviewDialog, 0);
    ui::test::StopFrontEnd();
    for (const auto& e : scripted::ParseJsonLines(ReadFileBytes(dir_.file("t.jsonl")))) {
      if (e["event"].Str() == "openurl") r.opened.push_back(e["url"].Str());
      if (e["event"].Str() != "end") continue;
      for (const auto& c : e["controls"].items) {
        if (c["id"].Int() != 900) continue;
        for (const auto& col : c["columns"].items) r.columns.push_back(col.Str());
        for (const auto& row : c["rows"].items) {
          std::vector<std::string> cells;
          for (const auto& cell : row.items) cells.push_back(cell.Str());
          r.rowsAtEnd.push_back(cells);
        }
      }
    }
    return r;
  }
  TempDir dir_;
  std::vector<BookmarkLink> links_;
};

using Rows = std::vector<std::vector<std::string>>;

TEST_F(ReviewDialogTest, ListsProblemLinksInQueueOrderWithNumbersAndActions) {
  Review r = Run("dialog DIALOG_4: click 1\n");
  EXPECT_EQ(r.result, 0);
  EXPECT_EQ(r.columns, (std::vector<std::string>{"#", "Name", "Action", "URL"}));
  EXPECT_EQ(r.rowsAtEnd, (Rows{{"1", "One", "Delete", "http://one.example/a"},
                               {"2", "Two", "Fix", "http://two.example/b"},
                               {"3", "Three", "Delete", "http://three.example/c"},
                               {"4", "Four", "Fix", "http://four.example/d"},
                               {"5", "Five", "Delete", "http://five.example/e"}}));
  // Closing changes nothing.
  EXPECT_EQ(links_[1].status, Delete);
  EXPECT_EQ(links_[2].status, Fix);
  EXPECT_EQ(links_[3].status, Unchecked);
}

TEST_F(ReviewDialogTest, RestoreKeepsTheSelectedLinksAndDropsOnlyTheirRows) {
  Review r = Run("dialog DIALOG_4: select 1 3, click 202, click 202, key escape\n");
  EXPECT_EQ(r.result, 0);
  EXPECT_EQ(r.rowsAtEnd, (Rows{{"2", "Two", "Fix", "http://two.example/b"},
                               {"4", "Four", "Fix", "http://four.example/d"},
                               {"5", "Five", "Delete", "http://five.example/e"}}));
  EXPECT_EQ(links_[1].status, Keep);
  EXPECT_EQ(links_[4].status, Keep);
  EXPECT_EQ(links_[2].status, Fix);
  EXPECT_EQ(links_[5].status, Fix);
  EXPECT_EQ(links_[6].status, Delete);
  EXPECT_EQ(links_[0].status, Keep);
  EXPECT_EQ(links_[3].status, Unchecked);
}

TEST_F(ReviewDialogTest, TestOpensTheSelectedUrlsTopDownAndChangesNothing) {
  std::string longUrl = "http://long.example/" + std::string(1200, 'q');
  links_[6].url = text::Utf8ToUtf16(longUrl);
  Review r = Run("dialog DIALOG_4: select 5 2 4, click 201, click 1\n");
  // Whole URLs, however long: the list's text is for showing only.
  EXPECT_EQ(r.opened, (std::vector<std::string>{"http://two.example/b", "http://four.example/d", longUrl}));
  EXPECT_EQ(r.rowsAtEnd.size(), 5u);
  EXPECT_EQ(links_[2].status, Fix);
  EXPECT_EQ(links_[6].status, Delete);
}

}  // namespace
