// Where the widgets leave what the person did, for the front end's wait to
// hand to the core. Widgets push from Qt's event handlers on the UI thread;
// a push ends the wait that is running.
#pragma once

#include "platform/posix/ui/frontend.h"

#include <QEventLoop>

#include <deque>

namespace desktop {

class InputSink {
 public:
  void Push(ui::frontend::Input input);
  bool Take(ui::frontend::Input& input);
  bool Empty() const { return pending_.empty(); }
  void Clear() { pending_.clear(); }
  // Whether a selection of that list is still to be handed over.
  bool HasSelectFor(ui::Window window, int id) const;
  // The loop that waits now (null when none): a push quits it.
  void SetWaitLoop(QEventLoop* loop) { loop_ = loop; }

 private:
  std::deque<ui::frontend::Input> pending_;
  QEventLoop* loop_ = nullptr;
};

}  // namespace desktop
