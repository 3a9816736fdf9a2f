// Dialog templates and the icon group as data: the one description of every
// dialog's layout, read by the UI layer to build dialogs (and usable to
// generate a resource script for a native build).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace ui {

enum class ControlKind { Label, GroupBox, Radio, Button, Progress, ListView };

// Rectangles are in dialog units: x, y, width, height.
struct ControlTemplate {
  int id = -1;  // -1: no identifier of its own (plain labels, group boxes)
  ControlKind kind = ControlKind::Label;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::u16string_view text;
  bool group = false;          // starts a group (radio buttons up to the next group belong together)
  bool tabStop = false;
  bool defaultButton = false;  // the push button that Enter presses
  bool disabled = false;
  bool visible = true;
  bool border = false;               // progress bars and lists: a thin frame
  bool showSelectionAlways = false;  // lists: the selection stays shown without the focus
};

struct DialogTemplate {
  std::string_view name;
  std::u16string_view caption;
  std::u16string_view fontName;
  int fontPoints = 8;
  int x = 0, y = 0, cx = 0, cy = 0;
  bool visible = false;        // shown as soon as it is created (modeless dialogs)
  bool centered = true;
  bool minimizeBox = false;
  std::span<const ControlTemplate> controls;
  // How the window itself looks on Windows (the other front ends draw their own frame).
  bool modalFrame = false;
  bool threeDLook = false;
  bool foreground = false;     // brought to the foreground when created
};

// The template of that name, or null.
const DialogTemplate* FindDialogTemplate(std::string_view name);
// Every template, in a fixed order.
std::span<const DialogTemplate* const> AllDialogTemplates();

// One image of an icon group: size x size pixels, 32 bits each (0xAARRGGBB),
// rows from the top.
struct IconImage {
  int size = 0;
  std::vector<std::uint32_t> pixels;
};
// The images of the named icon group (largest first); empty when unknown.
std::vector<IconImage> LoadIconGroup(std::string_view name);

}  // namespace ui
