#include "platform/http.h"
#include "platform/text.h"

namespace http {

namespace {

std::uint16_t DefaultPort(std::u16string_view scheme) {
  if (text::EqualsAsciiNoCase(scheme, u"http")) return INTERNET_DEFAULT_HTTP_PORT;
  if (text::EqualsAsciiNoCase(scheme, u"https")) return INTERNET_DEFAULT_HTTPS_PORT;
  if (text::EqualsAsciiNoCase(scheme, u"ftp")) return 21;
  return 0;
}

bool IsSchemeChar(char16_t c, bool first) {
  if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) return true;
  return !first && ((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.');
}

}  // namespace

bool InternetCrackUrl(std::u16string_view url, UrlComponents& parts) {
  parts = UrlComponents{};
  const std::size_t sep = url.find(u"://");
  if (sep == 0 || sep == std::u16string_view::npos) return false;
  for (std::size_t i = 0; i < sep; ++i)
    if (!IsSchemeChar(url[i], i == 0)) return false;
  const std::u16string_view scheme = url.substr(0, sep);
  std::u16string_view rest = url.substr(sep + 3);

  const std::size_t authorityEnd = rest.find_first_of(u"/?#");
  std::u16string_view authority = rest.substr(0, authorityEnd);
  const std::u16string_view tail =
      authorityEnd == std::u16string_view::npos ? std::u16string_view{} : rest.substr(authorityEnd);

  const std::size_t at = authority.rfind(u'@');
  if (at != std::u16string_view::npos) {
    const std::u16string_view userInfo = authority.substr(0, at);
    const std::size_t colon = userInfo.find(u':');
    parts.userName = userInfo.substr(0, colon);
    if (colon != std::u16string_view::npos) parts.password = userInfo.substr(colon + 1);
    authority.remove_prefix(at + 1);
  }

  std::u16string_view host = authority, port;
  if (!authority.empty() && authority[0] == u'[') {
    const std::size_t close = authority.find(u']');
    if (close == std::u16string_view::npos) return false;
    host = authority.substr(1, close - 1);
    std::u16string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after[0] != u':') return false;
      port = after.substr(1);
    }
  } else if (const std::size_t colon = authority.rfind(u':'); colon != std::u16string_view::npos) {
    host = authority.substr(0, colon);
    port = authority.substr(colon + 1);
  }
  if (host.empty()) return false;

  parts.port = DefaultPort(scheme);
  if (!port.empty()) {
    unsigned long value = 0;
    for (char16_t c : port) {
      if (c < u'0' || c > u'9') return false;
      value = value * 10 + (c - u'0');
      if (value > 65535) return false;
    }
    if (value == 0) return false;
    parts.port = static_cast<std::uint16_t>(value);
  }

  parts.scheme = scheme;
  parts.hostName = host;
  const std::size_t extra = tail.find_first_of(u"?#");
  parts.urlPath = tail.substr(0, extra);
  if (extra != std::u16string_view::npos) parts.extraInfo = tail.substr(extra);
  return true;
}

}  // namespace http
