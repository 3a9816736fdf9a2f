#include "platform/posix/desktop/dialog_window.h"

#include "platform/posix/desktop/report_list.h"
#include "platform/posix/desktop/template_label.h"

#include "platform/dialog_template.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <algorithm>

namespace desktop {
namespace {

using ui::ControlKind;
using ui::frontend::ControlView;
using ui::frontend::DialogView;
using ui::frontend::Input;
using ui::frontend::InputKind;

QString Text(const std::u16string& text) { return QString::fromStdU16String(text); }

// A group runs from a control that starts one to the next; a template that
// marks no group at all is split wherever something other than a radio
// button comes between them.
std::vector<int> GroupNumbers(const DialogView& view) {
  bool anyMarked = std::any_of(view.controls.begin(), view.controls.end(), [](const auto& c) { return c.group; });
  std::vector<int> numbers;
  int number = 0;
  for (const auto& control : view.controls) {
    if (anyMarked ? control.group : control.kind != ControlKind::Radio) ++number;
    numbers.push_back(number);
  }
  return numbers;
}

// A radio button answers a click anywhere in its rectangle, as the
// platform's do, not only on its mark and text.
class TemplateRadio : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

bool Focusable(const QWidget* widget) {
  return widget && widget->isEnabled() && !widget->isHidden() && widget->focusPolicy() != Qt::NoFocus;
}

}  // namespace

DialogWindow::DialogWindow(const DialogView& view, InputSink& sink, QWidget* owner)
    : QDialog(owner), sink_(sink), handle_(view.handle), name_(view.name) {
  setObjectName(QString::fromStdString(view.name));
  const ui::DialogTemplate* layout = ui::FindDialogTemplate(view.name);
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint;
  if (!layout || layout->minimizeBox) flags |= Qt::WindowMinimizeButtonHint;
  setWindowFlags(flags);
  // A modal dialog with an owner blocks the owner, as on the platform; one
  // without an owner blocks nothing else.
  setWindowModality(view.modal && owner ? Qt::WindowModal : Qt::NonModal);
  setSizeGripEnabled(false);
  metrics_ = FitDialog(view);
  setFont(metrics_.font);
  setWindowTitle(Text(view.caption));
  setFixedSize(metrics_.X(view.cx), metrics_.Y(view.cy));
  Build(view);
  if (!layout || layout->centered) {
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
      QRect area = screen->availableGeometry();
      move(area.center() - QPoint(width() / 2, height() / 2));
    }
  }
}

void DialogWindow::Build(const DialogView& view) {
  std::vector<int> groups = GroupNumbers(view);
  for (std::size_t i = 0; i < view.controls.size(); ++i) {
    const ControlView& control = view.controls[i];
    ControlEntry entry;
    entry.id = control.id;
    entry.kind = control.kind;
    entry.group = groups[i];
    entry.tabStop = control.tabStop;
    QWidget* widget = nullptr;
    switch (control.kind) {
      case ControlKind::Label:
        widget = new TemplateLabel(this, metrics_.tabWidth);
        break;
      case ControlKind::GroupBox: {
        auto* box = new QGroupBox(this);
        box->setFocusPolicy(Qt::NoFocus);
        widget = box;
        break;
      }
      case ControlKind::Radio: {
        auto* radio = new TemplateRadio(this);
        int group = entry.group;
        if (static_cast<int>(groups_.size()) <= group) groups_.resize(static_cast<std::size_t>(group) + 1, nullptr);
        if (!groups_[static_cast<std::size_t>(group)]) groups_[static_cast<std::size_t>(group)] = new QButtonGroup(this);
        groups_[static_cast<std::size_t>(group)]->addButton(radio);
        int id = control.id;
        connect(radio, &QRadioButton::clicked, this, [this, id] { Click(id); });
        widget = radio;
        break;
      }
      case ControlKind::Button: {
        auto* button = new QPushButton(this);
        // Enter presses the focused push button, and the template's default
        // one when the focus is elsewhere, which is how the default look moves.
        button->setAutoDefault(true);
        button->setDefault(control.defaultButton);
        int id = control.id;
        connect(button, &QPushButton::clicked, this, [this, id] { Click(id); });
        widget = button;
        break;
      }
      case ControlKind::Progress: {
        auto* bar = new QProgressBar(this);
        bar->setTextVisible(false);
        bar->setFocusPolicy(Qt::NoFocus);
        widget = bar;
        break;
      }
      case ControlKind::ListView: {
        int id = control.id;
        ui::Window handle = handle_;
        widget = new ReportList(this, [this, id, handle](std::vector<int> rows) {
          Input input;
          input.kind = InputKind::Select;
          input.window = handle;
          input.id = id;
          input.rows = std::move(rows);
          sink_.Push(std::move(input));
        });
        break;
      }
    }
    widget->setObjectName(QStringLiteral("control-%1").arg(i));
    widget->setProperty("controlId", control.id);
    widget->setGeometry(metrics_.ToPixels(control.x, control.y, control.cx, control.cy));
    if (control.kind == ControlKind::Radio || control.kind == ControlKind::Button || control.kind == ControlKind::ListView)
      widget->setFocusPolicy(control.tabStop || control.kind != ControlKind::ListView ? Qt::StrongFocus : Qt::ClickFocus);
    entry.widget = widget;
    controls_.push_back(entry);
  }
  InputSink none;
  for (std::size_t i = 0; i < controls_.size(); ++i) SyncControl(controls_[i], view.controls[i], none);
  SyncRadioGroups(view);
}

void DialogWindow::Sync(const DialogView& view, bool takesInput, const InputSink& sink) {
  takesInput_ = takesInput;
  QString caption = Text(view.caption);
  if (windowTitle() != caption) setWindowTitle(caption);
  std::size_t count = std::min(view.controls.size(), controls_.size());
  for (std::size_t i = 0; i < count; ++i) SyncControl(controls_[i], view.controls[i], sink);
  SyncRadioGroups(view);
}

void DialogWindow::SyncControl(ControlEntry& entry, const ControlView& view, const InputSink& sink) {
  QWidget* widget = entry.widget;
  if (widget->isEnabled() != view.enabled) widget->setEnabled(view.enabled);
  if (widget->isHidden() == view.visible) widget->setVisible(view.visible);
  QString text = Text(view.text);
  switch (entry.kind) {
    case ControlKind::Label:
      static_cast<TemplateLabel*>(widget)->SetText(text);
      break;
    case ControlKind::GroupBox: {
      auto* box = static_cast<QGroupBox*>(widget);
      if (box->title() != text) box->setTitle(text);
      break;
    }
    case ControlKind::Radio:
    case ControlKind::Button: {
      auto* button = static_cast<QAbstractButton*>(widget);
      if (button->text() != text) button->setText(text);
      break;
    }
    case ControlKind::Progress: {
      auto* bar = static_cast<QProgressBar*>(widget);
      if (bar->minimum() != view.rangeMin || bar->maximum() != view.rangeMax) bar->setRange(view.rangeMin, view.rangeMax);
      if (bar->value() != view.pos) bar->setValue(view.pos);
      break;
    }
    case ControlKind::ListView:
      // A selection the person made and the core has not taken yet is
      // newer than the snapshot: it stays as it is until then.
      if (!sink.HasSelectFor(handle_, entry.id)) static_cast<ReportList*>(widget)->Sync(view);
      break;
  }
}

// The core may check any set of radio buttons; an exclusive group would
// refuse to show none or two checked, so it is opened for the moment.
void DialogWindow::SyncRadioGroups(const DialogView& view) {
  for (QButtonGroup* group : groups_) {
    if (!group) continue;
    group->setExclusive(false);
    for (std::size_t i = 0; i < controls_.size() && i < view.controls.size(); ++i) {
      auto* radio = qobject_cast<QRadioButton*>(controls_[i].widget);
      if (radio && group->buttons().contains(radio) && radio->isChecked() != view.controls[i].checked)
        radio->setChecked(view.controls[i].checked);
    }
    group->setExclusive(true);
  }
}

QWidget* DialogWindow::Control(int id) const {
  for (const ControlEntry& entry : controls_)
    if (entry.id == id) return entry.widget;
  return nullptr;
}

void DialogWindow::Click(int id) {
  Input input;
  input.kind = InputKind::Click;
  input.window = handle_;
  input.id = id;
  sink_.Push(std::move(input));
}

int DialogWindow::IndexOf(const QWidget* widget) const {
  for (std::size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i].widget == widget) return static_cast<int>(i);
  return -1;
}

// The controls Tab visits, in template order: each radio group once, at its
// checked button (or its first one that can take the focus).
std::vector<int> DialogWindow::TabStops() const {
  std::vector<int> stops;
  std::vector<int> groupsSeen;
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const ControlEntry& entry = controls_[i];
    if (!entry.tabStop || !Focusable(entry.widget)) continue;
    if (entry.kind != ControlKind::Radio) {
      stops.push_back(static_cast<int>(i));
      continue;
    }
    if (std::find(groupsSeen.begin(), groupsSeen.end(), entry.group) != groupsSeen.end()) continue;
    groupsSeen.push_back(entry.group);
    int chosen = static_cast<int>(i);
    for (std::size_t j = i; j < controls_.size(); ++j) {
      const ControlEntry& member = controls_[j];
      if (member.kind != ControlKind::Radio || member.group != entry.group || !Focusable(member.widget)) continue;
      if (static_cast<QRadioButton*>(member.widget)->isChecked()) {
        chosen = static_cast<int>(j);
        break;
      }
    }
    stops.push_back(chosen);
  }
  return stops;
}

void DialogWindow::FocusFirst() {
  std::vector<int> stops = TabStops();
  if (!stops.empty()) controls_[static_cast<std::size_t>(stops.front())].widget->setFocus(Qt::OtherFocusReason);
}

bool DialogWindow::focusNextPrevChild(bool next) {
  std::vector<int> stops = TabStops();
  if (stops.empty()) return false;
  int current = IndexOf(focusWidget());
  // Inside a radio group, Tab leaves the group from whichever member has the focus.
  int at = -1;
  for (std::size_t i = 0; i < stops.size(); ++i) {
    const ControlEntry& stop = controls_[static_cast<std::size_t>(stops[i])];
    if (stops[i] == current ||
        (current >= 0 && stop.kind == ControlKind::Radio && controls_[static_cast<std::size_t>(current)].kind == ControlKind::Radio &&
         controls_[static_cast<std::size_t>(current)].group == stop.group))
      at = static_cast<int>(i);
  }
  int count = static_cast<int>(stops.size());
  int target = at < 0 ? (next ? 0 : count - 1) : (at + (next ? 1 : count - 1)) % count;
  controls_[static_cast<std::size_t>(stops[static_cast<std::size_t>(target)])].widget->setFocus(
      next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  return true;
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
  Input input;
  input.window = handle_;
  if (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) {
    QDialog::keyPressEvent(event);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Escape:
      input.kind = InputKind::KeyEscape;
      sink_.Push(std::move(input));
      return;
    case Qt::Key_Enter:
    case Qt::Key_Return:
      // Reaches the dialog only when the focus is not on a push button,
      // which presses itself.
      input.kind = InputKind::KeyEnter;
      sink_.Push(std::move(input));
      return;
    case Qt::Key_Up:
    case Qt::Key_Left:
    case Qt::Key_Down:
    case Qt::Key_Right:
      // Arrow keys on a push button go to the neighbouring control.
      if (qobject_cast<QPushButton*>(focusWidget())) {
        focusNextPrevChild(event->key() == Qt::Key_Down || event->key() == Qt::Key_Right);
        return;
      }
      break;
    default:
      break;
  }
  QDialog::keyPressEvent(event);
}

void DialogWindow::closeEvent(QCloseEvent* event) {
  // The core decides whether the dialog ends; the window stays until then.
  event->ignore();
  if (!takesInput_) return;
  Input input;
  input.kind = InputKind::Close;
  input.window = handle_;
  sink_.Push(std::move(input));
}

}  // namespace desktop
