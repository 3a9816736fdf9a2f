// The report view of a list control as the terminal shows it: column
// widths in cells, the caret and anchor that keys move, and the rows a
// keyboard or mouse gesture selects.
#pragma once

#include "platform/posix/ui/frontend.h"

#include <string>
#include <vector>

namespace terminal {

struct ListUi {
  int caret = 0;   // the row the keys move
  int anchor = 0;  // where a Shift-extended selection starts
  int top = 0;     // first row shown
  int hscroll = 0; // columns scrolled off to the left
};

// Column widths in cells: pixels as the program set them (an average
// character is about six pixels), or fitted to the texts for the
// auto-size values.
std::vector<int> ColumnWidths(const ui::frontend::ControlView& list);

// One line of the report: each cell cut to its column and padded, with the
// first `hscroll` columns scrolled away, at most `width` columns.
std::u32string ReportLine(const std::vector<std::u16string>& cells, const std::vector<int>& widths, int hscroll,
                          int width);
int ReportWidth(const std::vector<int>& widths);

std::vector<int> SelectedRows(const ui::frontend::ControlView& list);
// The selection with `row` flipped.
std::vector<int> ToggledSelection(const ui::frontend::ControlView& list, int row);
// Every row from `a` to `b`, in order.
std::vector<int> RowRange(int a, int b);

// When the columns do not all fit the list's `width`, the last column of the
// caret row is what gets cut (in the review list, the URL): it is shown
// whole below the rows, after its header ("URL: ..."), cut into lines of
// `width`. The lines are as many as the widest cell of that column needs,
// so the list does not change height as the caret moves, and at most
// `maxLines` (the last then ends in an ellipsis). None when everything fits.
std::vector<std::u32string> CaretRowDetail(const ui::frontend::ControlView& list, const std::vector<int>& widths,
                                           int caret, int width, int maxLines);

// The caret and scroll position brought back into a list of `count` rows
// with `visible` rows on screen.
void Clamp(ListUi& state, int count, int visible);

}  // namespace terminal
