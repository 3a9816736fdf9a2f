// The open and save file dialogs, as Qt's own file dialog opened without a
// loop of its own, so that the core's loop (and with it every result the
// workers post) keeps running while it is up. Its answer goes to the core,
// which checks it (the file must exist, replacing asks first) and ends the
// dialog; until then the window stays, so a refused answer can be mended.
#pragma once

#include "platform/posix/desktop/input_sink.h"
#include "platform/posix/ui/frontend.h"

#include <QFileDialog>

namespace desktop {

class FileDialogWindow : public QFileDialog {
 public:
  FileDialogWindow(const ui::frontend::FileDialogView& view, InputSink& sink, QWidget* owner);

  int Serial() const { return serial_; }
  void SetTakesInput(bool takesInput) { takesInput_ = takesInput; }
  bool TakesInput() const { return takesInput_; }

 protected:
  // Qt's own checks would show their warnings in loops of their own; the
  // core makes them instead (it refuses a missing file, asks before
  // replacing one), so only a folder typed in is opened here.
  void accept() override;
  void done(int result) override;

 private:
  InputSink& sink_;
  int serial_ = 0;
  bool takesInput_ = true;
  QString chosen_;
};

// The name filters for Qt from a filter list "name\0pattern;pattern\0...",
// each pattern matching without regard to case, as the platform's do.
QStringList NameFilters(const std::u16string& filter);

}  // namespace desktop
