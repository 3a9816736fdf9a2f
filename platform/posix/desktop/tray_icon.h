// The notification-area icon: the desktop's own (a status notifier or the
// system tray) with a balloon naming the window it stands for, or, where the
// desktop has none, a small button of its own in the corner of the screen.
// A click on either, or on the balloon, goes to the program as the
// platform's icon would send it.
#pragma once

#include "platform/posix/desktop/input_sink.h"

#include <QIcon>
#include <QSystemTrayIcon>
#include <QToolButton>

#include <memory>

namespace desktop {

class TrayIcon {
 public:
  TrayIcon(InputSink& sink, const QIcon& icon, const QString& title, const QString& message);
  ~TrayIcon();

  bool InTray() const { return tray_ != nullptr; }
  // The stand-in button when the desktop has no tray (for tests), else null.
  QToolButton* Fallback() const { return fallback_.get(); }

 private:
  InputSink& sink_;
  std::unique_ptr<QSystemTrayIcon> tray_;
  std::unique_ptr<QToolButton> fallback_;
};

}  // namespace desktop
