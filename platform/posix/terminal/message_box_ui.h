// A message box on the terminal: centred over its owner, the icon as a
// symbol, the text with its line breaks and tabs, the buttons with the
// default one focused, and for a timed box the seconds it has left.
#pragma once

#include "platform/posix/terminal/canvas.h"
#include "platform/posix/terminal/keys.h"
#include "platform/posix/ui/frontend.h"

#include <chrono>
#include <optional>
#include <vector>

namespace terminal {

class MessageBoxUi {
 public:
  // `over`: the owner's rectangle on screen (or the whole screen).
  void Draw(Canvas& canvas, const ui::frontend::MessageBoxView& box, Rect over, Rect screen,
            std::chrono::steady_clock::time_point now, bool active);
  std::optional<ui::frontend::Input> OnKey(const ui::frontend::MessageBoxView& box, const Key& key);
  std::optional<ui::frontend::Input> OnMouse(const ui::frontend::MessageBoxView& box, const Mouse& mouse);

 private:
  void Sync(const ui::frontend::MessageBoxView& box);

  int serial_ = -1;
  int focus_ = 0;
  Rect outer_;
  std::vector<Rect> buttons_;
};

// The ids of the box's buttons, left to right.
std::vector<int> ButtonIdsOf(const ui::frontend::MessageBoxView& box);
std::u32string ButtonLabel(int id);
std::u32string IconSymbol(ui::frontend::IconKind icon);
// Whole seconds left before a timed box answers by itself, rounded up.
int SecondsLeft(const ui::frontend::MessageBoxView& box, std::chrono::steady_clock::time_point now);

}  // namespace terminal
