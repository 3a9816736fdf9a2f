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

std::vector<std::u32string> CaretRowDetail(const ui::frontend::ControlView& list, const std::vector<int>& widths,
                                           int caret, int width, int maxLines) {
  int count = static_cast<int>(list.rows.size());
  if (width < 8 || maxLines < 1 || count == 0 || list.columns.empty() || widths.empty() ||
      ReportWidth(widths) <= width)
    return {};
  std::size_t last = list.columns.size() - 1;
  const auto& cells = list.rows[static_cast<std::size_t>(std::clamp(caret, 0, count - 1))].cells;
  std::u32string prefix = OneLine(list.columns[last].header) + U": ";
  std::u32string rest = prefix + (last < cells.size() ? OneLine(cells[last]) : std::u32string());
  std::vector<std::u32string> lines;
  while (!rest.empty()) {
    std::u32string piece = ClipToWidth(rest, width);
    if (piece.empty()) piece = rest.substr(0, 1);  // a glyph wider than the line
    rest.erase(0, piece.size());
    lines.push_back(std::move(piece));
  }
  // Room for the widest cell of the column, so the height stays put.
  int widest = last < widths.size() ? widths[last] - 2 : 0;
  int reserved = (TextWidth(prefix) + widest + width - 1) / width;
  int shown = std::min(maxLines, std::max(static_cast<int>(lines.size()), reserved));
  if (static_cast<int>(lines.size()) > shown) {
    lines.resize(static_cast<std::size_t>(shown));
    std::u32string& end = lines.back();
    while (!end.empty() && TextWidth(end) + 1 > width) end.pop_back();
    end.push_back(U'\u2026');
  }
  lines.resize(static_cast<std::size_t>(shown));
  return lines;
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
