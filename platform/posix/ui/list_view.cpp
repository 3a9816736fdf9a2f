// The report-view list: columns, rows with item data, selection.
#include "platform/posix/ui/window_table.h"

#include <algorithm>

namespace ui {
namespace {

using core::WindowRecord;

// Call with TableMutex held.
WindowRecord* ListOf(Window list) {
  WindowRecord* record = core::Find(list);
  return record && record->kind == ControlKind::ListView && !record->isDialog ? record : nullptr;
}

bool ValidRow(const WindowRecord& list, int item) { return item >= 0 && item < static_cast<int>(list.rows.size()); }

// Rough pixel widths for auto-sizing: an average Tahoma 8 character is about
// 6 pixels, plus the margins a list leaves around a cell.
int TextWidth(std::u16string_view text) { return static_cast<int>(text.size()) * 6 + 12; }

// Call with TableMutex held, after a change to the rows or their texts.
void RowsChanged(WindowRecord& list) {
  static std::uint64_t last = 0;
  list.rowsRevision = ++last;
  core::MarkDirty();
}

}  // namespace

int ListView_InsertColumn(Window list, int index, std::u16string_view header, int width) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = ListOf(list);
  if (!record || index < 0) return -1;
  index = std::min(index, static_cast<int>(record->columns.size()));
  record->columns.insert(record->columns.begin() + index, frontend::ListColumnView{std::u16string(header), width});
  for (core::ListRow& row : record->rows)
    if (static_cast<int>(row.cells.size()) > index) row.cells.insert(row.cells.begin() + index, std::u16string());
  RowsChanged(*record);
  return index;
}

int ListView_InsertItem(Window list, int index, std::u16string_view text, LParam data) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = ListOf(list);
  if (!record || index < 0) return -1;
  index = std::min(index, static_cast<int>(record->rows.size()));
  core::ListRow row;
  row.cells.push_back(std::u16string(text));
  row.data = data;
  record->rows.insert(record->rows.begin() + index, std::move(row));
  RowsChanged(*record);
  return index;
}

bool ListView_SetItemText(Window list, int item, int column, std::u16string_view text) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = ListOf(list);
  if (!record || !ValidRow(*record, item) || column < 0) return false;
  if (!record->columns.empty() && column >= static_cast<int>(record->columns.size())) return false;
  auto& cells = record->rows[item].cells;
  if (static_cast<int>(cells.size()) <= column) cells.resize(column + 1);
  cells[column] = std::u16string(text);
  RowsChanged(*record);
  return true;
}

int ListView_GetItemCount(Window list) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = ListOf(list);
  return record ? static_cast<int>(record->rows.size()) : 0;
}

bool ListView_SetColumnWidth(Window list, int column, int width) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = ListOf(list);
  if (!record || column < 0 || column >= static_cast<int>(record->columns.size())) return false;
  auto& target = record->columns[column];
  if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
    int fitted = width == LVSCW_AUTOSIZE_USEHEADER ? TextWidth(target.header) : 0;
    for (const core::ListRow& row : record->rows)
      if (column < static_cast<int>(row.cells.size())) fitted = std::max(fitted, TextWidth(row.cells[column]));
    width = std::max(fitted, 12);
  }
  target.width = width;
  core::MarkDirty();
  return true;
}

void ListView_SetExtendedListViewStyle(Window list, unsigned style) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  if (WindowRecord* record = ListOf(list)) record->extendedStyle = style;
}

int ListView_GetNextItem(Window list, int start, unsigned flags) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = ListOf(list);
  if (!record) return -1;
  int count = static_cast<int>(record->rows.size());
  for (int item = std::max(start + 1, 0); item < count; ++item)
    if (!(flags & LVNI_SELECTED) || record->rows[item].selected) return item;
  return -1;
}

std::u16string ListView_GetItemText(Window list, int item, int column, std::size_t maxUnits) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = ListOf(list);
  if (!record || !ValidRow(*record, item) || column < 0 || maxUnits == 0) return {};
  const auto& cells = record->rows[item].cells;
  if (column >= static_cast<int>(cells.size())) return {};
  return cells[column].substr(0, maxUnits - 1);
}

LParam ListView_GetItemData(Window list, int item) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = ListOf(list);
  return record && ValidRow(*record, item) ? record->rows[item].data : 0;
}

bool ListView_DeleteItem(Window list, int item) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = ListOf(list);
  if (!record || !ValidRow(*record, item)) return false;
  record->rows.erase(record->rows.begin() + item);
  RowsChanged(*record);
  return true;
}

bool ListView_SetItemSelected(Window list, int item, bool selected) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = ListOf(list);
  if (!record || !ValidRow(*record, item)) return false;
  record->rows[item].selected = selected;
  core::MarkDirty();
  return true;
}

}  // namespace ui
