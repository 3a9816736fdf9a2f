// What a person's doing turns into: Escape and the close box become Cancel,
// Enter presses the default button, clicks select automatic radio buttons
// within their group, and disabled controls cannot be used.
#include "ui_fixture.h"

#include <vector>

namespace {

std::vector<unsigned> commands;  // WM_CLOSE and the ids of WM_COMMAND, in order

std::intptr_t RecordingProc(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam) {
  if (message == ui::WM_CLOSE) commands.push_back(ui::WM_CLOSE);
  if (message == ui::WM_COMMAND) {
    int id = CommandId(wParam);
    commands.push_back(id);
    if (id == ui::IDOK || id == ui::IDCANCEL) ui::EndDialog(dialog, 100 + id);
  }
  return 0;
}

TEST_F(ScriptedUi, EscapeAndCloseBoxBecomeCancelAndEnterPressesTheDefaultButton) {
  struct Case {
    const char* dialog;
    const char* action;
    std::intptr_t result;
    std::vector<unsigned> commands;
  } cases[] = {
      {"DIALOG_2", "key escape", 102, {2}},
      {"DIALOG_2", "close", 102, {ui::WM_CLOSE, 2}},
      {"DIALOG_2", "key enter", 101, {1}},
      {"DIALOG_1", "key enter", 101, {1}},
      {"DIALOG_5", "key escape", 102, {2}},
      // No default button: Enter still means IDOK.
      {"DIALOG_3", "key enter", 101, {1}},
  };
  for (const Case& c : cases) {
    commands.clear();
    Script(std::string("dialog ") + c.dialog + ": " + c.action + "\n");
    EXPECT_EQ(ui::DialogBoxParam(c.dialog, nullptr, RecordingProc, 0), c.result) << c.dialog << " " << c.action;
    EXPECT_EQ(commands, c.commands) << c.dialog << " " << c.action;
    auto ends = Events("end");
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0]["result"].Int(), c.result);
  }
}

std::intptr_t RadioProc(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam) {
  if (message == ui::WM_INITDIALOG) {
    ui::CheckRadioButton(dialog, 201, 202, 202);
    ui::CheckRadioButton(dialog, 301, 302, 302);
    ui::CheckRadioButton(dialog, 401, 402, 402);
    ui::EnableWindow(ui::GetDlgItem(dialog, 401), false);
  }
  if (message == ui::WM_COMMAND && CommandId(wParam) == ui::IDOK) {
    int bits = 0;
    for (int id : {201, 202, 301, 302, 401, 402})
      if (ui::IsDlgButtonChecked(dialog, id) == ui::BST_CHECKED) bits |= 1 << (id % 100 + (id / 100) * 2);
    ui::EndDialog(dialog, bits);
  }
  return 0;
}

int Bits(std::initializer_list<int> ids) {
  int bits = 0;
  for (int id : ids) bits |= 1 << (id % 100 + (id / 100) * 2);
  return bits;
}

TEST_F(ScriptedUi, ClickingARadioButtonSelectsItWithinItsGroupOnly) {
  struct Case {
    const char* actions;
    int checked;
  } cases[] = {
      {"click 1", Bits({202, 302, 402})},
      {"click 201, click 1", Bits({201, 302, 402})},
      {"click 201, click 301, click 1", Bits({201, 301, 402})},
      {"click 201, click 202, click 1", Bits({202, 302, 402})},
      // 401 is disabled: the click does nothing.
      {"click 401, click 1", Bits({202, 302, 402})},
  };
  for (const Case& c : cases) {
    Script(std::string("dialog DIALOG_2: ") + c.actions + "\n");
    EXPECT_EQ(ui::DialogBoxParam("DIALOG_2", nullptr, RadioProc, 0), c.checked) << c.actions;
  }
  // The last run's transcript says why its click did nothing.
  auto ignored = Events("ignored");
  ASSERT_EQ(ignored.size(), 1u);
  EXPECT_EQ(ignored[0]["name"].Str(), "DIALOG_2");
  EXPECT_EQ(ignored[0]["action"].Str(), "click");
  EXPECT_EQ(ignored[0]["id"].Int(), 401);
  EXPECT_EQ(ignored[0]["reason"].Str(), "control 401 is disabled");
  // The shown state of the dialog is in its events.
  auto shown = Events("dialog");
  ASSERT_EQ(shown.size(), 1u);
  const scripted::Json* radio = scripted::FindControl(shown[0], 401);
  ASSERT_NE(radio, nullptr);
  EXPECT_EQ((*radio)["kind"].Str(), "radio");
  EXPECT_FALSE((*radio)["enabled"].boolean);
  EXPECT_TRUE((*scripted::FindControl(shown[0], 402))["checked"].boolean);
}

TEST_F(ScriptedUi, ClicksOnWhatCannotBeClickedAreRecordedAndIgnored) {
  commands.clear();
  // 700 is a label, 5 does not exist; the dialog then goes on as usual.
  Script("dialog DIALOG_3: click 700, click 5, click 9, click 2\n");
  EXPECT_EQ(ui::DialogBoxParam("DIALOG_3", nullptr, RecordingProc, 0), 102);
  EXPECT_EQ(commands, (std::vector<unsigned>{9, 2}));
  auto ignored = Events("ignored");
  ASSERT_EQ(ignored.size(), 2u);
  EXPECT_EQ(ignored[0]["reason"].Str(), "control 700 cannot be clicked");
  EXPECT_EQ(ignored[1]["reason"].Str(), "no control 5");
}

std::vector<int> selectedAtOk;

std::intptr_t ListProc(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam) {
  ui::Window list = ui::GetDlgItem(dialog, 900);
  if (message == ui::WM_INITDIALOG) {
    ui::ListView_InsertColumn(list, 0, u"#", 70);
    for (int i = 0; i < 5; ++i) ui::ListView_InsertItem(list, i, std::u16string(1, u'1' + i), 1000 + i);
  }
  if (message == ui::WM_COMMAND && CommandId(wParam) == ui::IDOK) {
    selectedAtOk.clear();
    for (int item = ui::ListView_GetNextItem(list, -1, ui::LVNI_SELECTED); item != -1;
         item = ui::ListView_GetNextItem(list, item, ui::LVNI_SELECTED))
      selectedAtOk.push_back(static_cast<int>(ui::ListView_GetItemData(list, item)));
    ui::EndDialog(dialog, 0);
  }
  return 0;
}

TEST_F(ScriptedUi, SelectChoosesExactlyTheRowsNamed) {
  Script("dialog DIALOG_4: select 1 3, select 2 5, click 1\n");
  ui::DialogBoxParam("DIALOG_4", nullptr, ListProc, 0);
  EXPECT_EQ(selectedAtOk, (std::vector<int>{1001, 1004}));
  auto ends = Events("end");
  ASSERT_EQ(ends.size(), 1u);
  const scripted::Json* list = scripted::FindControl(ends[0], 900);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ((*list)["rows"].items.size(), 5u);
  ASSERT_EQ((*list)["selected"].items.size(), 2u);
  EXPECT_EQ((*list)["selected"].items[0].Int(), 2);

  // A row that is not there changes nothing.
  Script("dialog DIALOG_4: select 2, select 6, click 1\n");
  ui::DialogBoxParam("DIALOG_4", nullptr, ListProc, 0);
  EXPECT_EQ(selectedAtOk, (std::vector<int>{1001}));
  EXPECT_EQ(Events("ignored").size(), 1u);
}

}  // namespace
