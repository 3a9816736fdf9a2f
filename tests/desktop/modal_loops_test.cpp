// Message boxes, file dialogs and the notification icon, and the program's
// messages handled while they are open.
#include "desktop_fixture.h"

#include "platform/posix/desktop/desktop_front_end.h"
#include "platform/posix/desktop/file_dialog_window.h"
#include "platform/posix/desktop/template_label.h"
#include "platform/ui.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <atomic>
#include <fstream>
#include <thread>

namespace {

constexpr unsigned WM_RESULT = ui::WM_APP + 1;
constexpr unsigned WM_TRAY = ui::WM_USER + 10;

desktop::FileDialogWindow* ShownFileDialog() {
  auto* file = dynamic_cast<desktop::FileDialogWindow*>(desktop::FileDialogWindowShown());
  return file && file->isVisible() ? file : nullptr;
}

// A checking dialog of its own: a thread posts results, each is shown in
// the statistics text at once; Pause opens a box the first time and a file
// dialog the second.
struct Results {
  std::atomic<bool> stop{false};
  std::thread poster;
  int pauses = 0;
  bool opened = true;
} results;

std::intptr_t Counting(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam) {
  switch (message) {
    case ui::WM_INITDIALOG:
      results.stop = false;
      results.poster = std::thread([dialog] {
        for (int i = 1; !results.stop && i < 100000; ++i) {
          ui::PostMessage(dialog, WM_RESULT, static_cast<ui::WParam>(i), 0);
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
      });
      return 0;
    case WM_RESULT: {
      std::string text = "Checked: \t" + std::to_string(wParam);
      ui::SetDlgItemText(dialog, 700, std::u16string(text.begin(), text.end()));
      ui::SendDlgItemMessage(dialog, 900, ui::PBM_SETPOS, wParam % 100, 0);
      ui::UpdateWindow(ui::GetDlgItem(dialog, 900));
      return 0;
    }
    case ui::WM_COMMAND:
      if (CommandId(wParam) == 9 && results.pauses++ == 0) {
        ui::MessageBox(dialog, u"Paused. Press OK to resume or CANCEL to cancel", u"LNT 3.0!", ui::MB_OKCANCEL);
      } else if (CommandId(wParam) == 9) {
        ui::OpenFileName ofn;
        ofn.owner = dialog;
        ofn.title = u"Choose a bookmark file";
        results.opened = ui::GetOpenFileName(ofn);
      } else if (CommandId(wParam) == ui::IDCANCEL) {
        results.stop = true;
        results.poster.join();
        ui::EndDialog(dialog, 0);
      }
      return 0;
    default:
      return 0;
  }
}

QPushButton* OpenButton() {
  desktop::FileDialogWindow* file = ShownFileDialog();
  auto* buttons = file ? file->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")) : nullptr;
  return buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
}

QString Statistics() {
  auto* label = dynamic_cast<desktop::TemplateLabel*>(ShownControl("DIALOG_3", 700));
  return label ? label->Text() : QString();
}

}  // namespace

TEST_F(DesktopUi, ResultsFromAnotherThreadRedrawTheDialogWhileABoxOrAFileDialogIsOpen) {
  QString before;
  Person person;
  person
      .Then("see results counted", [] { return !Statistics().isEmpty(); },
            [] { ClickOn(ShownControl("DIALOG_3", 9)); })
      .Then("see the pause box", [] { return ShownBox() != nullptr; }, [&] { before = Statistics(); })
      .Then("see more results behind the box", [&] { return Statistics() != before && ShownBox(); },
            [] {
              EXPECT_FALSE(ShownDialog("DIALOG_3")->TakesInput());
              ClickOn(ShownBox()->Button(ui::IDOK));
            })
      .Then("see the box gone", [] { return ShownBox() == nullptr; },
            [] { ClickOn(ShownControl("DIALOG_3", 9)); })
      .Then("see the file dialog", [] { return ShownFileDialog() != nullptr; }, [&] { before = Statistics(); })
      .Then("see more results behind the file dialog", [&] { return Statistics() != before && ShownFileDialog(); },
            [] { ShownFileDialog()->reject(); })
      .Then("see the file dialog gone", [] { return ShownFileDialog() == nullptr; },
            [] { ClickOn(ShownControl("DIALOG_3", ui::IDCANCEL)); });
  EXPECT_EQ(ui::DialogBoxParam("DIALOG_3", nullptr, Counting, 0), 0);
  EXPECT_FALSE(results.opened);
}

TEST_F(DesktopUi, MessageBoxesAnswerAsThePlatformsDoAndATimedOneAnswersItself) {
  // Enter answers the default button, Y and N their buttons, Escape
  // nothing in a Yes/No box, and Cancel where there is one.
  Person person;
  person
      .Then("see the question", [] { return ShownBox() != nullptr; },
            [] {
              desktop::MessageBoxWindow* box = ShownBox();
              EXPECT_EQ(box->windowTitle(), QStringLiteral("LNT 3.0!"));
              EXPECT_TRUE(box->Button(ui::IDNO)->isDefault());
              EXPECT_NE(box->findChild<QWidget*>(QStringLiteral("icon")), nullptr);
              EXPECT_FALSE(box->windowFlags() & Qt::WindowCloseButtonHint);
              Press(box, Qt::Key_Escape);
              Press(box, Qt::Key_Enter);
            });
  EXPECT_EQ(ui::MessageBox(nullptr, u"Are you sure you want to cancel?", u"LNT 3.0!",
                           ui::MB_YESNO | ui::MB_ICONQUESTION | ui::MB_DEFBUTTON2),
            ui::IDNO);
  Person yes;
  yes.Then("see it again", [] { return ShownBox() != nullptr; }, [] { Press(ShownBox(), Qt::Key_Y); });
  EXPECT_EQ(ui::MessageBox(nullptr, u"Are you sure?", u"LNT 3.0!", ui::MB_YESNO | ui::MB_DEFBUTTON2), ui::IDYES);
  Person escape;
  escape.Then("see the pause box", [] { return ShownBox() != nullptr; }, [] { Press(ShownBox(), Qt::Key_Escape); });
  EXPECT_EQ(ui::MessageBox(nullptr, u"Paused.", u"LNT 3.0!", ui::MB_OKCANCEL), ui::IDCANCEL);

  Person waits;
  waits.Then("see the countdown", [] { return ShownBox() != nullptr; },
             [] { EXPECT_EQ(ShownBox()->Countdown(), QStringLiteral("closes in 1 s")); });
  EXPECT_EQ(ui::MessageBoxTimeout(nullptr, u"Files updated successfully!", u"LNT", ui::MB_YESNO | ui::MB_ICONQUESTION,
                                  0, 600),
            ui::MB_TIMEDOUT);
  EXPECT_TRUE(waits.Finished());
}

TEST_F(DesktopUi, FileDialogsFilterWithoutRegardToCaseStartFromTheProgramsTextAndAskBeforeReplacing) {
  EXPECT_EQ(desktop::NameFilters(std::u16string(u"HTML files\0*.HTM;*.HTML\0\0", 25)),
            QStringList{QStringLiteral("HTML files (*.[Hh][Tt][Mm] *.[Hh][Tt][Mm][Ll])")});
  EXPECT_TRUE(QDir::match(QStringLiteral("*.[Hh][Tt][Mm][Ll]"), QStringLiteral("demo-bookmarks.html")));

  TempDir dir;
  std::ofstream(dir.file("mine.html")) << "<DL>\n";
  QString folder = QString::fromStdString(dir.path());
  Person opening;
  opening
      .Then("see the open dialog", [] { return ShownFileDialog() != nullptr; },
            [&] {
              desktop::FileDialogWindow* file = ShownFileDialog();
              EXPECT_EQ(file->windowTitle(), QStringLiteral("Choose a bookmark file"));
              EXPECT_EQ(file->directory().absolutePath(), QDir(folder).absolutePath());
              auto* field = file->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
              ASSERT_NE(field, nullptr);
              EXPECT_EQ(field->text(), folder);
              field->setText(QStringLiteral("mine.html"));
            })
      // The dialog takes a file that must exist once it has looked at the folder.
      .Then("see Open ready", [] { return OpenButton() && OpenButton()->isEnabled(); },
            [] {
              QTest::keyClick(ShownFileDialog()->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
            });
  ui::OpenFileName open;
  open.filter = std::u16string(u"HTML files\0*.HTM;*.HTML\0\0", 25);
  open.file = QString(folder).toStdU16String();
  open.title = u"Choose a bookmark file";
  open.flags = ui::OFN_EXPLORER | ui::OFN_FILEMUSTEXIST | ui::OFN_NOCHANGEDIR | ui::OFN_HIDEREADONLY;
  ASSERT_TRUE(ui::GetOpenFileName(open));
  EXPECT_EQ(open.file, QString::fromStdString(dir.file("mine.html")).toStdU16String());

  // Replacing asks over the file dialog; No leaves the dialog open, Yes
  // ends it, and the box that follows at once (the save's completion) is
  // shown on its own.
  auto enterMine = [] {
    auto* field = ShownFileDialog()->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    field->setText(QStringLiteral("mine.html"));
    QTest::keyClick(field, Qt::Key_Return);
  };
  Person saving;
  saving
      .Then("see the save dialog", [] { return ShownFileDialog() != nullptr; },
            [&] {
              ShownFileDialog()->setDirectory(folder);
              enterMine();
            })
      .Then("see the question", [] { return ShownBox() != nullptr; },
            [] {
              EXPECT_EQ(ShownBox()->parentWidget(), ShownFileDialog());
              ClickOn(ShownBox()->Button(ui::IDNO));
            })
      .Then("see the save dialog still open", [] { return ShownBox() == nullptr && ShownFileDialog(); }, enterMine)
      .Then("see the question again", [] { return ShownBox() != nullptr; },
            [] { ClickOn(ShownBox()->Button(ui::IDYES)); })
      .Then("see the completion box alone", [] { return ShownBox() != nullptr && ShownFileDialog() == nullptr; },
            [] {
              EXPECT_EQ(ShownBox()->parentWidget(), nullptr);
              Press(ShownBox(), Qt::Key_Return);
            });
  ui::OpenFileName save = open;
  save.file.clear();
  save.flags = ui::OFN_EXPLORER | ui::OFN_OVERWRITEPROMPT | ui::OFN_NOCHANGEDIR | ui::OFN_HIDEREADONLY;
  ASSERT_TRUE(ui::GetSaveFileName(save));
  EXPECT_EQ(ui::MessageBox(nullptr, u"File saving completed. Thanks for using LNT 3.0!", u"LNT 3.0!",
                           ui::MB_OK | ui::MB_ICONINFORMATION),
            ui::IDOK);
  EXPECT_TRUE(saving.Finished());
}

TEST_F(DesktopUi, WithoutATrayTheNotificationIconIsAButtonWhoseClickReachesItsWindow) {
  static int trayClicks = 0;
  ui::Window window = ui::CreateDialogParam(
      "DIALOG_UPDATE", nullptr,
      [](ui::Window, unsigned message, ui::WParam, ui::LParam lParam) -> std::intptr_t {
        if (message == WM_TRAY && lParam == ui::WM_LBUTTONDOWN) ++trayClicks;
        return message == ui::WM_INITDIALOG;
      },
      0);
  ASSERT_NE(window, nullptr);
  ui::ShowWindow(window, ui::SW_SHOW);
  ui::NotifyIconData tray;
  tray.window = window;
  tray.id = 1034;
  tray.flags = ui::NIF_MESSAGE | ui::NIF_ICON;
  tray.callbackMessage = WM_TRAY;
  ASSERT_TRUE(ui::Shell_NotifyIcon(ui::NIM_ADD, tray));
  Person person;
  person.Then("see the stand-in icon",
              [] {
                for (QWidget* widget : QApplication::topLevelWidgets())
                  if (widget->objectName() == QStringLiteral("trayfallback") && widget->isVisible()) return true;
                return false;
              },
              [] {
                for (QWidget* widget : QApplication::topLevelWidgets())
                  if (widget->objectName() == QStringLiteral("trayfallback")) ClickOn(widget);
              });
  ui::Msg msg;
  while (trayClicks == 0 && ui::GetMessage(msg)) ui::DispatchMessage(msg);
  EXPECT_EQ(trayClicks, 1);
  ui::Shell_NotifyIcon(ui::NIM_DELETE, tray);
  ui::DestroyWindow(window);
}
