// An off-screen grid of cells that the screen is composed on before it is
// copied to the terminal, so that what is drawn can be checked without one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace terminal {

// What a cell stands for; the terminal maps each to colours and attributes.
enum class Style : std::uint8_t {
  Desktop,
  Face,             // a dialog's background and plain text
  Disabled,         // greyed text
  Caption,          // the title bar of the window that has the input
  CaptionInactive,  // the title bar of a window below it
  Focus,            // the control that keys go to
  Button,
  DefaultButton,
  Selected,         // selected list rows
  SelectedFocus,    // the list's caret row when it is selected too
  Caret,            // the list's caret row when not selected
  Header,           // list column headers
  BarFill,
  BarEmpty,
  Field,            // an editable text field
  Error,
  Hint,             // the key help line at the bottom
};

struct Cell {
  char32_t ch = U' ';
  Style style = Style::Desktop;
  bool wideTail = false;  // the right half of a double-width glyph
};

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  int Right() const { return x + w; }
  int Bottom() const { return y + h; }
  bool Contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// Box-drawing glyphs; the terminal swaps them for its line-drawing set.
inline constexpr char32_t kHLine = U'\u2500', kVLine = U'\u2502';
inline constexpr char32_t kTopLeft = U'\u250C', kTopRight = U'\u2510';
inline constexpr char32_t kBottomLeft = U'\u2514', kBottomRight = U'\u2518';
inline constexpr char32_t kLeftTee = U'\u251C', kRightTee = U'\u2524';
inline constexpr char32_t kFullBlock = U'\u2588', kLightShade = U'\u2591';

class Canvas {
 public:
  Canvas(int width, int height, Style fill = Style::Desktop);

  int Width() const { return width_; }
  int Height() const { return height_; }
  const Cell& At(int x, int y) const { return cells_[static_cast<std::size_t>(y * width_ + x)]; }

  // Drawing is clipped to the canvas and to the current clip rectangle.
  void SetClip(Rect clip);
  void ClearClip();

  void Put(int x, int y, char32_t ch, Style style);
  // Writes a single-line text; returns the column after it.
  int Text(int x, int y, std::u32string_view text, Style style);
  void Fill(Rect rect, Style style, char32_t ch = U' ');
  void SetStyle(Rect rect, Style style);
  void HLine(int x, int y, int length, Style style);
  void VLine(int x, int y, int length, Style style);
  void Frame(Rect rect, Style style);

  // The rows as UTF-8 text, trailing spaces trimmed (for tests and captures).
  std::string Row(int y) const;
  std::string Dump() const;

 private:
  bool Visible(int x, int y) const;
  Cell& Mut(int x, int y) { return cells_[static_cast<std::size_t>(y * width_ + x)]; }

  int width_, height_;
  std::vector<Cell> cells_;
  Rect clip_;
};

}  // namespace terminal
