#include "platform/posix/terminal/list_view_model.h"

#include "platform/posix/terminal/text_cells.h"

#include <algorithm>

namespace terminal {

std::vector<int> ColumnWidths(const ui::frontend::ControlView& list) {
  std::vector<int> widths;
  for (std::size_t c = 0; c < list.columns.size(); ++c) {
    int pixels = list.columns[c].width;
    int cells;
    if (pixels >= 0) {
      cells = (pixels + 3) / 6;
    } else {
      cells = pixels == ui::LVSCW_AUTOSIZE_USEHEADER ? TextWidth(OneLine(list.columns[c].header)) : 0;
      for (const auto& row : list.rows)
        if (c < row.cells.size()) cells = std::max(cells, TextWidth(OneLine(row.cells[c])));
      cells += 2;
    }
    widths.push_back(std::max(2, cells));
  }
  return widths;
}

int ReportWidth(const std::vector<int>& widths) {
  int total = 0;
  for (int w : widths) total += w;
  return total;
}

std::u32string ReportLine(const std::vector<std::u16string>& cells, const std::vector<int>& widths, int hscroll,
                          int width) {
  std::u32string line;
  for (std::size_t c = 0; c < widths.size(); ++c) {
    std::u32string text = c < cells.size() ? OneLine(cells[c]) : std::u32string();
    // One cell of margin on the left, and at least one before the next column.
    std::u32string cell = U" " + ClipToWidth(text, widths[c] - 2);
    cell.append(static_cast<std::size_t>(widths[c] - TextWidth(cell)), U' ');
    line += cell;
  }
  // Drop `hscroll` columns from the left, never half of a wide glyph.
  std::size_t i = 0;
  int dropped = 0;
  while (i < line.size() && dropped < hscroll) dropped += GlyphWidth(line[i++]);
  std::u32string shown(dropped > hscroll ? U" " : U"");
  shown += line.substr(i);
  shown = ClipToWidth(shown, width);
  shown.append(static_cast<std::size_t>(std::max(0, width - TextWidth(shown))), U' ');
  return shown;
}

std::vector<int> SelectedRows(const ui::frontend::ControlView& list) {
  std::vector<int> rows;
  for (int i = 0; i < static_cast<int>(list.rows.size()); ++i)
    if (list.rows[static_cast<std::size_t>(i)].selected) rows.push_back(i);
  return rows;
}

std::vector<int> ToggledSelection(const ui::frontend::ControlView& list, int row) {
  std::vector<int> rows = SelectedRows(list);
  auto at = std::find(rows.begin(), rows.end(), row);
  if (at != rows.end())
    rows.erase(at);
  else if (row >= 0 && row < static_cast<int>(list.rows.size()))
    rows.insert(std::upper_bound(rows.begin(), rows.end(), row), row);
  return rows;
}

std::vector<int> RowRange(int a, int b) {
  std::vector<int> rows;
  for (int i = std::min(a, b); i <= std::max(a, b); ++i) rows.push_back(i);
  return rows;
}

void Clamp(ListUi& state, int count, int visible) {
  visible = std::max(1, visible);
  state.caret = std::clamp(state.caret, 0, std::max(0, count - 1));
  state.anchor = std::clamp(state.anchor, 0, std::max(0, count - 1));
  if (state.caret < state.top) state.top = state.caret;
  if (state.caret >= state.top + visible) state.top = state.caret - visible + 1;
  state.top = std::clamp(state.top, 0, std::max(0, count - visible));
  state.hscroll = std::max(0, state.hscroll);
}

}  // namespace terminal
