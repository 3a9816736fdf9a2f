// Each dialog as a window built from its template, and the keyboard and
// mouse as the platform has them.
#include "desktop_fixture.h"

#include "platform/dialog_template.h"
#include "platform/posix/desktop/template_label.h"
#include "platform/ui.h"

#include "model/app_state.h"
#include "shell/choice_dialogs.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <iostream>

namespace {

std::intptr_t EndOnCommand(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam) {
  if (message == ui::WM_COMMAND && (CommandId(wParam) == ui::IDOK || CommandId(wParam) == ui::IDCANCEL))
    ui::EndDialog(dialog, CommandId(wParam));
  return 0;
}

std::u16string TextOf(QWidget* widget) {
  if (auto* label = dynamic_cast<desktop::TemplateLabel*>(widget)) return label->Text().toStdU16String();
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text().toStdU16String();
  if (auto* box = qobject_cast<QGroupBox*>(widget)) return box->title().toStdU16String();
  return u"";
}

bool Checked(const char* dialog, int id) {
  auto* radio = qobject_cast<QRadioButton*>(ShownControl(dialog, id));
  return radio && radio->isChecked();
}

int FocusedId(const char* dialog) {
  desktop::DialogWindow* window = ShownDialog(dialog);
  QWidget* focus = window ? window->focusWidget() : nullptr;
  return focus ? focus->property("controlId").toInt() : -100;
}

}  // namespace

TEST_F(DesktopUi, EveryDialogHoldsItsTemplatesTextsIdsAndGeometry) {
  for (const ui::DialogTemplate* layout : ui::AllDialogTemplates()) {
    SCOPED_TRACE(std::string(layout->name));
    Person person;
    person.Then(
        "see " + std::string(layout->name), [&] { return ShownDialog(std::string(layout->name)) != nullptr; },
        [&] {
          desktop::DialogWindow* window = ShownDialog(std::string(layout->name));
          const desktop::DialogMetrics& metrics = window->Metrics();
          EXPECT_EQ(window->windowTitle().toStdU16String(), layout->caption);
          EXPECT_EQ(window->size(), QSize(metrics.X(layout->cx), metrics.Y(layout->cy)));
          EXPECT_FALSE(window->windowIcon().isNull());
          // Wine's Tahoma stands in for the template's font when the system has no Tahoma of its own.
          if (QFileInfo::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"))) {
            EXPECT_EQ(metrics.font.family(), QStringLiteral("Tahoma"));
          }
          EXPECT_TRUE(desktop::TextsFit(ui::frontend::CurrentScreen().dialogs.back(), metrics));
          if (layout->name == "DIALOG_1")
            std::cout << "dialog font " << metrics.font.family().toStdString() << " " << metrics.font.pixelSize()
                      << " px, base units " << metrics.baseX << " x " << metrics.baseY << ", stretch "
                      << metrics.stretchX << "\n";
          int index = 0;
          for (const ui::ControlTemplate& control : layout->controls) {
            SCOPED_TRACE(index);
            QWidget* widget = window->findChild<QWidget*>(QStringLiteral("control-%1").arg(index++));
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(widget->property("controlId").toInt(), control.id);
            EXPECT_EQ(widget->geometry(), metrics.ToPixels(control.x, control.y, control.cx, control.cy));
            EXPECT_EQ(TextOf(widget), control.text);
            // The default look moves to a push button that has the focus, as on the platform.
            if (control.kind == ui::ControlKind::Button && !qobject_cast<QPushButton*>(window->focusWidget())) {
              EXPECT_EQ(static_cast<QPushButton*>(widget)->isDefault(), control.defaultButton);
            }
            if (control.kind == ui::ControlKind::Progress) {
              EXPECT_FALSE(static_cast<QProgressBar*>(widget)->isTextVisible());
            }
          }
          Press(window, Qt::Key_Escape);
        });
    EXPECT_EQ(ui::DialogBoxParam(layout->name, nullptr, EndOnCommand, 0), ui::IDCANCEL);
  }
}

TEST_F(DesktopUi, ActionsDialogKeepsItsThreeRadioGroupsApart) {
  // By mouse: each choice changes only its own group.
  Person person;
  person
      .Then("see the actions", [] { return ShownDialog("DIALOG_2") != nullptr; },
            [] {
              EXPECT_TRUE(Checked("DIALOG_2", 202) && Checked("DIALOG_2", 302) && Checked("DIALOG_2", 402));
              ClickOn(ShownControl("DIALOG_2", 201));
            })
      .Then("see Delete chosen for 404s", [] { return Checked("DIALOG_2", 201); },
            [] {
              EXPECT_FALSE(Checked("DIALOG_2", 202));
              EXPECT_TRUE(Checked("DIALOG_2", 302));
              EXPECT_TRUE(Checked("DIALOG_2", 402));
              ClickOn(ShownControl("DIALOG_2", 301));
            })
      .Then("see Ignore chosen for 500s", [] { return Checked("DIALOG_2", 301); },
            [] {
              EXPECT_TRUE(Checked("DIALOG_2", 201));
              EXPECT_TRUE(Checked("DIALOG_2", 402));
              ClickOn(ShownControl("DIALOG_2", 401));
            })
      .Then("see Ignore chosen for failures", [] { return Checked("DIALOG_2", 401); },
            [] { ClickOn(ShownControl("DIALOG_2", ui::IDOK)); });
  EXPECT_EQ(ui::DialogBoxParam("DIALOG_2", nullptr, ActionsDialog, 0), AF_CHOSEN);

  // By keyboard: the focus starts on the first group's choice, arrows
  // choose within a group, Tab goes on to the next group's choice, and
  // Enter presses OK.
  Person keys;
  keys.Then("see the actions again", [] { return ActiveDialog("DIALOG_2") != nullptr; },
            [] {
              EXPECT_EQ(FocusedId("DIALOG_2"), 202);
              Press(ShownDialog("DIALOG_2"), Qt::Key_Up);
            })
      .Then("see Delete chosen by arrow", [] { return Checked("DIALOG_2", 201); },
            [] {
              EXPECT_TRUE(Checked("DIALOG_2", 302));
              Press(ShownDialog("DIALOG_2"), Qt::Key_Tab);
              EXPECT_EQ(FocusedId("DIALOG_2"), 302);
              Press(ShownDialog("DIALOG_2"), Qt::Key_Up);
            })
      .Then("see Ignore chosen by arrow", [] { return Checked("DIALOG_2", 301); },
            [] {
              Press(ShownDialog("DIALOG_2"), Qt::Key_Tab);
              EXPECT_EQ(FocusedId("DIALOG_2"), 402);
              Press(ShownDialog("DIALOG_2"), Qt::Key_Tab);
              EXPECT_EQ(FocusedId("DIALOG_2"), ui::IDOK);
              Press(ShownDialog("DIALOG_2"), Qt::Key_Tab);
              Press(ShownDialog("DIALOG_2"), Qt::Key_Tab);
              EXPECT_EQ(FocusedId("DIALOG_2"), 201);
              Press(ShownDialog("DIALOG_2"), Qt::Key_Return);
            });
  EXPECT_EQ(ui::DialogBoxParam("DIALOG_2", nullptr, ActionsDialog, 0), AF_CHOSEN | AF_DELETE_FAILURE);
}

TEST_F(DesktopUi, SourceDialogTakesEnterEscapeTheCloseBoxAndPassesOverTheGreyedChoice) {
  firefoxBookmarkFile.clear();
  Person enter;
  enter.Then("see the source dialog", [] { return ActiveDialog("DIALOG_1") != nullptr; },
             [] {
               EXPECT_FALSE(ShownControl("DIALOG_1", 202)->isEnabled());
               Press(ShownDialog("DIALOG_1"), Qt::Key_Down);
             })
      .Then("see the bookmark file chosen", [] { return Checked("DIALOG_1", 203); },
            [] {
              EXPECT_FALSE(Checked("DIALOG_1", 202));
              Press(ShownDialog("DIALOG_1"), Qt::Key_Enter);
            });
  EXPECT_EQ(ui::DialogBoxParam("DIALOG_1", nullptr, SourceDialog, 0), kSourceBookmarkFile);

  // Enter on a focused push button presses that button, not the default one.
  Person escape;
  escape.Then("see it again", [] { return ShownDialog("DIALOG_1") != nullptr; },
              [] {
                Press(ShownDialog("DIALOG_1"), Qt::Key_Tab);
                Press(ShownDialog("DIALOG_1"), Qt::Key_Tab);
                EXPECT_EQ(FocusedId("DIALOG_1"), ui::IDCANCEL);
                Press(ShownDialog("DIALOG_1"), Qt::Key_Return);
              });
  EXPECT_EQ(ui::DialogBoxParam("DIALOG_1", nullptr, SourceDialog, 0), kSourceCancelled);

  Person closeBox;
  closeBox.Then("see it once more", [] { return ShownDialog("DIALOG_1") != nullptr; },
                [] { ShownDialog("DIALOG_1")->close(); });
  EXPECT_EQ(ui::DialogBoxParam("DIALOG_1", nullptr, SourceDialog, 0), kSourceCancelled);

  Person escapeKey;
  escapeKey.Then("see it a last time", [] { return ShownDialog("DIALOG_1") != nullptr; },
                 [] { Press(ShownDialog("DIALOG_1"), Qt::Key_Escape); });
  EXPECT_EQ(ui::DialogBoxParam("DIALOG_1", nullptr, SourceDialog, 0), kSourceCancelled);
}

TEST_F(DesktopUi, KeysTypedAheadAsABoxClosesDoNotReachTheDialogUnderIt) {
  // A second Enter typed with the one that answers the box must not press
  // OK in the dialog that becomes current again; Cancel, pressed once the
  // dialog waits, is what ends it.
  auto proc = [](ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam) -> std::intptr_t {
    if (message != ui::WM_COMMAND) return 0;
    if (CommandId(wParam) == 9) ui::MessageBox(dialog, u"Paused.", u"LNT 3.0!", ui::MB_OK);
    if (CommandId(wParam) == ui::IDOK || CommandId(wParam) == ui::IDCANCEL) ui::EndDialog(dialog, CommandId(wParam));
    return 0;
  };
  Person person;
  person.Then("see the dialog", [] { return ShownDialog("DIALOG_1") != nullptr; },
              [] { ClickOn(ShownControl("DIALOG_1", 9)); })
      .Then("see the box", [] { return ShownBox() != nullptr; },
            [] {
              // The Enter reaches the dialog itself, where it presses the default button (OK).
              QWidget* dialog = ShownDialog("DIALOG_1");
              ClickOn(ShownBox()->Button(ui::IDOK));
              QCoreApplication::postEvent(dialog, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
            })
      .Then("see the dialog current again", [] { return ShownBox() == nullptr && ShownDialog("DIALOG_1"); },
            [] { ClickOn(ShownControl("DIALOG_1", ui::IDCANCEL)); });
  EXPECT_EQ(ui::DialogBoxParam("DIALOG_1", nullptr, proc, 0), ui::IDCANCEL);
}
