// The one way platform/win32/ reaches the Windows headers. They define
// about a hundred macros whose names the platform headers declare
// themselves (MessageBox, GetFileAttributes, WM_COMMAND, ListView_*...):
// left alone, a function becomes a silent rename that only fails at link
// time, and a constant stops compiling. Here each of them is dropped once,
// right after the Windows headers, and every constant is checked to carry
// the value the platform headers give it, so that the rest of this folder
// calls the W functions by their full names and uses the platform
// headers' constants. Include this file, never <windows.h> itself.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

#include <string>
#include <string_view>

namespace win32_values {
// The Windows values of the constants below, kept before their macros go.

inline constexpr long long k_BM_GETCHECK = static_cast<long long>(BM_GETCHECK);
inline constexpr long long k_BM_SETCHECK = static_cast<long long>(BM_SETCHECK);
inline constexpr long long k_BST_CHECKED = static_cast<long long>(BST_CHECKED);
inline constexpr long long k_BST_UNCHECKED = static_cast<long long>(BST_UNCHECKED);
inline constexpr long long k_HTTP_ADDREQ_FLAG_ADD_IF_NEW = static_cast<long long>(HTTP_ADDREQ_FLAG_ADD_IF_NEW);
inline constexpr long long k_HTTP_QUERY_CONTENT_LENGTH = static_cast<long long>(HTTP_QUERY_CONTENT_LENGTH);
inline constexpr long long k_HTTP_QUERY_STATUS_CODE = static_cast<long long>(HTTP_QUERY_STATUS_CODE);
inline constexpr long long k_IDCANCEL = static_cast<long long>(IDCANCEL);
inline constexpr long long k_IDNO = static_cast<long long>(IDNO);
inline constexpr long long k_IDOK = static_cast<long long>(IDOK);
inline constexpr long long k_IDYES = static_cast<long long>(IDYES);
inline constexpr long long k_INTERNET_DEFAULT_HTTPS_PORT = static_cast<long long>(INTERNET_DEFAULT_HTTPS_PORT);
inline constexpr long long k_INTERNET_DEFAULT_HTTP_PORT = static_cast<long long>(INTERNET_DEFAULT_HTTP_PORT);
inline constexpr long long k_INTERNET_FLAG_NO_CACHE_WRITE = static_cast<long long>(INTERNET_FLAG_NO_CACHE_WRITE);
inline constexpr long long k_INTERNET_FLAG_SECURE = static_cast<long long>(INTERNET_FLAG_SECURE);
inline constexpr long long k_INTERNET_OPEN_TYPE_DIRECT = static_cast<long long>(INTERNET_OPEN_TYPE_DIRECT);
inline constexpr long long k_INTERNET_OPTION_HTTP_DECODING = static_cast<long long>(INTERNET_OPTION_HTTP_DECODING);
inline constexpr long long k_INTERNET_SERVICE_HTTP = static_cast<long long>(INTERNET_SERVICE_HTTP);
inline constexpr long long k_LVNI_ALL = static_cast<long long>(LVNI_ALL);
inline constexpr long long k_LVNI_SELECTED = static_cast<long long>(LVNI_SELECTED);
inline constexpr long long k_LVSCW_AUTOSIZE = static_cast<long long>(LVSCW_AUTOSIZE);
inline constexpr long long k_LVSCW_AUTOSIZE_USEHEADER = static_cast<long long>(LVSCW_AUTOSIZE_USEHEADER);
inline constexpr long long k_LVS_EX_FULLROWSELECT = static_cast<long long>(LVS_EX_FULLROWSELECT);
inline constexpr long long k_MB_DEFBUTTON1 = static_cast<long long>(MB_DEFBUTTON1);
inline constexpr long long k_MB_DEFBUTTON2 = static_cast<long long>(MB_DEFBUTTON2);
inline constexpr long long k_MB_DEFBUTTON3 = static_cast<long long>(MB_DEFBUTTON3);
inline constexpr long long k_MB_ICONERROR = static_cast<long long>(MB_ICONERROR);
inline constexpr long long k_MB_ICONINFORMATION = static_cast<long long>(MB_ICONINFORMATION);
inline constexpr long long k_MB_ICONQUESTION = static_cast<long long>(MB_ICONQUESTION);
inline constexpr long long k_MB_ICONWARNING = static_cast<long long>(MB_ICONWARNING);
inline constexpr long long k_MB_OK = static_cast<long long>(MB_OK);
inline constexpr long long k_MB_OKCANCEL = static_cast<long long>(MB_OKCANCEL);
inline constexpr long long k_MB_YESNO = static_cast<long long>(MB_YESNO);
inline constexpr long long k_MB_YESNOCANCEL = static_cast<long long>(MB_YESNOCANCEL);
inline constexpr long long k_NIF_ICON = static_cast<long long>(NIF_ICON);
inline constexpr long long k_NIF_MESSAGE = static_cast<long long>(NIF_MESSAGE);
inline constexpr long long k_NIF_TIP = static_cast<long long>(NIF_TIP);
inline constexpr long long k_NIM_ADD = static_cast<long long>(NIM_ADD);
inline constexpr long long k_NIM_DELETE = static_cast<long long>(NIM_DELETE);
inline constexpr long long k_NIM_MODIFY = static_cast<long long>(NIM_MODIFY);
inline constexpr long long k_NIN_BALLOONUSERCLICK = static_cast<long long>(NIN_BALLOONUSERCLICK);
inline constexpr long long k_OFN_EXPLORER = static_cast<long long>(OFN_EXPLORER);
inline constexpr long long k_OFN_FILEMUSTEXIST = static_cast<long long>(OFN_FILEMUSTEXIST);
inline constexpr long long k_OFN_HIDEREADONLY = static_cast<long long>(OFN_HIDEREADONLY);
inline constexpr long long k_OFN_NOCHANGEDIR = static_cast<long long>(OFN_NOCHANGEDIR);
inline constexpr long long k_OFN_OVERWRITEPROMPT = static_cast<long long>(OFN_OVERWRITEPROMPT);
inline constexpr long long k_PBM_GETPOS = static_cast<long long>(PBM_GETPOS);
inline constexpr long long k_PBM_SETPOS = static_cast<long long>(PBM_SETPOS);
inline constexpr long long k_PBM_SETRANGE = static_cast<long long>(PBM_SETRANGE);
inline constexpr long long k_PBM_SETRANGE32 = static_cast<long long>(PBM_SETRANGE32);
inline constexpr long long k_SW_HIDE = static_cast<long long>(SW_HIDE);
inline constexpr long long k_SW_SHOW = static_cast<long long>(SW_SHOW);
inline constexpr long long k_SW_SHOWNORMAL = static_cast<long long>(SW_SHOWNORMAL);
inline constexpr long long k_WM_APP = static_cast<long long>(WM_APP);
inline constexpr long long k_WM_CLOSE = static_cast<long long>(WM_CLOSE);
inline constexpr long long k_WM_COMMAND = static_cast<long long>(WM_COMMAND);
inline constexpr long long k_WM_INITDIALOG = static_cast<long long>(WM_INITDIALOG);
inline constexpr long long k_WM_LBUTTONDOWN = static_cast<long long>(WM_LBUTTONDOWN);
inline constexpr long long k_WM_QUIT = static_cast<long long>(WM_QUIT);
inline constexpr long long k_WM_SETTEXT = static_cast<long long>(WM_SETTEXT);
inline constexpr long long k_WM_USER = static_cast<long long>(WM_USER);
}  // namespace win32_values

// Functions (the A/W switch) and the list view helpers of <commctrl.h>.
#undef CopyFile
#undef CreateDialogParam
#undef CreateDirectory
#undef DeleteFile
#undef DialogBoxParam
#undef DispatchMessage
#undef ExpandEnvironmentStrings
#undef GetCurrentDirectory
#undef GetEnvironmentVariable
#undef GetFileAttributes
#undef GetMessage
#undef GetModuleFileName
#undef GetOpenFileName
#undef GetPrivateProfileString
#undef GetSaveFileName
#undef GetWindowText
#undef HttpAddRequestHeaders
#undef HttpOpenRequest
#undef HttpQueryInfo
#undef HttpSendRequest
#undef InternetConnect
#undef InternetCrackUrl
#undef InternetOpen
#undef InternetOpenUrl
#undef InternetSetOption
#undef LoadIcon
#undef MessageBox
#undef PostMessage
#undef PostThreadMessage
#undef RemoveDirectory
#undef SendDlgItemMessage
#undef SendMessage
#undef SetDlgItemText
#undef SetWindowText
#undef ShellExecute
#undef Shell_NotifyIcon
#undef WritePrivateProfileString
#undef ListView_DeleteItem
#undef ListView_GetItemCount
#undef ListView_GetItemText
#undef ListView_GetNextItem
#undef ListView_InsertColumn
#undef ListView_InsertItem
#undef ListView_SetColumnWidth
#undef ListView_SetExtendedListViewStyle
#undef ListView_SetItemText
// Constants, now taken from the platform headers.
#undef BM_GETCHECK
#undef BM_SETCHECK
#undef BST_CHECKED
#undef BST_UNCHECKED
#undef GCL_HICON
#undef GCL_HICONSM
#undef HTTP_ADDREQ_FLAG_ADD_IF_NEW
#undef HTTP_QUERY_CONTENT_LENGTH
#undef HTTP_QUERY_STATUS_CODE
#undef IDCANCEL
#undef IDI_INFORMATION
#undef IDNO
#undef IDOK
#undef IDYES
#undef INTERNET_DEFAULT_HTTPS_PORT
#undef INTERNET_DEFAULT_HTTP_PORT
#undef INTERNET_FLAG_NO_CACHE_WRITE
#undef INTERNET_FLAG_SECURE
#undef INTERNET_OPEN_TYPE_DIRECT
#undef INTERNET_OPTION_HTTP_DECODING
#undef INTERNET_SERVICE_HTTP
#undef LVNI_ALL
#undef LVNI_SELECTED
#undef LVSCW_AUTOSIZE
#undef LVSCW_AUTOSIZE_USEHEADER
#undef LVS_EX_FULLROWSELECT
#undef MB_DEFBUTTON1
#undef MB_DEFBUTTON2
#undef MB_DEFBUTTON3
#undef MB_ICONERROR
#undef MB_ICONINFORMATION
#undef MB_ICONQUESTION
#undef MB_ICONWARNING
#undef MB_OK
#undef MB_OKCANCEL
#undef MB_YESNO
#undef MB_YESNOCANCEL
#undef NIF_ICON
#undef NIF_MESSAGE
#undef NIF_TIP
#undef NIM_ADD
#undef NIM_DELETE
#undef NIM_MODIFY
#undef NIN_BALLOONUSERCLICK
#undef OFN_EXPLORER
#undef OFN_FILEMUSTEXIST
#undef OFN_HIDEREADONLY
#undef OFN_NOCHANGEDIR
#undef OFN_OVERWRITEPROMPT
#undef PBM_GETPOS
#undef PBM_SETPOS
#undef PBM_SETRANGE
#undef PBM_SETRANGE32
#undef SW_HIDE
#undef SW_SHOW
#undef SW_SHOWNORMAL
#undef WM_APP
#undef WM_CLOSE
#undef WM_COMMAND
#undef WM_INITDIALOG
#undef WM_LBUTTONDOWN
#undef WM_QUIT
#undef WM_SETTEXT
#undef WM_USER

#include "platform/files.h"
#include "platform/http.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/ui.h"

static_assert(static_cast<long long>(ui::BM_GETCHECK) == static_cast<long long>(win32_values::k_BM_GETCHECK));
static_assert(static_cast<long long>(ui::BM_SETCHECK) == static_cast<long long>(win32_values::k_BM_SETCHECK));
static_assert(static_cast<long long>(ui::BST_CHECKED) == static_cast<long long>(win32_values::k_BST_CHECKED));
static_assert(static_cast<long long>(ui::BST_UNCHECKED) == static_cast<long long>(win32_values::k_BST_UNCHECKED));
static_assert(static_cast<long long>(http::HTTP_ADDREQ_FLAG_ADD_IF_NEW) == static_cast<long long>(win32_values::k_HTTP_ADDREQ_FLAG_ADD_IF_NEW));
static_assert(static_cast<long long>(http::HTTP_QUERY_CONTENT_LENGTH) == static_cast<long long>(win32_values::k_HTTP_QUERY_CONTENT_LENGTH));
static_assert(static_cast<long long>(http::HTTP_QUERY_STATUS_CODE) == static_cast<long long>(win32_values::k_HTTP_QUERY_STATUS_CODE));
static_assert(static_cast<long long>(ui::IDCANCEL) == static_cast<long long>(win32_values::k_IDCANCEL));
// The class icon slots are GCLP_* on 64-bit Windows (GCL_* exists on 32-bit
// only), and IDI_INFORMATION is a resource pointer rather than a number.
static_assert(ui::GCL_HICON == GCLP_HICON && ui::GCL_HICONSM == GCLP_HICONSM);
static_assert(ui::IDI_INFORMATION == 32516);
static_assert(static_cast<long long>(ui::IDNO) == static_cast<long long>(win32_values::k_IDNO));
static_assert(static_cast<long long>(ui::IDOK) == static_cast<long long>(win32_values::k_IDOK));
static_assert(static_cast<long long>(ui::IDYES) == static_cast<long long>(win32_values::k_IDYES));
static_assert(static_cast<long long>(http::INTERNET_DEFAULT_HTTPS_PORT) == static_cast<long long>(win32_values::k_INTERNET_DEFAULT_HTTPS_PORT));
static_assert(static_cast<long long>(http::INTERNET_DEFAULT_HTTP_PORT) == static_cast<long long>(win32_values::k_INTERNET_DEFAULT_HTTP_PORT));
static_assert(static_cast<long long>(http::INTERNET_FLAG_NO_CACHE_WRITE) == static_cast<long long>(win32_values::k_INTERNET_FLAG_NO_CACHE_WRITE));
static_assert(static_cast<long long>(http::INTERNET_FLAG_SECURE) == static_cast<long long>(win32_values::k_INTERNET_FLAG_SECURE));
static_assert(static_cast<long long>(http::INTERNET_OPEN_TYPE_DIRECT) == static_cast<long long>(win32_values::k_INTERNET_OPEN_TYPE_DIRECT));
static_assert(static_cast<long long>(http::INTERNET_OPTION_HTTP_DECODING) == static_cast<long long>(win32_values::k_INTERNET_OPTION_HTTP_DECODING));
static_assert(static_cast<long long>(http::INTERNET_SERVICE_HTTP) == static_cast<long long>(win32_values::k_INTERNET_SERVICE_HTTP));
static_assert(static_cast<long long>(ui::LVNI_ALL) == static_cast<long long>(win32_values::k_LVNI_ALL));
static_assert(static_cast<long long>(ui::LVNI_SELECTED) == static_cast<long long>(win32_values::k_LVNI_SELECTED));
static_assert(static_cast<long long>(ui::LVSCW_AUTOSIZE) == static_cast<long long>(win32_values::k_LVSCW_AUTOSIZE));
static_assert(static_cast<long long>(ui::LVSCW_AUTOSIZE_USEHEADER) == static_cast<long long>(win32_values::k_LVSCW_AUTOSIZE_USEHEADER));
static_assert(static_cast<long long>(ui::LVS_EX_FULLROWSELECT) == static_cast<long long>(win32_values::k_LVS_EX_FULLROWSELECT));
static_assert(static_cast<long long>(ui::MB_DEFBUTTON1) == static_cast<long long>(win32_values::k_MB_DEFBUTTON1));
static_assert(static_cast<long long>(ui::MB_DEFBUTTON2) == static_cast<long long>(win32_values::k_MB_DEFBUTTON2));
static_assert(static_cast<long long>(ui::MB_DEFBUTTON3) == static_cast<long long>(win32_values::k_MB_DEFBUTTON3));
static_assert(static_cast<long long>(ui::MB_ICONERROR) == static_cast<long long>(win32_values::k_MB_ICONERROR));
static_assert(static_cast<long long>(ui::MB_ICONINFORMATION) == static_cast<long long>(win32_values::k_MB_ICONINFORMATION));
static_assert(static_cast<long long>(ui::MB_ICONQUESTION) == static_cast<long long>(win32_values::k_MB_ICONQUESTION));
static_assert(static_cast<long long>(ui::MB_ICONWARNING) == static_cast<long long>(win32_values::k_MB_ICONWARNING));
static_assert(static_cast<long long>(ui::MB_OK) == static_cast<long long>(win32_values::k_MB_OK));
static_assert(static_cast<long long>(ui::MB_OKCANCEL) == static_cast<long long>(win32_values::k_MB_OKCANCEL));
static_assert(static_cast<long long>(ui::MB_YESNO) == static_cast<long long>(win32_values::k_MB_YESNO));
static_assert(static_cast<long long>(ui::MB_YESNOCANCEL) == static_cast<long long>(win32_values::k_MB_YESNOCANCEL));
static_assert(static_cast<long long>(ui::NIF_ICON) == static_cast<long long>(win32_values::k_NIF_ICON));
static_assert(static_cast<long long>(ui::NIF_MESSAGE) == static_cast<long long>(win32_values::k_NIF_MESSAGE));
static_assert(static_cast<long long>(ui::NIF_TIP) == static_cast<long long>(win32_values::k_NIF_TIP));
static_assert(static_cast<long long>(ui::NIM_ADD) == static_cast<long long>(win32_values::k_NIM_ADD));
static_assert(static_cast<long long>(ui::NIM_DELETE) == static_cast<long long>(win32_values::k_NIM_DELETE));
static_assert(static_cast<long long>(ui::NIM_MODIFY) == static_cast<long long>(win32_values::k_NIM_MODIFY));
static_assert(static_cast<long long>(ui::NIN_BALLOONUSERCLICK) == static_cast<long long>(win32_values::k_NIN_BALLOONUSERCLICK));
static_assert(static_cast<long long>(ui::OFN_EXPLORER) == static_cast<long long>(win32_values::k_OFN_EXPLORER));
static_assert(static_cast<long long>(ui::OFN_FILEMUSTEXIST) == static_cast<long long>(win32_values::k_OFN_FILEMUSTEXIST));
static_assert(static_cast<long long>(ui::OFN_HIDEREADONLY) == static_cast<long long>(win32_values::k_OFN_HIDEREADONLY));
static_assert(static_cast<long long>(ui::OFN_NOCHANGEDIR) == static_cast<long long>(win32_values::k_OFN_NOCHANGEDIR));
static_assert(static_cast<long long>(ui::OFN_OVERWRITEPROMPT) == static_cast<long long>(win32_values::k_OFN_OVERWRITEPROMPT));
static_assert(static_cast<long long>(ui::PBM_GETPOS) == static_cast<long long>(win32_values::k_PBM_GETPOS));
static_assert(static_cast<long long>(ui::PBM_SETPOS) == static_cast<long long>(win32_values::k_PBM_SETPOS));
static_assert(static_cast<long long>(ui::PBM_SETRANGE) == static_cast<long long>(win32_values::k_PBM_SETRANGE));
static_assert(static_cast<long long>(ui::PBM_SETRANGE32) == static_cast<long long>(win32_values::k_PBM_SETRANGE32));
static_assert(static_cast<long long>(ui::SW_HIDE) == static_cast<long long>(win32_values::k_SW_HIDE));
static_assert(static_cast<long long>(ui::SW_SHOW) == static_cast<long long>(win32_values::k_SW_SHOW));
static_assert(static_cast<long long>(ui::SW_SHOWNORMAL) == static_cast<long long>(win32_values::k_SW_SHOWNORMAL));
static_assert(static_cast<long long>(ui::WM_APP) == static_cast<long long>(win32_values::k_WM_APP));
static_assert(static_cast<long long>(ui::WM_CLOSE) == static_cast<long long>(win32_values::k_WM_CLOSE));
static_assert(static_cast<long long>(ui::WM_COMMAND) == static_cast<long long>(win32_values::k_WM_COMMAND));
static_assert(static_cast<long long>(ui::WM_INITDIALOG) == static_cast<long long>(win32_values::k_WM_INITDIALOG));
static_assert(static_cast<long long>(ui::WM_LBUTTONDOWN) == static_cast<long long>(win32_values::k_WM_LBUTTONDOWN));
static_assert(static_cast<long long>(ui::WM_QUIT) == static_cast<long long>(win32_values::k_WM_QUIT));
static_assert(static_cast<long long>(ui::WM_SETTEXT) == static_cast<long long>(win32_values::k_WM_SETTEXT));
static_assert(static_cast<long long>(ui::WM_USER) == static_cast<long long>(win32_values::k_WM_USER));

namespace win32 {

// Text of the platform headers (UTF-16 as char16_t) and of the Windows calls
// (UTF-16 as wchar_t) are the same units.
inline std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}
inline std::u16string FromWide(const wchar_t* text) { return text ? FromWide(text, wcslen(text)) : std::u16string(); }
inline std::u16string FromWide(const std::wstring& text) { return FromWide(text.data(), text.size()); }

inline HWND Native(ui::Window window) { return reinterpret_cast<HWND>(window); }
inline ui::Window Portable(HWND window) { return reinterpret_cast<ui::Window>(window); }

}  // namespace win32

