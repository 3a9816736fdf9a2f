// The program itself on an X display with the desktop front end, chosen by
// the rule (a display, no script, no terminal), and used with real key
// presses and mouse clicks: the whole wizard on the demo collection, saved
// to a file that must equal what the script front end saves for the same
// choices.
#include "support/script_run.h"
#include "support/temp_dir.h"
#include "x_session.h"

#include "platform/dialog_template.h"
#include "platform/posix/desktop/dialog_metrics.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <thread>

using desktop_test::XSession;

namespace {

#ifndef LINNET_BINARY
#define LINNET_BINARY ""
#endif
#ifndef DEMO_SITE_BINARY
#define DEMO_SITE_BINARY ""
#endif

// Where the program puts a control on the screen: the same metrics,
// worked out here on Qt's offscreen platform with the same fonts.
class Layout {
 public:
  static Layout& Of() {
    static Layout layout;
    return layout;
  }
  QPoint Centre(const std::string& dialog, int id, const desktop_test::WindowGeometry& window) const {
    const ui::DialogTemplate* layout = ui::FindDialogTemplate(dialog);
    ui::frontend::DialogView view;
    view.fontName = std::u16string(layout->fontName);
    view.fontPoints = layout->fontPoints;
    for (const ui::ControlTemplate& control : layout->controls) {
      ui::frontend::ControlView c;
      c.id = control.id;
      c.kind = control.kind;
      c.x = control.x, c.y = control.y, c.cx = control.cx, c.cy = control.cy;
      c.text = std::u16string(control.text);
      view.controls.push_back(c);
    }
    desktop::DialogMetrics metrics = desktop::FitDialog(view);
    for (const ui::ControlTemplate& control : layout->controls)
      if (control.id == id) {
        QRect rect = metrics.ToPixels(control.x, control.y, control.cx, control.cy);
        return QPoint(window.x + rect.center().x(), window.y + rect.center().y());
      }
    return QPoint();
  }

 private:
  Layout() {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
  }
  QApplication* app_;
};

// The demo site on loopback, with its bookmark file.
struct DemoSite {
  TempDir dir;
  int pid = -1;
  std::string bookmarks = dir.file("demo-bookmarks.html");
  DemoSite() {
    pid = desktop_test::Spawn({DEMO_SITE_BINARY, "--bookmarks", bookmarks, "--ready", dir.file("ready")}, {},
                              dir.path(), dir.file("site.log"));
    for (int i = 0; i < 200 && !std::filesystem::exists(dir.file("ready")); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ~DemoSite() {
    kill(pid, SIGTERM);
    desktop_test::WaitForExit(pid, std::chrono::seconds(5));
  }
};

// The last "dialog" event of the transcript so far.
std::string LastDialog(const std::string& transcript) {
  std::string name;
  for (const scripted::Json& event : scripted::ReadTranscript(transcript))
    if (event["event"].Str() == "dialog") name = event["name"].Str();
  return name;
}

bool WaitForDialog(const XSession& x, const std::string& transcript, const std::string& name) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < deadline) {
    if (LastDialog(transcript) == name && x.WaitForWindow("^Linnet 3$", std::chrono::milliseconds(200))) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

// Where the run leaves what it made: the transcripts of both runs, the
// saved files, the program's standard error, and a screenshot of the screen
// when a step fails. Emptied at the start of each run.
std::string Artifacts() {
  static const std::string folder = [] {
    std::string path = std::filesystem::absolute("desktop_run").string();
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

// The windows a transcript shows one after the other, with the answers
// given, and file names without their folders (the two runs work in
// different folders).
std::vector<std::string> Shown(const std::vector<scripted::Json>& events) {
  std::vector<std::string> shown;
  for (const scripted::Json& event : events) {
    const std::string& kind = event["event"].Str();
    if (kind == "dialog" || kind == "end") shown.push_back(kind + " " + event["name"].Str());
    if (kind == "msgbox") shown.push_back("msgbox " + event["text"].Str() + " -> " + event["answer"].Str());
    if (kind == "filedialog")
      shown.push_back("filedialog " + event["kind"].Str() + " -> " +
                      std::filesystem::path(event["answer"].Str()).filename().string());
    if (kind == "exit") shown.push_back("exit " + std::to_string(event["code"].Int()));
  }
  return shown;
}

class DesktopRun : public ::testing::Test {
 protected:
  void TearDown() override {
    if (HasFailure() && x_.Started()) x_.Screenshot(Artifacts() + "/failure.png");
  }
  XSession x_;
};

}  // namespace

TEST_F(DesktopRun, WholeWizardByRealInputSavesWhatTheScriptFrontEndSaves) {
  if (!XSession::Available()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  // A build that lost track of the program or the demo site must not pass quietly.
  ASSERT_FALSE(std::string(LINNET_BINARY).empty() || std::string(DEMO_SITE_BINARY).empty())
      << "the program or the demo site is not known to this test";
  const XSession& x = x_;
  ASSERT_TRUE(x.Started());
  DemoSite site;
  ASSERT_TRUE(std::filesystem::exists(site.bookmarks));

  TempDir person;
  std::string home = person.file("home"), work = person.file("work");
  std::filesystem::create_directories(home);
  std::filesystem::create_directories(work);
  std::filesystem::copy_file(site.bookmarks, work + "/demo-bookmarks.html");
  std::string transcript = Artifacts() + "/desktop.jsonl";
  std::string saved = Artifacts() + "/desktop-fixed.html";
  std::string errors = Artifacts() + "/desktop-stderr.txt";
  int program = desktop_test::Spawn({LINNET_BINARY},
                                    {{"DISPLAY", x.Display()},
                                     {"HOME", home},
                                     {"XDG_CONFIG_HOME", home + "/.config"},
                                     {"XDG_RUNTIME_DIR", person.path()},
                                     {"LINNET_ASSUME_ONLINE", "1"},
                                     {"LINNET_TRANSCRIPT", transcript}},
                                    work, errors);
  // A step that fails leaves the program running: it is ended with the test.
  struct Reaper {
    int pid;
    bool reaped = false;
    int Wait(std::chrono::milliseconds limit) {
      reaped = true;
      return desktop_test::WaitForExit(pid, limit);
    }
    ~Reaper() {
      if (!reaped) desktop_test::WaitForExit(pid, std::chrono::milliseconds(0));
    }
  } running{program};

  // The source: a click on "Import from a bookmark file", then Enter.
  ASSERT_TRUE(WaitForDialog(x, transcript, "DIALOG_1")) << ReadFileBytes(errors);
  std::string source = *x.WaitForWindow("^Linnet 3$");
  QPoint choice = Layout::Of().Centre("DIALOG_1", 203, x.Geometry(source));
  x.Click(choice.x(), choice.y());
  x.Keys("Return");
  // The open dialog starts with the start-up folder in its field.
  ASSERT_TRUE(x.WaitForWindow("^Choose a bookmark file$"));
  x.Keys("ctrl+a");
  x.Type("demo-bookmarks.html");
  x.Keys("Return");
  // The actions as they are, then OK in the confirmation box.
  ASSERT_TRUE(WaitForDialog(x, transcript, "DIALOG_2"));
  x.Keys("Return");
  ASSERT_TRUE(x.WaitForWindow("^LNT 3\\.0!$")) << ReadFileBytes(transcript);
  x.Keys("Return");
  // The check ends by itself; in the review, the first row is restored
  // (Home selects it, a click on Restore), then Tab to OK and Enter.
  ASSERT_TRUE(WaitForDialog(x, transcript, "DIALOG_4"));
  std::string review = *x.WaitForWindow("^Linnet 3$");
  x.Keys("Home");
  QPoint restore = Layout::Of().Centre("DIALOG_4", 202, x.Geometry(review));
  x.Click(restore.x(), restore.y());
  x.Keys("Tab Return");
  // The results go to a bookmark file (chosen already, as the source was one).
  ASSERT_TRUE(WaitForDialog(x, transcript, "DIALOG_5"));
  x.Keys("Return");
  ASSERT_TRUE(x.WaitForWindow("^Choose a bookmark file$"));
  x.Keys("ctrl+a");
  x.Type(saved);
  x.Keys("Return");
  ASSERT_TRUE(x.WaitForWindow("^LNT 3\\.0!$")) << ReadFileBytes(transcript);
  x.Keys("Return");
  EXPECT_EQ(running.Wait(std::chrono::seconds(20)), 0) << ReadFileBytes(errors);
  EXPECT_TRUE(x.WaitForNoWindow("Linnet 3|LNT 3"));

  // The same choices through a script.
  scripted::RunOptions options;
  TempDir scriptWork;
  std::filesystem::copy_file(site.bookmarks, scriptWork.file("demo-bookmarks.html"));
  options.workingDirectory = scriptWork.path();
  options.environment["LINNET_ASSUME_ONLINE"] = "1";
  options.script =
      "dialog DIALOG_1: click 203, click 1\n"
      "open demo-bookmarks.html\n"
      "dialog DIALOG_2: click 1\n"
      "msgbox ok\n"
      "dialog DIALOG_3: wait\n"
      "dialog DIALOG_4: select 1, click 202, click 1\n"
      "dialog DIALOG_5: click 1\n"
      "save " + scriptWork.file("desktop-fixed.html") + "\n"
      "msgbox ok\n";
  scripted::RunResult scriptRun = scripted::RunScript(options);
  ASSERT_EQ(scriptRun.exitCode, 0) << scriptRun.errorOutput << scriptRun.Summary();
  std::ofstream(Artifacts() + "/script.jsonl", std::ios::binary) << scriptRun.transcriptText;
  std::filesystem::copy_file(scriptWork.file("desktop-fixed.html"), Artifacts() + "/script-fixed.html");

  // The desktop's transcript tells the same run as the script's, and the
  // saved bytes are the same.
  EXPECT_EQ(Shown(scripted::ReadTranscript(transcript)), Shown(scriptRun.events));
  std::string desktopBytes = ReadFileBytes(saved);
  EXPECT_FALSE(desktopBytes.empty());
  EXPECT_EQ(desktopBytes, ReadFileBytes(Artifacts() + "/script-fixed.html"));
}
