// Where a dialog's controls land on the terminal. One dialog unit is a
// quarter of a column across and an eighth of a row down, so a template is
// drawn to scale; when the terminal is smaller, columns and rows that carry
// no text and no vertical (or horizontal) edge are dropped, widest gaps
// first, so everything that can be read stays whole.
#pragma once

#include "platform/posix/terminal/canvas.h"
#include "platform/posix/ui/frontend.h"

#include <string>
#include <vector>

namespace terminal {

struct ControlLayout {
  int index = -1;  // into DialogView::controls
  Rect rect;       // cells, relative to the client area
  int row = 0;     // the one row a radio button, push button or progress bar is drawn on
  std::vector<std::u32string> lines;  // labels: the text as laid out
};

struct DialogLayout {
  int clientWidth = 0, clientHeight = 0;
  std::vector<ControlLayout> controls;  // visible controls only, in template order
  int OuterWidth() const { return clientWidth + 2; }
  int OuterHeight() const { return clientHeight + 2; }
  const ControlLayout* Find(int index) const;
};

// Dialog units to cells, rounded to the nearest.
int ColumnOf(int x);
int RowOf(int y);

// The layout at full scale, squeezed where needed so that the dialog with
// its frame fits in maxWidth x maxHeight cells (if it can).
DialogLayout LayoutDialog(const ui::frontend::DialogView& dialog, int maxWidth, int maxHeight);

// Which of `count` positions to keep so that `excess` of them go, never a
// solid one, taking from the longest runs of removable positions first and
// leaving one of each run while that is enough (always, with keepOnePerRun).
std::vector<bool> SqueezeKeep(const std::vector<bool>& solid, int excess, bool keepOnePerRun = false);

// Text helpers shared with the drawing code.
inline constexpr int kRadioMarkWidth = 4;  // "(*) "
int ButtonMinWidth(const ui::frontend::ControlView& control);

}  // namespace terminal
