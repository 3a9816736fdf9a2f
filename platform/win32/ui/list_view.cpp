// The report-view list control, through its LVM_* messages.
#include "platform/win32/ui/ui_state.h"

#include <vector>

namespace ui {
namespace {

using win32::Native;

LRESULT Send(Window list, UINT message, WPARAM wParam, const void* lParam) {
  return ::SendMessageW(Native(list), message, wParam, reinterpret_cast<LPARAM>(lParam));
}

}  // namespace

int ListView_InsertColumn(Window list, int index, std::u16string_view header, int width) {
  std::wstring text = win32::Wide(header);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = text.data();
  column.cx = width;
  column.iSubItem = index;
  return static_cast<int>(Send(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), &column));
}

int ListView_InsertItem(Window list, int index, std::u16string_view text, LParam data) {
  std::wstring cell = win32::Wide(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = index;
  item.pszText = cell.data();
  item.lParam = static_cast<LPARAM>(data);
  return static_cast<int>(Send(list, LVM_INSERTITEMW, 0, &item));
}

bool ListView_SetItemText(Window list, int item, int column, std::u16string_view text) {
  std::wstring cell = win32::Wide(text);
  LVITEMW sub{};
  sub.iSubItem = column;
  sub.pszText = cell.data();
  return Send(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(item), &sub) != 0;
}

int ListView_GetItemCount(Window list) { return static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, nullptr)); }

bool ListView_SetColumnWidth(Window list, int column, int width) {
  return ::SendMessageW(Native(list), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0)) != 0;
}

void ListView_SetExtendedListViewStyle(Window list, unsigned style) {
  ::SendMessageW(Native(list), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style));
}

int ListView_GetNextItem(Window list, int start, unsigned flags) {
  return static_cast<int>(::SendMessageW(Native(list), LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
}

std::u16string ListView_GetItemText(Window list, int item, int column, std::size_t maxUnits) {
  if (maxUnits == 0) return {};
  std::vector<wchar_t> buffer(maxUnits, L'\0');
  LVITEMW sub{};
  sub.iSubItem = column;
  sub.pszText = buffer.data();
  sub.cchTextMax = static_cast<int>(maxUnits);
  int length = static_cast<int>(Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), &sub));
  return win32::FromWide(buffer.data(), static_cast<std::size_t>(length));
}

LParam ListView_GetItemData(Window list, int item) {
  LVITEMW row{};
  row.mask = LVIF_PARAM;
  row.iItem = item;
  if (!Send(list, LVM_GETITEMW, 0, &row)) return 0;
  return static_cast<LParam>(row.lParam);
}

bool ListView_DeleteItem(Window list, int item) { return Send(list, LVM_DELETEITEM, static_cast<WPARAM>(item), nullptr) != 0; }

bool ListView_SetItemSelected(Window list, int item, bool selected) {
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED;
  state.state = selected ? LVIS_SELECTED : 0;
  return Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), &state) != 0;
}

}  // namespace ui
