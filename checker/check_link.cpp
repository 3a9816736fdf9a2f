#include "checker/check_link.h"

#include <string>

#include "platform/text.h"

std::int32_t ParseStatusText(std::u16string_view text) {
  const std::string bytes = text::Utf16ToUtf8(text);
  std::size_t i = 0;
  while (i < bytes.size() && (bytes[i] == ' ' || (bytes[i] >= '\t' && bytes[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < bytes.size() && (bytes[i] == '+' || bytes[i] == '-')) negative = bytes[i++] == '-';
  std::int64_t value = 0;
  for (; i < bytes.size() && bytes[i] >= '0' && bytes[i] <= '9'; ++i) {
    value = value * 10 + (bytes[i] - '0');
    if (value > INT32_MAX) return negative ? INT32_MIN : INT32_MAX;  // saturate rather than wrap
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

LinkVerdict ClassifyLink(bool opened, std::int32_t status, ActionFlags flags) {
  if (!opened) {
    if (flags & AF_DELETE_FAILURE) return {Delete, kResultFailed};
    return {Keep, kResultKeep};
  }
  if (status == 404) return {(flags & AF_FIX_404) ? Fix : Delete, kResult404};
  if (status == 500 && (flags & AF_DELETE_500)) return {Delete, kResult500};
  return {Keep, kResultKeep};
}

bool IsFetchedOverNetwork(std::u16string_view address) {
  const std::size_t colon = address.find(u':');
  if (colon == std::u16string_view::npos) return false;
  std::u16string scheme(address.substr(0, colon));
  for (char16_t& c : scheme)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return scheme == u"http" || scheme == u"https" || scheme == u"ftp";
}

LinkVerdict CheckUrl(http::Handle session, std::u16string_view url, ActionFlags flags) {
  if (!IsFetchedOverNetwork(url)) return {Keep, kResultKeep};
  http::Handle request = http::InternetOpenUrl(session, url, u"", http::INTERNET_FLAG_NO_CACHE_WRITE);
  std::u16string statusText;
  if (request) http::HttpQueryInfo(request, http::HTTP_QUERY_STATUS_CODE, statusText);
  const LinkVerdict verdict = ClassifyLink(request != nullptr, ParseStatusText(statusText), flags);
  // Closing right after the status query drops the connection: no body is fetched.
  if (request) http::InternetCloseHandle(request);
  return verdict;
}
