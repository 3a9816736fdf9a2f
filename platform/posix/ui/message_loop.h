// The one message loop behind every modal dialog, message box, file dialog
// and GetMessage: it serves messages sent from other threads first, then
// posted ones, and otherwise lets the front end draw and wait for input.
#pragma once

#include "platform/posix/ui/frontend.h"
#include "platform/ui.h"

#include <chrono>
#include <functional>
#include <optional>

namespace ui::core {

enum class FrameKind { Nothing, Dialog, MessageBox, FileDialog };

// One running loop; loops nest, and the innermost one is what waits for input.
struct Frame {
  FrameKind kind = FrameKind::Nothing;
  int serial = 0;  // filled in by RunLoop
  Window dialog = nullptr;
  const frontend::MessageBoxView* box = nullptr;
  const frontend::FileDialogView* file = nullptr;
};

struct LoopHooks {
  std::function<bool()> done;                         // checked before every round
  std::function<bool(const Msg&)> posted;             // a posted message; true ends the loop
  std::function<void(const frontend::Input&)> input;  // answers for a box or file dialog
  std::optional<std::chrono::steady_clock::time_point> deadline;
  std::function<void()> onDeadline;                   // must make done() true
};

void RunLoop(Frame frame, LoopHooks& hooks);

// The modal loops' handling of a posted message: dispatched, except WM_QUIT,
// which is left for the outer loop (the return value then says "end now").
bool DispatchInModalLoop(const Msg& msg);

// What the front end is shown now (built on the UI thread).
frontend::Screen BuildScreen();
// Draws at once if anything changed (UpdateWindow).
void RenderNow();

}  // namespace ui::core
