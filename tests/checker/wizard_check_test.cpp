// The whole program from a script: a bookmark file whose links point at a
// loopback site is loaded, checked, reviewed, repaired and saved.
#include <gtest/gtest.h>

#include <mutex>

#include "http/loopback.h"
#include "program_run.h"
#include "support/bookmark_outline.h"
#include "support/expected_bookmark_file.h"
#include "support/temp_dir.h"

namespace {

const std::string kHeader = kExpectedBookmarkHeader;

// The lines the saved file holds: the links keep the date they were read
// with, the folder that was read keeps its heading without FOLDED, and the
// program's own folder has the format's heading.
std::string Link(const std::string& url, const std::string& title) {
  return "<DT><A HREF=\"" + url + "\" ADD_DATE=\"1\" LAST_VISIT=\"\" LAST_MODIFIED=\"\">" + title + "</A>\r\n";
}
std::string Folder(const std::string& name) {
  return std::string(name == "Deleted Bookmarks" ? "<DT><H3 FOLDED ADD_DATE=\"\">" : "<DT><H3 ADD_DATE=\"\">") + name +
         "</H3>\r\n<DL><p>\r\n";
}
const char kClose[] = "</DL><p>\r\n";

class Site {
 public:
  Site() {
    auto& s = server_.server();
    s.Get("/200/(.*)", [](const httplib::Request&, httplib::Response& res) { res.set_content("ok", "text/html"); });
    s.Get("/404/(.*)", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
    s.Get("/500/(.*)", [](const httplib::Request&, httplib::Response& res) { res.status = 500; });
    s.Get("/moved/(.*)", [](const httplib::Request& req, httplib::Response& res) {
      res.status = 301;
      res.set_header("Location", "/200/" + req.matches[1].str());
    });
    server_.Start();
  }
  std::string Url(const std::string& path) const { return server_.Url(path); }
  std::string Root() const { return "http://127.0.0.1:" + std::to_string(server_.port()); }

 private:
  loopback::HttpServer server_;
};

std::string InputFile(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string out = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n";
  for (const auto& [title, url] : entries) {
    if (title.rfind("folder:", 0) == 0) out += "<DT><H3>" + title.substr(7) + "</H3>\n<DL><p>\n";
    else if (title == "end") out += "</DL><p>\n";
    else out += "<DT><A HREF=\"" + url + "\" ADD_DATE=\"1\">" + title + "</A>\n";
  }
  return out + "</DL><p>\n";
}

std::string ScriptThroughCheck(const std::string& input, const std::string& actionClicks) {
  return "dialog DIALOG_1: click 203, click 1\nopen " + input + "\ndialog DIALOG_2: " + actionClicks +
         "\nmsgbox ok\ndialog DIALOG_3: wait\n";
}

TEST(CheckAndRepair, SavedFileHoldsTheRepairsForEachChoiceOfActions) {
  Site site;
  const std::string dead = "http://127.0.0.1:" + std::to_string(loopback::ClosedPort()) + "/x";
  const std::string input = InputFile({{"folder:Work", ""},
                                       {"Alive", site.Url("/200/a")},
                                       {"Gone", site.Url("/404/b")},
                                       {"end", ""},
                                       {"Broken", site.Url("/500/c")},
                                       {"Dead", dead},
                                       {"Moved", site.Url("/moved/d")},
                                       {"Script", "javascript:void(0)"}});
  struct Case {
    const char* what;
    std::string actionClicks;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"default actions (fix 404, delete 500 and failures)", "click 1",
       kHeader + Folder("Work") + Link(site.Url("/200/a"), "Alive") + Link(site.Root(), "Gone") + kClose +
           Folder("Deleted Bookmarks") + Link(site.Url("/500/c"), "Broken") + Link(dead, "Dead") + kClose +
           Link(site.Url("/moved/d"), "Moved") + Link("javascript:void(0)", "Script") + kClose + "</DL>"},
      {"0x0001 (delete 404, ignore 500 and failures)", "click 201, click 301, click 401, click 1",
       kHeader + Folder("Work") + Link(site.Url("/200/a"), "Alive") + kClose + Folder("Deleted Bookmarks") +
           Link(site.Url("/404/b"), "Gone") + kClose + Link(site.Url("/500/c"), "Broken") + Link(dead, "Dead") +
           Link(site.Url("/moved/d"), "Moved") + Link("javascript:void(0)", "Script") + kClose + "</DL>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir work;
    WriteFileBytes(work.file("in.html"), input);
    const std::string script = ScriptThroughCheck(work.file("in.html"), c.actionClicks) +
                               "dialog DIALOG_4: click 1\ndialog DIALOG_5: click 1\nsave " + work.file("out.html") +
                               "\nmsgbox ok\n";
    ProgramRun run = RunProgram(script, work.path());
    EXPECT_EQ(run.exitCode, 0) << run.Summary();
    EXPECT_TRUE(run.ShowedDialog("DIALOG_4")) << run.Summary();
    EXPECT_EQ(ReadFileBytes(work.file("out.html")), c.expected) << run.Summary();
  }
}

TEST(CheckAndRepair, LinksAreJudgedByTheAddressTheirMarkupStandsFor) {
  // Answers 200 only to the query a browser would send for the HREF below.
  std::mutex mutex;
  std::vector<std::string> targets;
  loopback::HttpServer server;
  server.server().Get("/q", [&](const httplib::Request& req, httplib::Response& res) {
    std::lock_guard<std::mutex> lock(mutex);
    targets.push_back(req.target);
    if (req.target != "/q?a=1&b=2") res.status = 404;
  });
  server.server().Get("/gone", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
  server.Start();
  const std::string input = "<DL><p>\n"
                            "<DT><A HREF=\"" + server.Url("/q?a=1&amp;b=2") + "\">Q &amp; A</A>\n"
                            "<DT><A HREF=\"" + server.Url("/gone?x=1&amp;y=2") + "\">Tom &amp; Jerry</A>\n"
                            "<DT><A HREF=\"javascript:alert(&quot;hi&quot;)\">Bookmarklet</A>\n"
                            "<DT><A HREF=\"place:sort=8&amp;maxResults=10\">Recent</A>\n"
                            "</DL><p>\n";
  TempDir work;
  WriteFileBytes(work.file("in.html"), input);
  // The default actions, which delete a link that cannot be opened.
  const std::string script = ScriptThroughCheck(work.file("in.html"), "click 1") +
                             "dialog DIALOG_4: select 1, click 201, click 1\ndialog DIALOG_5: click 1\nsave " +
                             work.file("out.html") + "\nmsgbox ok\n";
  ProgramRun run = RunProgram(script, work.path());
  ASSERT_EQ(run.exitCode, 0) << run.Summary();
  {
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(targets, std::vector<std::string>{"/q?a=1&b=2"});
  }

  // Only the 404 is listed, as a person reads it, and Test opens that address.
  const scripted::Json* review = nullptr;
  std::string opened;
  for (const auto& e : run.events) {
    if (e["event"].Str() == "end" && e["name"].Str() == "DIALOG_4") review = &e;
    if (e["event"].Str() == "openurl") opened = e["url"].Str();
  }
  ASSERT_NE(review, nullptr) << run.Summary();
  const scripted::Json* list = nullptr;
  for (const auto& c : (*review)["controls"].items)
    if (c["id"].Int() == 900) list = &c;
  ASSERT_NE(list, nullptr);
  ASSERT_EQ((*list)["rows"].items.size(), 1u) << run.Summary();
  const auto& row = (*list)["rows"].items[0].items;
  EXPECT_EQ(row[1].Str(), "Tom & Jerry");
  EXPECT_EQ(row[3].Str(), server.Url("/gone?x=1&y=2"));
  EXPECT_EQ(opened, server.Url("/gone?x=1&y=2"));

  // What was not repaired is saved as it was written.
  const std::string saved = ReadFileBytes(work.file("out.html"));
  for (const std::string& kept : {"HREF=\"" + server.Url("/q?a=1&amp;b=2") + "\"", std::string(">Q &amp; A</A>"),
                                 std::string("HREF=\"javascript:alert(&quot;hi&quot;)\""),
                                 std::string("HREF=\"place:sort=8&amp;maxResults=10\"")})
    EXPECT_NE(saved.find(kept), std::string::npos) << kept << "\n" << saved;
  EXPECT_EQ(saved.find("Deleted Bookmarks</H3>\r\n<DL><p>\r\n<DT>"), std::string::npos) << saved;
}

TEST(CheckAndRepair, ReviewEndsTheProgramWhenNothingIsLeftToRepair) {
  Site site;
  {
    SCOPED_TRACE("no problem found");
    TempDir work;
    WriteFileBytes(work.file("in.html"), InputFile({{"A", site.Url("/200/a")}, {"B", site.Url("/moved/b")}}));
    ProgramRun run = RunProgram(ScriptThroughCheck(work.file("in.html"), "click 1") + "msgbox ok\n", work.path());
    EXPECT_EQ(run.exitCode, 0) << run.Summary();
    ASSERT_FALSE(run.MessageTexts().empty()) << run.Summary();
    EXPECT_EQ(run.MessageTexts().back(), "None of your favorites have any problems.\r\nLNT will now exit.");
    EXPECT_FALSE(run.ShowedDialog("DIALOG_5")) << run.Summary();
  }
  {
    SCOPED_TRACE("every problem restored");
    TempDir work;
    WriteFileBytes(work.file("in.html"), InputFile({{"A", site.Url("/404/a")}, {"B", site.Url("/404/b")}}));
    ProgramRun run = RunProgram(ScriptThroughCheck(work.file("in.html"), "click 1") +
                                    "dialog DIALOG_4: select 1 2, click 202\nmsgbox ok\n",
                                work.path());
    EXPECT_EQ(run.exitCode, 0) << run.Summary();
    ASSERT_FALSE(run.MessageTexts().empty()) << run.Summary();
    EXPECT_EQ(run.MessageTexts().back(), "You have restored all faulty items.\r\nLNT will now exit.");
    EXPECT_FALSE(run.ShowedDialog("DIALOG_5")) << run.Summary();
    for (const auto& e : run.events)
      if (e["event"].Str() == "msgbox") {
        EXPECT_EQ(e["caption"].Str(), "LNT 3.0!");
      }
  }
}

// A script run every week meets windows that only some weeks show: its
// optional lines answer them when they come and are passed over otherwise.
TEST(CheckAndRepair, OneScriptWithOptionalLinesServesEveryWeek) {
  Site site;
  TempDir work;
  const std::string script = ScriptThroughCheck(work.file("in.html"), "click 1") +
                             "# nothing broken this week: no review list, only this box, and the end\n"
                             "optional msgbox ok\n"
                             "optional dialog DIALOG_4: click 1\n"
                             "dialog DIALOG_5: click 203, click 1\n"
                             "save " + work.file("out.html") + "\n"
                             "# the file of the week before is replaced\n"
                             "optional msgbox yes\n"
                             "msgbox ok\n";
  const std::string broken = InputFile({{"A", site.Url("/200/a")}, {"B", site.Url("/404/b")}});
  const std::string replaceQuestion = "out.html already exists.\r\nDo you want to replace it?";
  const std::string completed = "File saving completed. Thanks for using LNT 3.0!";
  {
    SCOPED_TRACE("a broken link, and no file yet");
    WriteFileBytes(work.file("in.html"), broken);
    ProgramRun run = RunProgram(script, work.path());
    EXPECT_EQ(run.exitCode, 0) << run.Summary();
    EXPECT_TRUE(run.ShowedDialog("DIALOG_4")) << run.Summary();
    ASSERT_FALSE(run.MessageTexts().empty());
    EXPECT_EQ(run.MessageTexts().back(), completed) << run.Summary();
    EXPECT_EQ(run.MessageTexts().size(), 2u) << run.Summary();
    EXPECT_TRUE(ReadFileBytes(work.file("out.html")).find(site.Root() + "\"") != std::string::npos);
  }
  {
    SCOPED_TRACE("a broken link, and last week's file");
    WriteFileBytes(work.file("out.html"), "last week");
    ProgramRun run = RunProgram(script, work.path());
    EXPECT_EQ(run.exitCode, 0) << run.Summary();
    ASSERT_EQ(run.MessageTexts().size(), 3u) << run.Summary();
    EXPECT_EQ(run.MessageTexts()[1], replaceQuestion);
    EXPECT_NE(ReadFileBytes(work.file("out.html")), "last week");
  }
  {
    SCOPED_TRACE("nothing broken");
    WriteFileBytes(work.file("in.html"), InputFile({{"A", site.Url("/200/a")}}));
    WriteFileBytes(work.file("out.html"), "last week");
    ProgramRun run = RunProgram(script, work.path());
    EXPECT_EQ(run.exitCode, 0) << run.Summary();
    EXPECT_FALSE(run.ShowedDialog("DIALOG_4")) << run.Summary();
    ASSERT_FALSE(run.MessageTexts().empty());
    EXPECT_EQ(run.MessageTexts().back(), "None of your favorites have any problems.\r\nLNT will now exit.");
    EXPECT_EQ(ReadFileBytes(work.file("out.html")), "last week");
  }
}

// A browser's export checked, repaired and saved through the whole program
// differs from what went in only by the repairs: the same items in the same
// order, with their attributes, descriptions, separators and empty folders.
TEST(CheckAndRepair, ABrowserExportComesBackWithOnlyTheRepairs) {
  Site site;
  auto link = [](const std::string& url, const std::string& attributes, const std::string& title) {
    return "    <DT><A HREF=\"" + url + "\" ADD_DATE=\"1700000000\"" + attributes + ">" + title + "</A>\n";
  };
  const std::string gone = link(site.Url("/404/gone"), " LAST_MODIFIED=\"1700000001\" SHORTCUTURL=\"g\"", "Gone");
  const std::string broken = link(site.Url("/500/broken"), " ICON=\"data:image/png;base64,AAAA\"", "Broken &amp; old") +
                             "    <DD>Kept &lt;for&gt; a while\n";
  const std::string input =
      "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
      "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks Menu</H1>\n<DL><p>\n" +
      link(site.Url("/200/start"), " TAGS=\"a,b\"", "Start") + broken + "    <HR>\n" +
      "    <DT><H3 ADD_DATE=\"1\" LAST_MODIFIED=\"2\" PERSONAL_TOOLBAR_FOLDER=\"true\">Bookmarks Toolbar</H3>\n"
      "    <DD>Under the address bar\n    <DL><p>\n" +
      link("javascript:void(0)", "", "Bookmarklet") + gone + link("place:sort=8&amp;maxResults=10", "", "Most Visited") +
      "        <DT><H3 ADD_DATE=\"3\">Empty</H3>\n        <DL><p>\n        </DL><p>\n"
      "    </DL><p>\n" +
      link(site.Url("/moved/after"), "", "\xce\x9a\xce\xb1\xce\xbb\xce\xb7\xce\xbc\xce\xad\xcf\x81\xce\xb1") +
      "    <DT><H3 ADD_DATE=\"4\" UNFILED_BOOKMARKS_FOLDER=\"true\">Other Bookmarks</H3>\n    <DL><p>\n    </DL><p>\n"
      "</DL>\n";
  TempDir work;
  WriteFileBytes(work.file("in.html"), input);
  const std::string script = ScriptThroughCheck(work.file("in.html"), "click 1") +
                             "dialog DIALOG_4: click 1\ndialog DIALOG_5: click 1\nsave " + work.file("out.html") +
                             "\nmsgbox ok\n";
  ProgramRun run = RunProgram(script, work.path());
  ASSERT_EQ(run.exitCode, 0) << run.Summary();

  // The 404 is cut back to its site root where it stood; the 500 moves into
  // the deleted links' folder after the last folder, with all it had.
  std::string expected = input;
  expected.replace(expected.find(broken), broken.size(), "");
  expected.replace(expected.find(site.Url("/404/gone")), site.Url("/404/gone").size(), site.Root());
  expected.replace(expected.rfind("</DL>\n"), 6, "<DT><H3 FOLDED>Deleted Bookmarks</H3>\n<DL><p>\n" + broken + "</DL><p>\n</DL>\n");
  EXPECT_EQ(outline::Of(ReadFileBytes(work.file("out.html"))), outline::Of(expected)) << run.Summary();
}

}  // namespace
