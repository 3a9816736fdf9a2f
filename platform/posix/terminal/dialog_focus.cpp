#include "platform/posix/terminal/dialog_focus.h"

#include <algorithm>

namespace terminal {
namespace {

using ui::ControlKind;
using ui::frontend::DialogView;

const ui::frontend::ControlView& Control(const DialogView& dialog, int index) {
  return dialog.controls[static_cast<std::size_t>(index)];
}

bool Valid(const DialogView& dialog, int index) {
  return index >= 0 && index < static_cast<int>(dialog.controls.size());
}

// The group each control belongs to: a group runs from a control that
// starts one to the next. Templates that mark no group at all are split
// wherever something other than a radio button comes between them.
std::vector<int> GroupNumbers(const DialogView& dialog) {
  bool anyMarked = std::any_of(dialog.controls.begin(), dialog.controls.end(), [](const auto& c) { return c.group; });
  std::vector<int> numbers;
  int number = 0;
  for (const auto& control : dialog.controls) {
    if (anyMarked ? control.group : control.kind != ControlKind::Radio) ++number;
    numbers.push_back(number);
  }
  return numbers;
}

}  // namespace

bool CanFocus(const DialogView& dialog, int index) {
  if (!Valid(dialog, index)) return false;
  const auto& c = Control(dialog, index);
  if (!c.visible || !c.enabled) return false;
  return c.kind == ControlKind::Radio || c.kind == ControlKind::Button || c.kind == ControlKind::ListView;
}

std::vector<int> RadioGroup(const DialogView& dialog, int index) {
  std::vector<int> members;
  if (!Valid(dialog, index) || Control(dialog, index).kind != ControlKind::Radio) return members;
  std::vector<int> numbers = GroupNumbers(dialog);
  for (int i = 0; i < static_cast<int>(dialog.controls.size()); ++i)
    if (numbers[static_cast<std::size_t>(i)] == numbers[static_cast<std::size_t>(index)] &&
        Control(dialog, i).kind == ControlKind::Radio)
      members.push_back(i);
  return members;
}

std::vector<int> TabStops(const DialogView& dialog) {
  std::vector<int> stops;
  std::vector<int> seenGroups;
  std::vector<int> numbers = GroupNumbers(dialog);
  for (int i = 0; i < static_cast<int>(dialog.controls.size()); ++i) {
    if (!CanFocus(dialog, i)) continue;
    if (Control(dialog, i).kind != ControlKind::Radio) {
      stops.push_back(i);
      continue;
    }
    int group = numbers[static_cast<std::size_t>(i)];
    if (std::find(seenGroups.begin(), seenGroups.end(), group) != seenGroups.end()) continue;
    seenGroups.push_back(group);
    int chosen = -1;
    for (int member : RadioGroup(dialog, i))
      if (CanFocus(dialog, member) && Control(dialog, member).checked) chosen = member;
    stops.push_back(chosen >= 0 ? chosen : i);
  }
  return stops;
}

int NextTabStop(const DialogView& dialog, int focus, bool backwards) {
  std::vector<int> stops = TabStops(dialog);
  if (stops.empty()) return -1;
  // A focus inside a radio group stands for the group's stop.
  int position = -1;
  for (int i = 0; i < static_cast<int>(stops.size()); ++i) {
    int stop = stops[static_cast<std::size_t>(i)];
    std::vector<int> group = RadioGroup(dialog, stop);
    if (stop == focus || std::find(group.begin(), group.end(), focus) != group.end()) position = i;
  }
  int count = static_cast<int>(stops.size());
  if (position < 0) return backwards ? stops.back() : stops.front();
  return stops[static_cast<std::size_t>((position + (backwards ? count - 1 : 1)) % count)];
}

int NextInGroup(const DialogView& dialog, int focus, int step) {
  std::vector<int> group = RadioGroup(dialog, focus);
  auto at = std::find(group.begin(), group.end(), focus);
  if (at == group.end()) return focus;
  int count = static_cast<int>(group.size());
  int position = static_cast<int>(at - group.begin());
  for (int k = 1; k < count; ++k) {
    int candidate = group[static_cast<std::size_t>(((position + step * k) % count + count) % count)];
    if (CanFocus(dialog, candidate)) return candidate;
  }
  return focus;
}

int InitialFocus(const DialogView& dialog) {
  std::vector<int> stops = TabStops(dialog);
  return stops.empty() ? -1 : stops.front();
}

int DefaultButtonIndex(const DialogView& dialog, int focus) {
  if (Valid(dialog, focus) && Control(dialog, focus).kind == ControlKind::Button) return focus;
  for (int i = 0; i < static_cast<int>(dialog.controls.size()); ++i)
    if (Control(dialog, i).kind == ControlKind::Button && Control(dialog, i).defaultButton && Control(dialog, i).visible)
      return i;
  // Without a marked default, Enter means OK, as on the platform.
  for (int i = 0; i < static_cast<int>(dialog.controls.size()); ++i)
    if (Control(dialog, i).kind == ControlKind::Button && Control(dialog, i).id == ui::IDOK && Control(dialog, i).visible)
      return i;
  return -1;
}

}  // namespace terminal
