// A person's doing at the terminal, in the front end's own terms (the
// curses layer translates into these, so the rest is testable without it).
#pragma once

namespace terminal {

enum class KeyCode {
  Char, Tab, BackTab, Enter, Escape,
  Up, Down, Left, Right, PageUp, PageDown, Home, End,
  Backspace, Delete,
  SelectAll,   // Ctrl-A
  ClearField,  // Ctrl-U
};

struct Key {
  KeyCode code = KeyCode::Char;
  char32_t ch = 0;     // for Char
  bool shift = false;  // Shift held with a movement key
};

enum class MouseButton { Left, WheelUp, WheelDown };

struct Mouse {
  int x = 0, y = 0;  // screen cell
  MouseButton button = MouseButton::Left;
  bool shift = false, ctrl = false;
};

}  // namespace terminal
