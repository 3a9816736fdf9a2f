// A modeless window (the update window) appears in the transcript when it
// is first shown and again, with its final state, when it is destroyed; it
// needs no script line, and its close box goes to its own procedure.
#include "ui_fixture.h"

#include "platform/posix/ui/frontend.h"

namespace {

bool destroyedByItself = false;

std::intptr_t UpdateLikeProc(ui::Window window, unsigned message, ui::WParam wParam, ui::LParam lParam) {
  if (message == ui::WM_INITDIALOG) return 1;
  if (message == ui::WM_CLOSE) {
    destroyedByItself = ui::DestroyWindow(window);
    return 1;
  }
  if (message == ui::WM_COMMAND && (CommandId(wParam) == ui::IDOK || CommandId(wParam) == ui::IDCANCEL)) return 1;
  if (message == ui::WM_APP + 10 && lParam == ui::WM_LBUTTONDOWN) ui::ShowWindow(window, ui::SW_SHOW);
  return 0;
}

TEST_F(ScriptedUi, ModelessWindowIsRecordedWhenShownAndWhenDestroyed) {
  Script("");
  ui::Window window = ui::CreateDialogParam("DIALOG_UPDATE", nullptr, UpdateLikeProc, 0);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(Events().empty());  // created hidden: nothing shown yet
  EXPECT_FALSE(ui::ShowWindow(window, ui::SW_SHOW));
  EXPECT_TRUE(ui::ShowWindow(window, ui::SW_SHOW));  // was visible already: shown once only
  ui::SetWindowText(window, u"LNT");
  ui::SetDlgItemText(window, 701, u"Downloading linnet: 50%");
  ui::SendDlgItemMessage(window, 902, ui::PBM_SETRANGE, 0, 1 << 16);
  ui::SendDlgItemMessage(window, 902, ui::PBM_SETPOS, 1, 0);
  ui::SendDlgItemMessage(window, 901, ui::PBM_SETPOS, 100, 0);
  EXPECT_TRUE(ui::DestroyWindow(window));

  auto shown = Events("dialog");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0]["name"].Str(), "DIALOG_UPDATE");
  EXPECT_EQ(shown[0]["caption"].Str(), "Vireo Update");
  EXPECT_FALSE(shown[0]["modal"].boolean);
  auto ends = Events("end");
  ASSERT_EQ(ends.size(), 1u);
  EXPECT_TRUE(ends[0]["result"].IsNull());
  EXPECT_EQ(ends[0]["caption"].Str(), "LNT");
  EXPECT_EQ(scripted::ControlText(ends[0], 701), "Downloading linnet: 50%");
  EXPECT_EQ(scripted::ControlText(ends[0], 702), "Overall process:");
  const scripted::Json* overall = scripted::FindControl(ends[0], 902);
  ASSERT_NE(overall, nullptr);
  EXPECT_EQ((*overall)["kind"].Str(), "progress");
  EXPECT_EQ((*overall)["pos"].Int(), 1);
  EXPECT_EQ((*overall)["range"].items[1].Int(), 1);
  EXPECT_EQ((*scripted::FindControl(ends[0], 901))["pos"].Int(), 100);

  // Never shown: never recorded.
  Script("");
  window = ui::CreateDialogParam("DIALOG_UPDATE", nullptr, UpdateLikeProc, 0);
  ui::DestroyWindow(window);
  EXPECT_TRUE(Events().empty());
}

TEST_F(ScriptedUi, CloseBoxAndKeysGoToTheModelessWindowsOwnProcedure) {
  Script("");
  ui::Window window = ui::CreateDialogParam("DIALOG_UPDATE", nullptr, UpdateLikeProc, 0);
  ui::ShowWindow(window, ui::SW_SHOW);
  // The procedure answers Enter and Escape itself, so they change nothing.
  EXPECT_EQ(ui::SendMessage(window, ui::WM_COMMAND, ui::IDCANCEL, 0), 1);
  EXPECT_TRUE(ui::IsWindow(window));
  // A click on the notification icon reaches the window as its callback message.
  ui::NotifyIconData icon;
  icon.window = window;
  icon.id = 1034;
  icon.flags = ui::NIF_MESSAGE | ui::NIF_ICON;
  icon.callbackMessage = ui::WM_APP + 10;
  EXPECT_TRUE(ui::Shell_NotifyIcon(ui::NIM_ADD, icon));
  EXPECT_FALSE(ui::Shell_NotifyIcon(ui::NIM_ADD, icon));
  ui::ShowWindow(window, ui::SW_HIDE);
  ASSERT_TRUE(ui::frontend::CurrentScreen().trayIcon.has_value());
  ui::frontend::Screen before = ui::frontend::CurrentScreen();
  EXPECT_TRUE(before.dialogs.empty());
  ui::PostMessage(window, ui::WM_APP + 10, 1034, ui::WM_LBUTTONDOWN);
  ui::Msg msg;
  ui::PostThreadMessage(ui::GetCurrentThreadId(), ui::WM_APP + 11, 0, 0);
  while (ui::GetMessage(msg) && msg.message != ui::WM_APP + 11) ui::DispatchMessage(msg);
  EXPECT_EQ(ui::frontend::CurrentScreen().dialogs.size(), 1u);
  EXPECT_TRUE(ui::Shell_NotifyIcon(ui::NIM_DELETE, icon));
  EXPECT_FALSE(ui::Shell_NotifyIcon(ui::NIM_DELETE, icon));

  // The close box: the procedure destroys the window.
  ui::SendMessage(window, ui::WM_CLOSE, 0, 0);
  EXPECT_TRUE(destroyedByItself);
  EXPECT_FALSE(ui::IsWindow(window));
}

}  // namespace
