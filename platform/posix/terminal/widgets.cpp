#include "platform/posix/terminal/widgets.h"

#include "platform/posix/terminal/text_cells.h"

#include <algorithm>

namespace terminal {

Rect CloseBoxOf(Rect outer) { return Rect{outer.Right() - 4, outer.y, 3, 1}; }

Rect DrawWindow(Canvas& canvas, Rect outer, std::u32string_view caption, bool active) {
  canvas.Fill(outer, Style::Face);
  if (outer.w >= 2 && outer.h >= 2) {
    canvas.VLine(outer.x, outer.y + 1, outer.h - 2, Style::Face);
    canvas.VLine(outer.Right() - 1, outer.y + 1, outer.h - 2, Style::Face);
    canvas.HLine(outer.x + 1, outer.Bottom() - 1, outer.w - 2, Style::Face);
    canvas.Put(outer.x, outer.Bottom() - 1, kBottomLeft, Style::Face);
    canvas.Put(outer.Right() - 1, outer.Bottom() - 1, kBottomRight, Style::Face);
  }
  Style bar = active ? Style::Caption : Style::CaptionInactive;
  canvas.Fill(Rect{outer.x, outer.y, outer.w, 1}, bar);
  Rect close = CloseBoxOf(outer);
  canvas.Text(outer.x + 1, outer.y, ClipToWidth(caption, std::max(0, close.x - outer.x - 2)), bar);
  canvas.Text(close.x, close.y, U"[x]", bar);
  return Rect{outer.x + 1, outer.y + 1, std::max(0, outer.w - 2), std::max(0, outer.h - 2)};
}

void DrawButton(Canvas& canvas, Rect row, std::u32string_view text, bool isDefault, bool focused, bool enabled) {
  Style style = !enabled ? Style::Disabled : focused ? Style::Focus : isDefault ? Style::DefaultButton : Style::Button;
  canvas.Fill(Rect{row.x, row.y, row.w, 1}, style);
  std::u32string shown = ClipToWidth(text, std::max(0, row.w - 2));
  int start = row.x + (row.w - TextWidth(shown)) / 2;
  canvas.Text(start, row.y, shown, style);
  canvas.Put(row.x, row.y, isDefault ? U'<' : U'[', style);
  canvas.Put(row.Right() - 1, row.y, isDefault ? U'>' : U']', style);
}

}  // namespace terminal
