#include "platform/posix/desktop/message_box_window.h"

#include "platform/posix/desktop/dialog_metrics.h"
#include "platform/posix/desktop/template_label.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace desktop {
namespace {

using ui::frontend::IconKind;
using ui::frontend::Input;
using ui::frontend::InputKind;

QString Label(int id) {
  switch (id) {
    case ui::IDOK: return QStringLiteral("OK");
    case ui::IDCANCEL: return QStringLiteral("Cancel");
    case ui::IDYES: return QStringLiteral("&Yes");
    case ui::IDNO: return QStringLiteral("&No");
    default: return QStringLiteral("?");
  }
}

QStyle::StandardPixmap PixmapOf(IconKind icon) {
  switch (icon) {
    case IconKind::Information: return QStyle::SP_MessageBoxInformation;
    case IconKind::Question: return QStyle::SP_MessageBoxQuestion;
    case IconKind::Warning: return QStyle::SP_MessageBoxWarning;
    case IconKind::Error: return QStyle::SP_MessageBoxCritical;
    case IconKind::None: break;
  }
  return QStyle::SP_CustomBase;
}

}  // namespace

MessageBoxWindow::MessageBoxWindow(const ui::frontend::MessageBoxView& view, InputSink& sink, const QFont& font,
                                   QWidget* owner)
    : QDialog(owner), sink_(sink), serial_(view.serial), ids_(view.buttonIds), timeoutMs_(view.timeoutMs),
      deadline_(view.deadline) {
  setObjectName(QStringLiteral("msgbox"));
  if (ids_.empty()) ids_ = {ui::IDOK};
  defaultIndex_ = std::clamp(view.defaultButton - 1, 0, static_cast<int>(ids_.size()) - 1);
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
  // The close box stands for Escape, so it is there only when Escape answers.
  if (Escapable()) flags |= Qt::WindowCloseButtonHint;
  setWindowFlags(flags);
  setWindowModality(owner ? Qt::WindowModal : Qt::NonModal);
  setFont(font);
  setWindowTitle(QString::fromStdU16String(view.caption));

  // The platform's boxes are laid out in dialog units of their font: a
  // margin of about 7 units around, buttons of 50 by 14.
  const DialogMetrics units = MetricsOf(font);
  auto* column = new QVBoxLayout(this);
  column->setSizeConstraint(QLayout::SetFixedSize);
  column->setContentsMargins(units.X(7), units.Y(8), units.X(7), units.Y(6));
  column->setSpacing(units.Y(10));
  auto* top = new QHBoxLayout;
  top->setSpacing(units.X(7));
  if (view.icon != IconKind::None) {
    auto* icon = new QLabel(this);
    int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(PixmapOf(view.icon), nullptr, this).pixmap(size, size));
    icon->setAlignment(Qt::AlignTop);
    icon->setObjectName(QStringLiteral("icon"));
    top->addWidget(icon, 0, Qt::AlignTop);
  }
  auto* text = new QLabel(this);
  text->setObjectName(QStringLiteral("text"));
  text->setTextFormat(Qt::PlainText);
  text->setText(WithLineSeparators(QString::fromStdU16String(view.text)).replace(QChar::LineSeparator, u'\n'));
  text->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // Long texts wrap at about half the screen's width, as the platform's boxes do.
  int widest = 0;
  for (const QString& line : text->text().split(u'\n')) widest = std::max(widest, QFontMetrics(font).horizontalAdvance(line));
  QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
  int limit = screen ? screen->availableGeometry().width() / 2 : 600;
  if (widest > limit) {
    text->setWordWrap(true);
    text->setFixedWidth(limit);
  }
  top->addWidget(text, 1);
  column->addLayout(top);

  if (timeoutMs_ > 0) {
    countdown_ = new QLabel(this);
    countdown_->setObjectName(QStringLiteral("countdown"));
    countdown_->setAlignment(Qt::AlignCenter);
    column->addWidget(countdown_);
    Tick();
    connect(&ticker_, &QTimer::timeout, this, [this] { Tick(); });
    ticker_.start(250);
  }

  auto* row = new QHBoxLayout;
  row->setSpacing(units.X(4));
  row->addStretch(1);
  for (std::size_t i = 0; i < ids_.size(); ++i) {
    auto* button = new QPushButton(Label(ids_[i]), this);
    button->setAutoDefault(true);
    button->setDefault(static_cast<int>(i) == defaultIndex_);
    button->setProperty("answerId", ids_[i]);
    button->setMinimumSize(units.X(50), units.Y(14));
    int id = ids_[i];
    bool isDefault = static_cast<int>(i) == defaultIndex_;
    connect(button, &QPushButton::clicked, this, [this, id, isDefault] { Answer(id, isDefault); });
    buttons_.push_back(button);
    row->addWidget(button);
  }
  row->addStretch(1);
  column->addLayout(row);
  buttons_[static_cast<std::size_t>(defaultIndex_)]->setFocus(Qt::OtherFocusReason);
  // As on the platform, a box is wide enough for its whole caption beside
  // the title bar's buttons, however short its text.
  QFont titleFont = font;
  titleFont.setBold(true);
  int captionRoom = QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + units.X(100);
  int short_ = captionRoom - column->sizeHint().width();
  if (short_ > 0 && !text->wordWrap()) text->setMinimumWidth(text->sizeHint().width() + short_);
  adjustSize();
  QRect over = owner ? owner->frameGeometry() : (screen ? screen->availableGeometry() : QRect());
  if (over.isValid()) move(over.center() - QPoint(width() / 2, height() / 2));
}

QPushButton* MessageBoxWindow::Button(int id) const {
  for (std::size_t i = 0; i < ids_.size(); ++i)
    if (ids_[i] == id) return buttons_[i];
  return nullptr;
}

QString MessageBoxWindow::Countdown() const { return countdown_ ? countdown_->text() : QString(); }

void MessageBoxWindow::Tick() {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - std::chrono::steady_clock::now()).count();
  long long seconds = left <= 0 ? 0 : (left + 999) / 1000;
  countdown_->setText(QStringLiteral("closes in %1 s").arg(seconds));
}

bool MessageBoxWindow::Escapable() const {
  return std::find(ids_.begin(), ids_.end(), ui::IDCANCEL) != ids_.end() || ids_ == std::vector<int>{ui::IDOK};
}

void MessageBoxWindow::Answer(int id, bool isDefault) {
  if (!takesInput_) return;
  Input input;
  if (isDefault) {
    input.kind = InputKind::AnswerDefault;
  } else {
    input.kind = InputKind::Answer;
    input.id = id;
  }
  sink_.Push(std::move(input));
}

void MessageBoxWindow::Escape() {
  if (!takesInput_) return;
  if (!Escapable()) {
    QApplication::beep();
    return;
  }
  Input input;
  input.kind = InputKind::AnswerEscape;
  sink_.Push(std::move(input));
}

void MessageBoxWindow::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) {
    QDialog::keyPressEvent(event);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Escape:
      Escape();
      return;
    case Qt::Key_Enter:
    case Qt::Key_Return:
      // The focused button presses itself; this is Enter elsewhere.
      buttons_[static_cast<std::size_t>(defaultIndex_)]->click();
      return;
    case Qt::Key_Y:
    case Qt::Key_N:
      // The platform's boxes take a button's mnemonic without Alt.
      if (QPushButton* button = Button(event->key() == Qt::Key_Y ? ui::IDYES : ui::IDNO)) {
        button->click();
        return;
      }
      break;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
      focusNextPrevChild(event->key() == Qt::Key_Right || event->key() == Qt::Key_Down);
      return;
    default:
      break;
  }
  QDialog::keyPressEvent(event);
}

void MessageBoxWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  Escape();
}

}  // namespace desktop
