// Message boxes and file dialogs as the script answers them, and what the
// transcript records of them.
#include "ui_fixture.h"

#include "platform/text.h"

#include <filesystem>
#include <thread>

namespace {

TEST_F(ScriptedUi, MessageBoxAnswersFollowItsButtons) {
  struct Case {
    unsigned type;
    const char* line;
    int answer;
  } cases[] = {
      {ui::MB_OK, "msgbox ok", ui::IDOK},
      {ui::MB_OK, "msgbox escape", ui::IDOK},
      {ui::MB_OK, "msgbox enter", ui::IDOK},
      {ui::MB_OKCANCEL, "msgbox escape", ui::IDCANCEL},
      {ui::MB_OKCANCEL, "msgbox cancel", ui::IDCANCEL},
      {ui::MB_YESNO | ui::MB_DEFBUTTON2, "msgbox enter", ui::IDNO},
      {ui::MB_YESNO, "msgbox enter", ui::IDYES},
      {ui::MB_YESNO, "msgbox yes", ui::IDYES},
      {ui::MB_YESNOCANCEL | ui::MB_DEFBUTTON3, "msgbox enter", ui::IDCANCEL},
      {ui::MB_YESNOCANCEL, "msgbox escape", ui::IDCANCEL},
  };
  for (const Case& c : cases) {
    Script(std::string(c.line) + "\n");
    EXPECT_EQ(ui::MessageBox(nullptr, u"Question?", u"LNT 3.0!", c.type), c.answer) << c.line << " " << c.type;
  }
}

TEST_F(ScriptedUi, TranscriptRecordsWhatTheBoxShowedAndHowItEnded) {
  Script("msgbox no\n");
  ui::MessageBox(nullptr, u"Are you sure you want to cancel?", u"LNT 3.0!",
                 ui::MB_YESNO | ui::MB_ICONQUESTION | ui::MB_DEFBUTTON2);
  auto boxes = Events("msgbox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["caption"].Str(), "LNT 3.0!");
  EXPECT_EQ(boxes[0]["text"].Str(), "Are you sure you want to cancel?");
  EXPECT_EQ(boxes[0]["buttons"].Str(), "yesno");
  EXPECT_EQ(boxes[0]["icon"].Str(), "question");
  EXPECT_EQ(boxes[0]["default"].Int(), 2);
  EXPECT_TRUE(boxes[0]["owner"].IsNull());
  EXPECT_FALSE(boxes[0].Has("timeout_ms"));
  EXPECT_EQ(boxes[0]["answer"].Str(), "no");

  // Owned by a dialog: the owner is named by its template.
  ui::Window owner = ui::CreateDialogParam("DIALOG_UPDATE", nullptr, nullptr, 0);
  Script("msgbox ok\n");
  ui::MessageBox(ui::GetDlgItem(owner, 701), u"Line one\r\nLine \"two\"\ttabbed", u"LNT", ui::MB_ICONINFORMATION);
  boxes = Events("msgbox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["owner"].Str(), "DIALOG_UPDATE");
  EXPECT_EQ(boxes[0]["text"].Str(), "Line one\r\nLine \"two\"\ttabbed");
  EXPECT_EQ(boxes[0]["icon"].Str(), "information");
  EXPECT_EQ(boxes[0]["buttons"].Str(), "ok");
  ui::DestroyWindow(owner);
}

TEST_F(ScriptedUi, TimedBoxTimesOutOrIsAnsweredNormally) {
  Script("msgbox timeout\n");
  EXPECT_EQ(ui::MessageBoxTimeout(nullptr, u"Exit now?", u"LNT", ui::MB_YESNO | ui::MB_ICONQUESTION, 0, 20000),
            ui::MB_TIMEDOUT);
  auto boxes = Events("msgbox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["timeout_ms"].Int(), 20000);
  EXPECT_TRUE(boxes[0]["timed_out"].boolean);
  EXPECT_TRUE(boxes[0]["answer"].IsNull());

  Script("msgbox no\n");
  EXPECT_EQ(ui::MessageBoxTimeout(nullptr, u"Exit now?", u"LNT", ui::MB_YESNO, 0, 20000), ui::IDNO);
  EXPECT_FALSE(Events("msgbox")[0].Has("timed_out"));

  // The box closes itself when its time is up, before the script answers.
  Script("msgbox ok after 60000\n");
  EXPECT_EQ(ui::MessageBoxTimeout(nullptr, u"Done", u"LNT", ui::MB_OK, 0, 30), ui::MB_TIMEDOUT);
  EXPECT_TRUE(Events("msgbox")[0]["timed_out"].boolean);

  // No time-out at all: a plain box.
  Script("msgbox ok\n");
  EXPECT_EQ(ui::MessageBoxTimeout(nullptr, u"Done", u"LNT", ui::MB_OK, 0, 0xFFFFFFFFu), ui::IDOK);
  EXPECT_FALSE(Events("msgbox")[0].Has("timeout_ms"));
}

TEST_F(ScriptedUi, BoxAskedForByAWorkerThreadIsShownByTheUiThread) {
  Script("msgbox yes\n");
  int answer = 0;
  std::thread worker([&] { answer = ui::MessageBox(nullptr, u"Replace?", u"LNT", ui::MB_YESNO); });
  ui::Msg msg;
  // The UI thread's loop shows it; nothing else is posted, so wait for the worker to finish.
  std::thread quitter([&, self = ui::GetCurrentThreadId()] {
    worker.join();
    ui::PostThreadMessage(self, ui::WM_QUIT, 0, 0);
  });
  while (ui::GetMessage(msg)) {
  }
  quitter.join();
  EXPECT_EQ(answer, ui::IDYES);
}

ui::OpenFileName OpenDialog(unsigned flags) {
  ui::OpenFileName ofn;
  ofn.filter = std::u16string(u"HTML files\0*.HTM;*.HTML\0\0", 25);
  ofn.title = u"Choose a bookmark file";
  ofn.file = u"/start/dir";
  ofn.flags = flags;
  return ofn;
}

TEST_F(ScriptedUi, FileDialogsCheckThePathAsThePlatformWould) {
  std::string existing = dir_.file("bookmarks.html");
  WriteFileBytes(existing, "<html></html>");
  std::string missing = dir_.file("missing.html");
  unsigned openFlags = ui::OFN_EXPLORER | ui::OFN_FILEMUSTEXIST | ui::OFN_NOCHANGEDIR | ui::OFN_HIDEREADONLY;
  unsigned saveFlags = ui::OFN_EXPLORER | ui::OFN_OVERWRITEPROMPT | ui::OFN_NOCHANGEDIR | ui::OFN_HIDEREADONLY;

  Script("open " + existing + "\n");
  ui::OpenFileName ofn = OpenDialog(openFlags);
  ASSERT_TRUE(ui::GetOpenFileName(ofn));
  EXPECT_EQ(ofn.file, text::Utf8ToUtf16(existing));
  auto files = Events("filedialog");
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0]["kind"].Str(), "open");
  EXPECT_EQ(files[0]["title"].Str(), "Choose a bookmark file");
  EXPECT_EQ(files[0]["filter"].Str(), "HTML files|*.HTM;*.HTML");
  EXPECT_EQ(files[0]["file"].Str(), "/start/dir");
  EXPECT_EQ(files[0]["answer"].Str(), existing);

  // A missing file is refused; the next line answers again.
  Script("open " + missing + "\nopen " + existing + "\n");
  ofn = OpenDialog(openFlags);
  ASSERT_TRUE(ui::GetOpenFileName(ofn));
  EXPECT_EQ(ofn.file, text::Utf8ToUtf16(existing));
  files = Events("filedialog");
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0]["rejected"].Str(), "the file does not exist");
  EXPECT_EQ(files[1]["answer"].Str(), existing);

  Script("open cancel\n");
  ofn = OpenDialog(openFlags);
  EXPECT_FALSE(ui::GetOpenFileName(ofn));
  EXPECT_TRUE(Events("filedialog")[0]["answer"].IsNull());

  // A relative path is taken from the current directory.
  std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  Script("open bookmarks.html\n");
  ofn = OpenDialog(openFlags);
  bool opened = ui::GetOpenFileName(ofn);
  std::filesystem::current_path(before);
  ASSERT_TRUE(opened);
  EXPECT_EQ(ofn.file, text::Utf8ToUtf16(existing));

  // Replacing a file is confirmed first; No keeps the dialog open.
  Script("save " + existing + "\nmsgbox no\nsave " + missing + "\n");
  ofn = OpenDialog(saveFlags);
  ofn.file.clear();
  ASSERT_TRUE(ui::GetSaveFileName(ofn));
  EXPECT_EQ(ofn.file, text::Utf8ToUtf16(missing));
  auto boxes = Events("msgbox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["text"].Str(), "bookmarks.html already exists.\r\nDo you want to replace it?");
  EXPECT_EQ(boxes[0]["default"].Int(), 2);

  Script("save " + existing + "\nmsgbox yes\n");
  ofn = OpenDialog(saveFlags);
  ASSERT_TRUE(ui::GetSaveFileName(ofn));
  EXPECT_EQ(ofn.file, text::Utf8ToUtf16(existing));

  // A path longer than the caller's buffer fails instead of being cut.
  Script("save " + missing + "\n");
  ofn = OpenDialog(saveFlags);
  ofn.maxFile = 10;
  EXPECT_FALSE(ui::GetSaveFileName(ofn));
}

TEST_F(ScriptedUi, OpeningAUrlIsRecordedNotLaunched) {
  Script("");
  EXPECT_GT(ui::ShellExecute(nullptr, u"open", u"http://www.example.com/a b", u"", u"", ui::SW_SHOWNORMAL), 32);
  auto opened = Events("openurl");
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0]["url"].Str(), "http://www.example.com/a b");
}

}  // namespace
