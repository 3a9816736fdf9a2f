#include "platform/posix/terminal/dialog_layout.h"

#include "platform/posix/terminal/text_cells.h"

#include <algorithm>

namespace terminal {
namespace {

using ui::ControlKind;
using ui::frontend::ControlView;
using ui::frontend::DialogView;

// Cells another control takes for the purpose of letting a label grow:
// a group box only takes its frame, so labels inside it may grow.
bool Occupies(const ControlLayout& other, const ControlView& view, int x, int y) {
  const Rect& r = other.rect;
  if (!r.Contains(x, y)) return false;
  if (view.kind != ControlKind::GroupBox) return true;
  return x == r.x || x == r.Right() - 1 || y == r.y || y == r.Bottom() - 1;
}

bool Free(const DialogView& dialog, const std::vector<ControlLayout>& all, std::size_t self, int x, int y,
          int clientWidth, int clientHeight) {
  if (x < 0 || y < 0 || x >= clientWidth || y >= clientHeight) return false;
  for (std::size_t i = 0; i < all.size(); ++i)
    if (i != self && Occupies(all[i], dialog.controls[static_cast<std::size_t>(all[i].index)], x, y)) return false;
  return true;
}

int Widest(const std::vector<std::u32string>& lines) {
  int widest = 0;
  for (const std::u32string& line : lines) widest = std::max(widest, TextWidth(line));
  return widest;
}

// A label whose text does not fit its rectangle (a terminal column is wider
// than the average character of the dialog font) takes the free cells to
// its right, then the free rows below it.
void FitLabel(const DialogView& dialog, std::vector<ControlLayout>& all, std::size_t self, int clientWidth,
              int clientHeight) {
  ControlLayout& label = all[self];
  const ControlView& view = dialog.controls[static_cast<std::size_t>(label.index)];
  Rect& r = label.rect;
  label.lines = LayoutText(view.text, r.w);
  if (view.text.empty()) {
    label.lines.clear();
    return;
  }
  if (static_cast<int>(label.lines.size()) <= r.h) return;

  auto columnFree = [&](int x, int top, int height) {
    for (int y = top; y < top + height; ++y)
      if (!Free(dialog, all, self, x, y, clientWidth, clientHeight)) return false;
    return true;
  };
  auto rowFree = [&](int y, int left, int width) {
    for (int x = left; x < left + width; ++x)
      if (!Free(dialog, all, self, x, y, clientWidth, clientHeight)) return false;
    return true;
  };
  int widest = r.w;
  while (columnFree(r.x + widest, r.y, r.h)) ++widest;

  // Wider, in the rows it has.
  if (std::vector<std::u32string> wide = LayoutText(view.text, widest); static_cast<int>(wide.size()) <= r.h) {
    label.lines = std::move(wide);
    r.w = std::max(r.w, Widest(label.lines));
    return;
  }
  // Taller, at its own width; then taller and wider. Free rows below are
  // taken first, then free rows above.
  for (int width : {r.w, widest}) {
    std::vector<std::u32string> lines = LayoutText(view.text, width);
    int needed = static_cast<int>(lines.size());
    int top = r.y, height = r.h;
    while (height < needed && rowFree(top + height, r.x, width)) ++height;
    while (height < needed && rowFree(top - 1, r.x, width)) --top, ++height;
    if (height >= needed) {
      label.lines = std::move(lines);
      r.w = std::max(r.w, Widest(label.lines));
      r.y = top;
      r.h = height;
      return;
    }
  }
  label.lines = LayoutText(view.text, widest);
  r.w = widest;
}

void Mark(std::vector<bool>& solid, int from, int to) {
  for (int i = std::max(0, from); i < std::min<int>(to, static_cast<int>(solid.size())); ++i) solid[static_cast<std::size_t>(i)] = true;
}

// Number of kept positions before `i`: where position i lands.
std::vector<int> KeptBefore(const std::vector<bool>& keep) {
  std::vector<int> out(keep.size() + 1, 0);
  for (std::size_t i = 0; i < keep.size(); ++i) out[i + 1] = out[i] + (keep[i] ? 1 : 0);
  return out;
}

int At(const std::vector<int>& map, int i) {
  return map[static_cast<std::size_t>(std::clamp(i, 0, static_cast<int>(map.size()) - 1))];
}

std::vector<bool> SqueezeInTwoPasses(const std::vector<bool>& solid, const std::vector<bool>& soft, int excess) {
  std::vector<bool> firm(solid.size());
  for (std::size_t i = 0; i < solid.size(); ++i) firm[i] = solid[i] || soft[i];
  std::vector<bool> keep = SqueezeKeep(firm, excess, true);
  int removed = static_cast<int>(std::count(keep.begin(), keep.end(), false));
  if (removed >= excess) return keep;
  // Then the insides of lists and bars, keeping the one blank left between
  // things; last, whatever is not solid.
  for (bool onlySoft : {true, false}) {
    std::vector<std::size_t> left;
    std::vector<bool> leftSolid;
    for (std::size_t i = 0; i < keep.size(); ++i)
      if (keep[i]) left.push_back(i), leftSolid.push_back(solid[i] || (onlySoft && !soft[i]));
    std::vector<bool> again = SqueezeKeep(leftSolid, excess - removed);
    for (std::size_t k = 0; k < left.size(); ++k)
      if (!again[k]) keep[left[k]] = false, ++removed;
    if (removed >= excess) break;
  }
  return keep;
}

}  // namespace

int ColumnOf(int x) { return (x * 2 + 4) / 8; }
int RowOf(int y) { return (y + 4) / 8; }

int ButtonMinWidth(const ControlView& control) { return TextWidth(OneLine(control.text)) + 2; }

const ControlLayout* DialogLayout::Find(int index) const {
  for (const ControlLayout& control : controls)
    if (control.index == index) return &control;
  return nullptr;
}

std::vector<bool> SqueezeKeep(const std::vector<bool>& solid, int excess, bool keepOnePerRun) {
  std::vector<bool> keep(solid.size(), true);
  struct Run {
    std::size_t start, length;
  };
  std::vector<Run> runs;
  for (std::size_t i = 0; i < solid.size();) {
    if (solid[i]) {
      ++i;
      continue;
    }
    std::size_t start = i;
    while (i < solid.size() && !solid[i]) ++i;
    runs.push_back(Run{start, i - start});
  }
  std::vector<std::size_t> removed(runs.size(), 0);
  for (std::size_t floor : {std::size_t{1}, std::size_t{0}}) {
    if (floor == 0 && keepOnePerRun) break;
    while (excess > 0) {
      std::size_t best = runs.size();
      for (std::size_t r = 0; r < runs.size(); ++r) {
        std::size_t left = runs[r].length - removed[r];
        if (left > floor && (best == runs.size() || left > runs[best].length - removed[best])) best = r;
      }
      if (best == runs.size()) break;
      ++removed[best];
      --excess;
    }
  }
  // Take each run's share from its middle, so what stays keeps a margin on
  // both sides.
  for (std::size_t r = 0; r < runs.size(); ++r) {
    std::size_t first = runs[r].start + (runs[r].length - removed[r]) / 2;
    for (std::size_t k = 0; k < removed[r]; ++k) keep[first + k] = false;
  }
  return keep;
}

DialogLayout LayoutDialog(const DialogView& dialog, int maxWidth, int maxHeight) {
  DialogLayout layout;
  int clientWidth = std::max(1, ColumnOf(dialog.cx));
  int clientHeight = std::max(1, RowOf(dialog.cy));

  std::vector<ControlLayout>& all = layout.controls;
  for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
    const ControlView& c = dialog.controls[i];
    if (!c.visible) continue;
    ControlLayout control;
    control.index = static_cast<int>(i);
    int left = ColumnOf(c.x), top = RowOf(c.y);
    int right = std::max(left + 1, ColumnOf(c.x + c.cx)), bottom = std::max(top + 1, RowOf(c.y + c.cy));
    control.rect = Rect{left, top, right - left, bottom - top};
    control.row = top + (bottom - top - 1) / 2;
    if (c.kind == ControlKind::Button && control.rect.w < ButtonMinWidth(c)) {
      int grow = ButtonMinWidth(c) - control.rect.w;
      control.rect.x = std::max(0, control.rect.x - grow / 2);
      control.rect.w = ButtonMinWidth(c);
      if (control.rect.Right() > clientWidth) control.rect.x = std::max(0, clientWidth - control.rect.w);
    }
    if (c.kind == ControlKind::ListView) control.rect.h = std::max(control.rect.h, 4);
    all.push_back(std::move(control));
  }
  for (std::size_t i = 0; i < all.size(); ++i)
    if (dialog.controls[static_cast<std::size_t>(all[i].index)].kind == ControlKind::Label)
      FitLabel(dialog, all, i, clientWidth, clientHeight);

  // What may never be dropped: every cell of text and every edge that runs
  // across the squeezed direction.
  std::vector<bool> solidColumn(static_cast<std::size_t>(clientWidth), false);
  std::vector<bool> solidRow(static_cast<std::size_t>(clientHeight), false);
  // The insides of lists and progress bars give way only after the blank
  // space around them, since what they show gets smaller with them.
  std::vector<bool> softColumn(static_cast<std::size_t>(clientWidth), false);
  std::vector<bool> softRow(static_cast<std::size_t>(clientHeight), false);
  for (const ControlLayout& control : all) {
    const ControlView& c = dialog.controls[static_cast<std::size_t>(control.index)];
    const Rect& r = control.rect;
    switch (c.kind) {
      case ControlKind::Label:
        if (!control.lines.empty()) {
          Mark(solidColumn, r.x, r.x + Widest(control.lines));
          Mark(solidRow, r.y, r.y + static_cast<int>(control.lines.size()));
        }
        break;
      case ControlKind::Radio:
        Mark(solidColumn, r.x, r.x + kRadioMarkWidth + TextWidth(OneLine(c.text)));
        Mark(solidRow, control.row, control.row + 1);
        break;
      case ControlKind::Button: {
        int textWidth = TextWidth(OneLine(c.text));
        int textStart = r.x + (r.w - textWidth) / 2;
        Mark(solidColumn, r.x, r.x + 1);
        Mark(solidColumn, r.Right() - 1, r.Right());
        Mark(solidColumn, textStart - 1, textStart + textWidth + 1);
        Mark(solidRow, control.row, control.row + 1);
        break;
      }
      case ControlKind::GroupBox:
        Mark(solidColumn, r.x, r.x + 1);
        Mark(solidColumn, r.Right() - 1, r.Right());
        if (!c.text.empty()) Mark(solidColumn, r.x + 1, r.x + 3 + TextWidth(OneLine(c.text)));
        Mark(solidRow, r.y, r.y + 1);
        Mark(solidRow, r.Bottom() - 1, r.Bottom());
        break;
      case ControlKind::Progress:
        Mark(softColumn, r.x, r.Right());
        Mark(solidColumn, r.x, r.x + 1);
        Mark(solidColumn, r.Right() - 1, r.Right());
        Mark(solidRow, control.row, control.row + 1);
        break;
      case ControlKind::ListView:
        Mark(softColumn, r.x, r.Right());
        Mark(softRow, r.y, r.Bottom());
        Mark(solidColumn, r.x, r.x + 1);
        Mark(solidColumn, r.Right() - 1, r.Right());
        Mark(solidRow, r.y, r.y + 3);
        Mark(solidRow, r.Bottom() - 1, r.Bottom());
        break;
    }
  }
  // The caption bar needs room for the caption and the close box.
  int captionNeed = TextWidth(OneLine(dialog.caption)) + 6;
  Mark(solidColumn, 0, captionNeed - 2);

  std::vector<bool> keepColumn = SqueezeInTwoPasses(solidColumn, softColumn, std::max(0, clientWidth + 2 - maxWidth));
  std::vector<bool> keepRow = SqueezeInTwoPasses(solidRow, softRow, std::max(0, clientHeight + 2 - maxHeight));
  std::vector<int> columnMap = KeptBefore(keepColumn), rowMap = KeptBefore(keepRow);
  layout.clientWidth = columnMap.back();
  layout.clientHeight = rowMap.back();
  for (ControlLayout& control : all) {
    Rect& r = control.rect;
    int left = At(columnMap, r.x), right = At(columnMap, r.Right());
    int top = At(rowMap, r.y), bottom = At(rowMap, r.Bottom());
    r = Rect{left, top, std::max(1, right - left), std::max(1, bottom - top)};
    control.row = At(rowMap, control.row);
  }
  return layout;
}

}  // namespace terminal
