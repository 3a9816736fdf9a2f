// The core's screen as Qt windows. Render brings the windows up to date
// with the snapshot; WaitForInput runs Qt's event loop until a widget has
// something for the core, Wake is called or the time is up. Qt paints
// inside that loop, so a burst of changes costs one paint.
#include "platform/posix/desktop/desktop_front_end.h"

#include "platform/posix/desktop/app_icon.h"
#include "platform/posix/desktop/dialog_metrics.h"
#include "platform/posix/desktop/dialog_window.h"
#include "platform/posix/desktop/file_dialog_window.h"
#include "platform/posix/desktop/input_sink.h"
#include "platform/posix/desktop/message_box_window.h"
#include "platform/posix/desktop/qt_start.h"
#include "platform/posix/desktop/tray_icon.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <map>
#include <optional>
#include <tuple>

namespace desktop {
namespace {

using ui::frontend::DialogView;
using ui::frontend::Input;
using ui::frontend::Screen;
using ui::frontend::WaitingKind;

class DesktopFrontEnd;
DesktopFrontEnd* running = nullptr;

// What the core would accept input for, so that a window it would refuse
// does not change on its own (a radio button checked that the core never
// hears of).
bool DialogTakesInput(const DialogView& dialog, const Screen& screen) {
  if (!dialog.visible || !dialog.enabled) return false;
  switch (screen.waiting) {
    case WaitingKind::Dialog: return dialog.handle == screen.waitingDialog || !dialog.modal;
    case WaitingKind::Nothing: return true;
    default: return false;
  }
}

class DesktopFrontEnd final : public ui::frontend::FrontEnd, public QObject {
 public:
  DesktopFrontEnd() {
    running = this;
    qApp->installEventFilter(this);
  }
  ~DesktopFrontEnd() override {
    qApp->removeEventFilter(this);
    Stop();
    if (running == this) running = nullptr;
  }

  std::string Name() const override { return "desktop"; }

  void Render(const Screen& screen) override {
    if (stopped_) return;
    // Before the window that waits now is shown, so that nothing typed
    // after it appears is lost.
    DropEarlierInput(screen);
    // A box may stand over the file dialog, so the file dialog comes first:
    // a box made over one that is about to go would go with it.
    SyncDialogs(screen);
    SyncFileDialog(screen);
    SyncBox(screen);
    SyncTray(screen);
    BringForward(screen);
    // Qt paints when its loop runs; a stream of changes that never lets the
    // core wait would otherwise leave the windows as they were.
    if (!sincePaint_.isValid() || sincePaint_.elapsed() >= 16) {
      sincePaint_.start();
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
  }

  Input WaitForInput(const Screen& screen, std::optional<std::chrono::milliseconds> timeout) override {
    Input input;
    if (stopped_) return input;
    DropEarlierInput(screen);
    if (sink_.Take(input)) return input;
    QEventLoop loop;
    waitLoop_ = &loop;
    sink_.SetWaitLoop(&loop);
    if (!woken_.exchange(false)) {
      QTimer timer;
      if (timeout) {
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(static_cast<int>(std::min<long long>(timeout->count(), 1 << 30)));
      }
      waiting_ = true;
      if (!timeout || timeout->count() > 0) loop.exec();
      waiting_ = false;
    }
    waitLoop_ = nullptr;
    sink_.SetWaitLoop(nullptr);
    sincePaint_.start();
    woken_.store(false);
    sink_.Take(input);
    return input;
  }

  void Wake() override {
    woken_.store(true);
    if (wakePosted_.exchange(true)) return;
    // Posted to this object, so a wake that arrives after it is gone is dropped.
    QMetaObject::invokeMethod(
        this,
        [this] {
          wakePosted_.store(false);
          if (waitLoop_) waitLoop_->quit();
        },
        Qt::QueuedConnection);
  }

  void Stop() override {
    if (stopped_) return;
    stopped_ = true;
    // Only Qt's own thread may touch the windows; on any other way out the
    // display drops them with the connection.
    if (QThread::currentThread() != qApp->thread()) return;
    tray_.reset();
    Drop(box_);
    Drop(file_);
    for (auto& [handle, window] : windows_) Drop(window);
    windows_.clear();
  }

  void Rejected(const Input&, const std::string&) override {
    QApplication::beep();
    // The window may already show what the core refused: show the core's state again.
    if (!stopped_) Render(ui::frontend::CurrentScreen());
  }

  QWidget* WindowFor(ui::Window dialog) const {
    auto it = windows_.find(dialog);
    return it == windows_.end() ? nullptr : it->second.data();
  }
  bool Waiting() const { return waiting_; }
  QWidget* Box() const { return box_.data(); }
  QWidget* File() const { return file_.data(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::Wheel:
      case QEvent::Shortcut:
      case QEvent::ShortcutOverride:
        if (dropping_) return true;
        break;
      case QEvent::MouseButtonRelease:
      case QEvent::KeyRelease:
        break;
      default:
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    QWidget* top = widget->window();
    bool takes = true;
    if (auto* dialog = dynamic_cast<DialogWindow*>(top)) takes = dialog->TakesInput();
    else if (auto* box = dynamic_cast<MessageBoxWindow*>(top)) takes = box->TakesInput();
    else if (auto* file = dynamic_cast<FileDialogWindow*>(top)) takes = file->TakesInput();
    if (takes) return false;
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress) QApplication::beep();
    return true;
  }

 private:
  // Windows whose dialog is gone are hidden at once, but deleted only by
  // Qt's loop, which may be inside one of their event handlers. A window
  // with an owner is deleted with its owner too, which clears the pointer.
  template <typename T>
  static void Drop(QPointer<T>& window) {
    if (!window) return;
    window->hide();
    window->deleteLater();
    window = nullptr;
  }

  // What waits for input, as far as telling one from the next goes.
  static std::tuple<int, ui::Window, int, int> WaitingOne(const Screen& screen) {
    return {static_cast<int>(screen.waiting), screen.waitingDialog,
            screen.messageBox ? screen.messageBox->serial : 0, screen.fileDialog ? screen.fileDialog->serial : 0};
  }

  // Keys and clicks that came while the core was busy (an Enter typed
  // twice as one window closed, a click that did not wait for the next)
  // were meant for what was shown then: a window that comes to wait (new,
  // or current again) takes only what comes after it. A round trip to the
  // display brings in all it has sent so far; presses among it are dropped
  // (releases pass, they do nothing on their own), and so is what the
  // widgets took and the core did not. Once for each window that waits.
  void DropEarlierInput(const Screen& screen) {
    if (!screen.waitingChanged || (droppedFor_ && *droppedFor_ == WaitingOne(screen))) return;
    droppedFor_ = WaitingOne(screen);
    dropping_ = true;
    QGuiApplication::sync();
    dropping_ = false;
    sink_.Clear();
  }

  QWidget* OwnerNamed(const std::string& name, const Screen& screen) const {
    if (name.empty()) return nullptr;
    for (const DialogView& dialog : screen.dialogs)
      if (dialog.name == name) return WindowFor(dialog.handle);
    return nullptr;
  }

  void SyncDialogs(const Screen& screen) {
    for (auto it = windows_.begin(); it != windows_.end();) {
      bool shown = false;
      for (const DialogView& dialog : screen.dialogs) shown |= dialog.handle == it->first;
      if (shown) {
        ++it;
      } else {
        Drop(it->second);
        it = windows_.erase(it);
      }
    }
    for (const DialogView& dialog : screen.dialogs) {
      QPointer<DialogWindow>& window = windows_[dialog.handle];
      bool created = false;
      if (!window) {
        window = new DialogWindow(dialog, sink_, OwnerNamed(dialog.ownerName, screen));
        created = true;
      }
      window->Sync(dialog, DialogTakesInput(dialog, screen), sink_);
      if (created) {
        window->show();
        window->FocusFirst();
      }
    }
  }

  // The window a box stands over: its owner's, or the file dialog that is
  // up for a box that has no owner (the question before a file is replaced).
  QWidget* BoxParent(const Screen& screen) const {
    if (QWidget* owner = OwnerNamed(screen.messageBox->ownerName, screen)) return owner;
    return screen.fileDialog ? file_.data() : nullptr;
  }

  void SyncBox(const Screen& screen) {
    if (!screen.messageBox) {
      Drop(box_);
      return;
    }
    QWidget* parent = BoxParent(screen);
    // A box whose window went away (it goes with it) is made again over
    // the window it stands over now.
    if (!box_ || box_->Serial() != screen.messageBox->serial || box_->parentWidget() != parent) {
      Drop(box_);
      QFont font = DialogFont(u"Tahoma", 8);
      box_ = new MessageBoxWindow(*screen.messageBox, sink_, font, parent);
      box_->show();
    }
    box_->SetTakesInput(screen.waiting == WaitingKind::MessageBox);
  }

  void SyncFileDialog(const Screen& screen) {
    if (!screen.fileDialog) {
      Drop(file_);
      return;
    }
    if (!file_ || file_->Serial() != screen.fileDialog->serial) {
      Drop(file_);
      file_ = new FileDialogWindow(*screen.fileDialog, sink_, nullptr);
      file_->setFont(DialogFont(u"Tahoma", 8));
      file_->show();
    }
    file_->SetTakesInput(screen.waiting == WaitingKind::FileDialog);
  }

  void SyncTray(const Screen& screen) {
    if (!screen.trayIcon) {
      tray_.reset();
      return;
    }
    if (tray_) return;
    // The balloon names the window the icon stands for.
    QString title, message;
    for (const DialogView& dialog : screen.dialogs) {
      if (dialog.handle != screen.trayIcon->window) continue;
      title = QString::fromStdU16String(dialog.caption);
      for (const auto& control : dialog.controls)
        if (control.kind == ui::ControlKind::GroupBox && message.isEmpty())
          message = QString::fromStdU16String(control.text);
    }
    tray_ = std::make_unique<TrayIcon>(sink_, AppIcon(), title, message);
  }

  // The element that waits for input comes to the front with the focus,
  // as the platform brings a new dialog or box to the foreground.
  void BringForward(const Screen& screen) {
    QWidget* target = nullptr;
    switch (screen.waiting) {
      case WaitingKind::Dialog: target = WindowFor(screen.waitingDialog); break;
      case WaitingKind::MessageBox: target = box_.data(); break;
      case WaitingKind::FileDialog: target = file_.data(); break;
      case WaitingKind::Nothing: break;
    }
    if (!target || target == forward_) return;
    forward_ = target;
    if (QGuiApplication::platformName() != QStringLiteral("offscreen")) target->raise();
    target->activateWindow();
  }

  InputSink sink_;
  std::map<ui::Window, QPointer<DialogWindow>> windows_;
  QPointer<MessageBoxWindow> box_;
  QPointer<FileDialogWindow> file_;
  std::unique_ptr<TrayIcon> tray_;
  QPointer<QWidget> forward_;
  QEventLoop* waitLoop_ = nullptr;
  std::atomic<bool> woken_{false};
  std::atomic<bool> wakePosted_{false};
  QElapsedTimer sincePaint_;
  bool stopped_ = false;
  bool waiting_ = false;   // inside the wait for the person's input
  bool dropping_ = false;  // input from before the waiting window is being dropped
  std::optional<std::tuple<int, ui::Window, int, int>> droppedFor_;
};

}  // namespace

std::unique_ptr<ui::frontend::FrontEnd> MakeDesktopFrontEnd(std::string& whyNot) {
  if (!StartQt(whyNot)) return nullptr;
  return std::make_unique<DesktopFrontEnd>();
}

QWidget* WindowOf(ui::Window dialog) { return running ? running->WindowFor(dialog) : nullptr; }
bool WaitsForInput() { return running && running->Waiting(); }
QWidget* MessageBoxWindowShown() { return running ? running->Box() : nullptr; }
QWidget* FileDialogWindowShown() { return running ? running->File() : nullptr; }

}  // namespace desktop

extern "C" void linnet_desktop_front_end_linked() {}

namespace {
// Registered before main runs, so that StartFrontEnd finds it.
struct Registration {
  Registration() { ui::frontend::RegisterDesktopFrontEnd(&desktop::MakeDesktopFrontEnd); }
} registration;
}  // namespace
