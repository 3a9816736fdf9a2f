#include "platform/posix/http/url_text.h"

#include "platform/text.h"

namespace http {

namespace {

bool IsSchemeChar(char c, bool first) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  return !first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.');
}

// Browsers and the platform client send a space in a path as %20 and raw
// UTF-8 as percent escapes; curl would reject the first and pass the second raw.
void AppendEncoded(std::string& out, std::string_view part) {
  static const char kHex[] = "0123456789ABCDEF";
  for (char ch : part) {
    auto c = static_cast<unsigned char>(ch);
    if (c == ' ' || c >= 0x80) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
}

bool IsTokenChar(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

}  // namespace

bool HasControl(std::string_view text) {
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

std::string SchemeOf(std::string_view url) {
  std::string scheme;
  for (std::size_t i = 0; i < url.size(); ++i) {
    char c = url[i];
    if (c == ':') return scheme;
    if (!IsSchemeChar(c, i == 0)) return "";
    scheme += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return "";
}

bool PrepareUrl(std::u16string_view url, std::string& out) {
  out.clear();
  const std::string bytes = text::Utf16ToUtf8(url);
  if (bytes.empty() || HasControl(bytes)) return false;
  const std::string scheme = SchemeOf(bytes);
  if (scheme != "http" && scheme != "https" && scheme != "ftp") return false;
  std::string_view rest = std::string_view(bytes).substr(scheme.size() + 1);
  if (rest.substr(0, 2) != "//") return false;
  rest.remove_prefix(2);
  const std::size_t end = rest.find_first_of("/?#");
  std::string_view authority = rest.substr(0, end);
  if (authority.empty() || authority.find(' ') != std::string_view::npos) return false;
  std::string_view host = authority.substr(authority.rfind('@') == std::string_view::npos ? 0 : authority.rfind('@') + 1);
  if (host.empty() || host[0] == ':') return false;
  out = scheme + "://";
  out += authority;
  if (end != std::string_view::npos) AppendEncoded(out, rest.substr(end));
  return true;
}

bool PrepareObjectName(std::u16string_view objectName, std::string& out) {
  out.clear();
  const std::string bytes = text::Utf16ToUtf8(objectName);
  if (HasControl(bytes)) return false;
  if (bytes.empty() || bytes[0] != '/') out += '/';
  AppendEncoded(out, bytes);
  return true;
}

bool SplitHeaders(std::u16string_view headers, std::vector<std::string>& lines) {
  const std::string bytes = text::Utf16ToUtf8(headers);
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string_view line(bytes.data() + start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    const std::size_t colon = line.find(':');
    if (colon == 0 || colon == std::string_view::npos) return false;
    for (std::size_t i = 0; i < colon; ++i)
      if (!IsTokenChar(line[i])) return false;
    for (char ch : line.substr(colon + 1)) {
      auto c = static_cast<unsigned char>(ch);
      if ((c < 0x20 && c != '\t') || c == 0x7F) return false;
    }
    lines.emplace_back(line);
  }
  return true;
}

}  // namespace http
