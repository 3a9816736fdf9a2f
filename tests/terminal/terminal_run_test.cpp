// The program itself in a terminal: what a person sees and does, end to end.
#include "support/temp_dir.h"
#include "tmux_session.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <sstream>
#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <condition_variable>
#include <functional>
#include <mutex>

using terminal_test::TmuxSession;

namespace {

#ifndef LINNET_BINARY
#define LINNET_BINARY ""
#endif

// A person's home without a Firefox profile, and a folder to start in.
struct Home {
  TempDir dir;
  std::string home = dir.file("home");
  std::string work = dir.file("work");
  Home() {
    std::filesystem::create_directories(home);
    std::filesystem::create_directories(work);
  }
  std::map<std::string, std::string> Environment() const {
    return {{"HOME", home}, {"LINNET_ASSUME_ONLINE", "1"}, {"XDG_CONFIG_HOME", home + "/.config"}};
  }
};

// The attributes in force where `text` starts on the captured screen: the
// SGR numbers since the last reset on its line (empty when it is not there).
std::vector<int> AttributesBefore(const std::string& screen, const std::string& text) {
  std::size_t at = screen.find(text);
  if (at == std::string::npos) return {};
  std::size_t lineStart = screen.rfind('\n', at);
  lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
  std::vector<int> numbers;
  for (std::size_t escape = screen.find("\x1b[", lineStart); escape != std::string::npos && escape < at;
       escape = screen.find("\x1b[", escape + 2)) {
    std::size_t end = screen.find('m', escape);
    std::stringstream parameters(screen.substr(escape + 2, end - escape - 2));
    std::string item;
    while (std::getline(parameters, item, ';')) {
      int n = item.empty() ? 0 : std::atoi(item.c_str());
      if (n == 0) numbers.clear();
      else if (n == 22) numbers.erase(std::remove_if(numbers.begin(), numbers.end(), [](int k) { return k == 1 || k == 2; }), numbers.end());
      else numbers.push_back(n);
    }
  }
  return numbers;
}

bool Has(const std::vector<int>& numbers, int n) { return std::find(numbers.begin(), numbers.end(), n) != numbers.end(); }

#define SKIP_WITHOUT_TERMINAL_TOOLS()                                        \
  if (!TmuxSession::Available()) GTEST_SKIP() << "tmux is not installed";   \
  if (std::string(LINNET_BINARY).empty()) GTEST_SKIP() << "no program built"

}  // namespace

TEST(TerminalRun, SourceDialogGreysFirefoxRedrawsOnResizeAndEscapeLeavesTheTerminalAsItWas) {
  SKIP_WITHOUT_TERMINAL_TOOLS();
  Home person;
  TmuxSession session(LINNET_BINARY, person.work, person.Environment(), 120, 40);
  ASSERT_TRUE(session.WaitFor("Welcome to Linnet 3.0!")) << session.Capture();
  std::string screen = session.Capture();
  for (const char* text : {"Linnet 3", "Favorites source", "Please select the source to get the bookmarks:",
                           "(*) Import from Internet Explorer", "( ) Import from Firefox",
                           "( ) Import from a bookmark file", "OK", "Cancel", "Check for updates..."})
    EXPECT_NE(screen.find(text), std::string::npos) << text << "\n" << screen;
  // Without a Firefox profile its choice is drawn dimmed; the others are not.
  std::string styled = session.Capture(true);
  EXPECT_TRUE(Has(AttributesBefore(styled, "Import from Firefox"), 2)) << styled;
  EXPECT_FALSE(Has(AttributesBefore(styled, "Import from a bookmark file"), 2));

  // A click on a choice selects it; a click on the greyed one does nothing.
  auto [column, row] = session.Find("Import from a bookmark file");
  ASSERT_GE(row, 0);
  session.Click(column, row);
  EXPECT_TRUE(session.WaitFor("(*) Import from a bookmark file")) << session.Capture();
  auto [greyColumn, greyRow] = session.Find("Import from Firefox");
  session.Click(greyColumn, greyRow);
  session.Keys({"Down"});  // a key after the click, so the click has surely been handled
  EXPECT_TRUE(session.WaitFor("(*) Import from Internet Explorer")) << session.Capture();
  EXPECT_NE(session.Capture().find("( ) Import from Firefox"), std::string::npos);

  // Made smaller, the terminal is drawn again with the dialog squeezed to
  // fit: its title bar now starts at the left edge.
  EXPECT_EQ(screen.find("\n Linnet 3 "), std::string::npos);
  session.Resize(80, 24);
  EXPECT_TRUE(session.WaitFor("\n Linnet 3 ")) << session.Capture();
  EXPECT_NE(session.Capture().find("Import from a bookmark file"), std::string::npos);

  session.Keys({"Escape"});
  EXPECT_EQ(session.WaitForExit(), 0);
  ASSERT_TRUE(session.WaitFor("program ended: 0"));
  // Nothing of the dialog is left on the screen, and the line is back in
  // its ordinary mode (echo and line editing on).
  EXPECT_EQ(session.Capture().find("Welcome to Linnet"), std::string::npos) << session.Capture();
  std::string settings = session.SettingsAfterExit();
  EXPECT_NE(settings.find(" icanon"), std::string::npos) << settings;
  EXPECT_NE(settings.find(" echo "), std::string::npos) << settings;
}

TEST(TerminalRun, WholeWizardByKeyboardInAnEightyByTwentyFourTerminal) {
  SKIP_WITHOUT_TERMINAL_TOOLS();
  httplib::Server site;
  site.Get("/live", [](const httplib::Request&, httplib::Response& res) { res.set_content("live", "text/html"); });
  site.Get("/gone", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
  site.Get("/broken", [](const httplib::Request&, httplib::Response& res) { res.status = 500; });
  site.Get("/also-gone", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
  site.Get("/lost", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
  int port = site.bind_to_any_port("127.0.0.1");
  std::thread serving([&] { site.listen_after_bind(); });
  struct Stop {
    httplib::Server& site;
    std::thread& thread;
    ~Stop() {
      site.stop();
      thread.join();
    }
  } stop{site, serving};

  Home person;
  std::string base = "http://127.0.0.1:" + std::to_string(port);
  {
    std::ofstream out(person.work + "/mine.html");
    out << "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n"
        << "<DT><A HREF=\"" << base << "/live\">Live page</A>\n"
        << "<DT><A HREF=\"" << base << "/gone\">Gone page</A>\n"
        << "<DT><A HREF=\"" << base << "/broken\">Broken page</A>\n"
        << "<DT><A HREF=\"" << base << "/also-gone\">Also gone</A>\n"
        << "<DT><A HREF=\"" << base << "/lost\">Lost page</A>\n"
        << "</DL><p>\n";
  }
  TmuxSession session(LINNET_BINARY, person.work, person.Environment(), 80, 24);
  ASSERT_TRUE(session.WaitFor("Welcome to Linnet 3.0!")) << session.Capture();
  // Down passes over the greyed Firefox choice.
  session.Keys({"Down"});
  ASSERT_TRUE(session.WaitFor("(*) Import from a bookmark file")) << session.Capture();
  session.Keys({"Enter"});

  // The open dialog starts in the start-up folder and lists the bookmark file.
  ASSERT_TRUE(session.WaitFor("Choose a bookmark file")) << session.Capture();
  EXPECT_TRUE(session.WaitFor("mine.html")) << session.Capture();
  EXPECT_NE(session.Capture().find("File name: " + person.work), std::string::npos) << session.Capture();
  session.Keys({"C-u"});
  session.Type("mine.html");
  session.Keys({"Enter"});

  ASSERT_TRUE(session.WaitFor("Actions on 404")) << session.Capture();
  EXPECT_NE(session.Capture().find("What to do with 500s (Internal server error, temporal or"), std::string::npos);
  session.Keys({"Enter"});
  // The confirmation box, answered with Enter (OK).
  ASSERT_TRUE(session.WaitFor("You are now ready to check a total of 5 favorites.")) << session.Capture();
  session.Keys({"Enter"});

  ASSERT_TRUE(session.WaitFor("The following bookmarks have problems.")) << session.Capture();
  std::string review = session.Capture();
  for (const char* text : {"Gone page", "Broken page", "Also gone", "Fix", "Delete", "Test", "Restore"})
    EXPECT_NE(review.find(text), std::string::npos) << text << "\n" << review;
  EXPECT_EQ(review.find("Live page"), std::string::npos);

  // Rows 1 and 3 chosen with Space, then Restore (two tabs away).
  session.Keys({"Space", "Down", "Down", "Space", "Tab", "Tab", "Enter"});
  ASSERT_TRUE(session.WaitForGone("Gone page")) << session.Capture();
  EXPECT_TRUE(session.WaitForGone("Also gone")) << session.Capture();
  EXPECT_NE(session.Capture().find("Broken page"), std::string::npos);

  // The other two with Shift-Down (sent as an escape sequence that this
  // terminal's description does not name: it must extend the selection,
  // not cancel the dialog); restoring everything ends the program.
  session.Keys({"BTab", "BTab", "Home", "Space", "S-Down", "Tab", "Tab", "Enter"});
  ASSERT_TRUE(session.WaitFor("You have restored all faulty items.")) << session.Capture();
  EXPECT_NE(session.Capture().find("LNT will now exit."), std::string::npos);
  session.Keys({"Enter"});
  EXPECT_EQ(session.WaitForExit(), 0);
  ASSERT_TRUE(session.WaitFor("program ended: 0"));
  EXPECT_EQ(session.Capture().find("Linnet 3"), std::string::npos) << session.Capture();
  EXPECT_NE(session.SettingsAfterExit().find(" icanon"), std::string::npos);
}

TEST(TerminalRun, KeysTypedAheadAsOneWindowClosesDoNotActInTheNext) {
  SKIP_WITHOUT_TERMINAL_TOOLS();
  // One page answers 404 at once; the other holds its answer until the test
  // ends, so the check is still running when it is cancelled.
  std::mutex gate;
  std::condition_variable opened;
  bool open = false;
  httplib::Server site;
  site.Get("/gone", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
  site.Get("/slow", [&](const httplib::Request&, httplib::Response& res) {
    std::unique_lock<std::mutex> lock(gate);
    opened.wait_for(lock, std::chrono::seconds(60), [&] { return open; });
    res.set_content("late", "text/html");
  });
  int port = site.bind_to_any_port("127.0.0.1");
  std::thread serving([&] { site.listen_after_bind(); });
  struct Stop {
    std::function<void()> stop;
    ~Stop() { stop(); }
  } stop{[&] {
    {
      std::lock_guard<std::mutex> lock(gate);
      open = true;
    }
    opened.notify_all();
    site.stop();
    serving.join();
  }};

  Home person;
  std::string base = "http://127.0.0.1:" + std::to_string(port);
  {
    std::ofstream out(person.work + "/two.html");
    out << "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n"
        << "<DT><A HREF=\"" << base << "/gone\">Gone page</A>\n"
        << "<DT><A HREF=\"" << base << "/slow\">Slow page</A>\n</DL><p>\n";
  }
  TmuxSession session(LINNET_BINARY, person.work, person.Environment(), 80, 24);
  ASSERT_TRUE(session.WaitFor("Welcome to Linnet 3.0!")) << session.Capture();
  session.Keys({"Down", "Enter"});
  ASSERT_TRUE(session.WaitFor("Choose a bookmark file")) << session.Capture();
  session.Keys({"C-u"});
  session.Type(person.work + "/two.html");
  session.Keys({"Enter"});
  ASSERT_TRUE(session.WaitFor("Actions on 404")) << session.Capture();
  session.Keys({"Enter"});
  ASSERT_TRUE(session.WaitFor("You are now ready to check a total of 2 favorites.")) << session.Capture();
  session.Keys({"Enter"});
  ASSERT_TRUE(session.WaitFor("(50.0%)")) << session.Capture();
  session.Keys({"Escape"});
  ASSERT_TRUE(session.WaitFor("Are you sure you want to cancel?")) << session.Capture();
  session.Keys({"y"});
  ASSERT_TRUE(session.WaitFor("Do you want to proceed with the current bookmark state?")) << session.Capture();

  // Two Enters at once: the first answers Yes; the second, already typed
  // when the review dialog opens, must not press its OK and skip the review.
  session.Keys({"Enter", "Enter"});
  ASSERT_TRUE(session.WaitFor("The following bookmarks have problems.")) << session.Capture();
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  EXPECT_NE(session.Capture().find("Gone page"), std::string::npos) << session.Capture();
  EXPECT_EQ(session.Capture().find("You can now save"), std::string::npos) << session.Capture();
  // A key typed once the dialog is there acts as ever.
  session.Keys({"Enter"});
  EXPECT_TRUE(session.WaitFor("You can now save the fixed bookmarks!")) << session.Capture();
  session.Keys({"Escape"});
  ASSERT_TRUE(session.WaitFor("Are you sure you want to cancel?")) << session.Capture();
  session.Keys({"y"});
  EXPECT_EQ(session.WaitForExit(), 0);
}

TEST(TerminalRun, EscapeOnTheConfirmationBoxCancelsTheRun) {
  SKIP_WITHOUT_TERMINAL_TOOLS();
  Home person;
  {
    std::ofstream out(person.work + "/one.html");
    out << "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><A HREF=\"http://127.0.0.1:9/\">Nowhere</A>\n</DL><p>\n";
  }
  TmuxSession session(LINNET_BINARY, person.work, person.Environment(), 100, 30);
  ASSERT_TRUE(session.WaitFor("Welcome to Linnet 3.0!")) << session.Capture();
  session.Keys({"Down", "Enter"});
  ASSERT_TRUE(session.WaitFor("Choose a bookmark file")) << session.Capture();
  session.Keys({"C-u"});
  session.Type(person.work + "/one.html");
  session.Keys({"Enter"});
  ASSERT_TRUE(session.WaitFor("Actions on 404")) << session.Capture();
  session.Keys({"Enter"});
  ASSERT_TRUE(session.WaitFor("You are now ready to check a total of 1 favorites.")) << session.Capture();
  session.Keys({"Escape"});
  EXPECT_EQ(session.WaitForExit(), 0);
  EXPECT_EQ(session.Capture().find("LNT 3.0!"), std::string::npos) << session.Capture();
}

TEST(TerminalRun, WithoutATerminalOrAScriptTheProgramSaysSoAndFails) {
  if (std::string(LINNET_BINARY).empty()) GTEST_SKIP() << "no program built";
  TempDir dir;
  std::string command = "env -u LINNET_SCRIPT -u DISPLAY -u WAYLAND_DISPLAY HOME=" + dir.path() + " " + LINNET_BINARY + " </dev/null >" +
                        dir.file("out.txt") + " 2>" + dir.file("err.txt");
  int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 0);
  EXPECT_NE(ReadFileBytes(dir.file("err.txt")).find("linnet:"), std::string::npos);
}
