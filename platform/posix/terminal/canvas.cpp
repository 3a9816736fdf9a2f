#include "platform/posix/terminal/canvas.h"

#include "platform/posix/terminal/text_cells.h"

#include <algorithm>

namespace terminal {

Canvas::Canvas(int width, int height, Style fill)
    : width_(std::max(0, width)), height_(std::max(0, height)),
      cells_(static_cast<std::size_t>(width_ * height_), Cell{U' ', fill, false}),
      clip_{0, 0, width_, height_} {}

void Canvas::SetClip(Rect clip) {
  int x0 = std::max(0, clip.x), y0 = std::max(0, clip.y);
  int x1 = std::min(width_, clip.Right()), y1 = std::min(height_, clip.Bottom());
  clip_ = Rect{x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

void Canvas::ClearClip() { clip_ = Rect{0, 0, width_, height_}; }

bool Canvas::Visible(int x, int y) const { return clip_.Contains(x, y); }

void Canvas::Put(int x, int y, char32_t ch, Style style) {
  if (!Visible(x, y)) return;
  int width = GlyphWidth(ch);
  if (width == 0) return;  // combining marks are not drawn on their own
  // Overwriting half of a wide glyph leaves the other half blank.
  Cell& cell = Mut(x, y);
  if (cell.wideTail && x > 0) Mut(x - 1, y).ch = U' ';
  if (!cell.wideTail && x + 1 < width_ && Mut(x + 1, y).wideTail) {
    Mut(x + 1, y).wideTail = false;
    Mut(x + 1, y).ch = U' ';
  }
  if (width == 2 && !Visible(x + 1, y)) ch = U' ', width = 1;
  cell = Cell{ch, style, false};
  if (width == 2) {
    Cell& tail = Mut(x + 1, y);
    if (x + 2 < width_ && Mut(x + 2, y).wideTail) {
      Mut(x + 2, y).wideTail = false;
      Mut(x + 2, y).ch = U' ';
    }
    tail = Cell{U' ', style, true};
  }
}

int Canvas::Text(int x, int y, std::u32string_view text, Style style) {
  for (char32_t ch : text) {
    int width = GlyphWidth(ch);
    if (width == 0) continue;
    Put(x, y, ch, style);
    x += width;
  }
  return x;
}

void Canvas::Fill(Rect rect, Style style, char32_t ch) {
  for (int y = rect.y; y < rect.Bottom(); ++y)
    for (int x = rect.x; x < rect.Right(); ++x) Put(x, y, ch, style);
}

void Canvas::SetStyle(Rect rect, Style style) {
  for (int y = rect.y; y < rect.Bottom(); ++y)
    for (int x = rect.x; x < rect.Right(); ++x)
      if (Visible(x, y)) Mut(x, y).style = style;
}

void Canvas::HLine(int x, int y, int length, Style style) {
  for (int i = 0; i < length; ++i) Put(x + i, y, kHLine, style);
}

void Canvas::VLine(int x, int y, int length, Style style) {
  for (int i = 0; i < length; ++i) Put(x, y + i, kVLine, style);
}

void Canvas::Frame(Rect rect, Style style) {
  if (rect.w < 2 || rect.h < 2) return;
  HLine(rect.x + 1, rect.y, rect.w - 2, style);
  HLine(rect.x + 1, rect.Bottom() - 1, rect.w - 2, style);
  VLine(rect.x, rect.y + 1, rect.h - 2, style);
  VLine(rect.Right() - 1, rect.y + 1, rect.h - 2, style);
  Put(rect.x, rect.y, kTopLeft, style);
  Put(rect.Right() - 1, rect.y, kTopRight, style);
  Put(rect.x, rect.Bottom() - 1, kBottomLeft, style);
  Put(rect.Right() - 1, rect.Bottom() - 1, kBottomRight, style);
}

std::string Canvas::Row(int y) const {
  std::u32string text;
  for (int x = 0; x < width_; ++x) {
    const Cell& cell = At(x, y);
    if (!cell.wideTail) text.push_back(cell.ch);
  }
  while (!text.empty() && text.back() == U' ') text.pop_back();
  return ToUtf8(text);
}

std::string Canvas::Dump() const {
  std::string out;
  for (int y = 0; y < height_; ++y) out += Row(y) + "\n";
  return out;
}

}  // namespace terminal
