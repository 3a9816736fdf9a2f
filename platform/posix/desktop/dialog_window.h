// One dialog of the core as a real window: its controls built from the
// dialog's template at the dialog font's scale, and brought up to date with
// each snapshot. What the person does comes back as the core's input:
// clicks, list selections, Enter, Escape and the close box. The window
// never changes the program's state itself; it only shows it.
#pragma once

#include "platform/posix/desktop/dialog_metrics.h"
#include "platform/posix/desktop/input_sink.h"
#include "platform/posix/ui/frontend.h"

#include <QButtonGroup>
#include <QDialog>

#include <string>
#include <vector>

namespace desktop {

class ReportList;

class DialogWindow : public QDialog {
 public:
  DialogWindow(const ui::frontend::DialogView& view, InputSink& sink, QWidget* owner);

  ui::Window Handle() const { return handle_; }
  const std::string& Name() const { return name_; }
  const DialogMetrics& Metrics() const { return metrics_; }

  // Shows the dialog's state; `takesInput` is false while the core would
  // refuse what the person does in it (a box or another dialog in front).
  void Sync(const ui::frontend::DialogView& view, bool takesInput, const InputSink& sink);
  bool TakesInput() const { return takesInput_; }

  // The widget of control `id` (the first with that id), or null.
  QWidget* Control(int id) const;
  // The focus a dialog starts with: its first tab stop.
  void FocusFirst();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  // Only the core ends a dialog: Qt's own ways (Escape, Enter on the
  // default button) are turned into input instead.
  void done(int) override {}

 private:
  struct ControlEntry {
    int id = -1;
    ui::ControlKind kind = ui::ControlKind::Label;
    int group = 0;  // radio buttons of one template group share it
    bool tabStop = false;
    QWidget* widget = nullptr;
  };

  void Build(const ui::frontend::DialogView& view);
  void SyncControl(ControlEntry& entry, const ui::frontend::ControlView& view, const InputSink& sink);
  void SyncRadioGroups(const ui::frontend::DialogView& view);
  std::vector<int> TabStops() const;
  int IndexOf(const QWidget* widget) const;
  void Click(int id);

  InputSink& sink_;
  ui::Window handle_;
  std::string name_;
  DialogMetrics metrics_;
  std::vector<ControlEntry> controls_;
  std::vector<QButtonGroup*> groups_;  // by group number
  bool takesInput_ = true;
};

}  // namespace desktop
