// A message box of the core as a window: caption, icon, text, the buttons
// in the platform's order with the default one, Y and N for Yes and No,
// Escape and the close box where the box has a Cancel (or only OK). A timed
// box counts down its remaining time; the core answers it when time is up.
#pragma once

#include "platform/posix/desktop/input_sink.h"
#include "platform/posix/ui/frontend.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <vector>

namespace desktop {

class MessageBoxWindow : public QDialog {
 public:
  MessageBoxWindow(const ui::frontend::MessageBoxView& view, InputSink& sink, const QFont& font, QWidget* owner);

  int Serial() const { return serial_; }
  void SetTakesInput(bool takesInput) { takesInput_ = takesInput; }
  bool TakesInput() const { return takesInput_; }
  // The button that answers `id`, or null.
  QPushButton* Button(int id) const;
  QString Countdown() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void done(int) override {}

 private:
  void Answer(int id, bool isDefault);
  void Escape();
  bool Escapable() const;
  void Tick();

  InputSink& sink_;
  int serial_ = 0;
  std::vector<int> ids_;
  std::vector<QPushButton*> buttons_;
  int defaultIndex_ = 0;
  std::uint32_t timeoutMs_ = 0;
  std::chrono::steady_clock::time_point deadline_;
  QLabel* countdown_ = nullptr;
  QTimer ticker_;
  bool takesInput_ = true;
};

}  // namespace desktop
