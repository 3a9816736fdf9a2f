#include "platform/posix/desktop/tray_icon.h"

#include <QGuiApplication>
#include <QScreen>

namespace desktop {
namespace {

void Push(InputSink& sink, ui::frontend::InputKind kind) {
  ui::frontend::Input input;
  input.kind = kind;
  sink.Push(std::move(input));
}

}  // namespace

TrayIcon::TrayIcon(InputSink& sink, const QIcon& icon, const QString& title, const QString& message) : sink_(sink) {
  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    tray_ = std::make_unique<QSystemTrayIcon>(icon);
    QObject::connect(tray_.get(), &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
      if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        Push(sink_, ui::frontend::InputKind::TrayClick);
    });
    QObject::connect(tray_.get(), &QSystemTrayIcon::messageClicked,
                     [this] { Push(sink_, ui::frontend::InputKind::BalloonClick); });
    tray_->show();
    if (QSystemTrayIcon::supportsMessages() && !title.isEmpty()) tray_->showMessage(title, message, icon, 10000);
    return;
  }
  fallback_ = std::make_unique<QToolButton>();
  fallback_->setObjectName(QStringLiteral("trayfallback"));
  fallback_->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                            Qt::WindowDoesNotAcceptFocus);
  fallback_->setAttribute(Qt::WA_ShowWithoutActivating);
  fallback_->setIcon(icon);
  fallback_->setIconSize(QSize(32, 32));
  fallback_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  fallback_->setAutoRaise(true);
  fallback_->resize(40, 40);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    fallback_->move(area.right() - 48, area.bottom() - 48);
  }
  QObject::connect(fallback_.get(), &QToolButton::clicked, [this] { Push(sink_, ui::frontend::InputKind::TrayClick); });
  fallback_->show();
}

TrayIcon::~TrayIcon() {
  if (tray_) tray_->hide();
  if (fallback_) fallback_->hide();
}

}  // namespace desktop
