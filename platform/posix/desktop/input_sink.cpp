#include "platform/posix/desktop/input_sink.h"

namespace desktop {

using ui::frontend::InputKind;

void InputSink::Push(ui::frontend::Input input) {
  // Only the newest selection of a list matters: a drag over many rows is
  // handed over as the rows it ended on.
  if (input.kind == InputKind::Select && !pending_.empty()) {
    ui::frontend::Input& last = pending_.back();
    if (last.kind == InputKind::Select && last.window == input.window && last.id == input.id) {
      last = std::move(input);
      if (loop_) loop_->quit();
      return;
    }
  }
  pending_.push_back(std::move(input));
  if (loop_) loop_->quit();
}

bool InputSink::Take(ui::frontend::Input& input) {
  if (pending_.empty()) return false;
  input = std::move(pending_.front());
  pending_.pop_front();
  return true;
}

bool InputSink::HasSelectFor(ui::Window window, int id) const {
  for (const auto& input : pending_)
    if (input.kind == InputKind::Select && input.window == window && input.id == id) return true;
  return false;
}

}  // namespace desktop
