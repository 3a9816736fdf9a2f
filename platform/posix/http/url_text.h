// Turning caller-supplied URLs and header text into bytes that are safe to
// hand to curl: nothing may smuggle a line break into the request.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace http {

// True when `text` holds a control character (below 0x20, or 0x7F).
bool HasControl(std::string_view text);

// The URL as curl should see it: an explicit http, https or ftp scheme
// followed by "://" and a host; spaces and non-ASCII bytes after the host
// percent-encoded. False for every other scheme, a missing host, or any
// control character (CR, LF, NUL included).
bool PrepareUrl(std::u16string_view url, std::string& out);

// A path (and query) for a hand-built request, encoded the same way.
bool PrepareObjectName(std::u16string_view objectName, std::string& out);

// Splits "Name: value\r\n..." into header lines. False when a line has no
// name, a malformed name, or a control character other than a tab.
bool SplitHeaders(std::u16string_view headers, std::vector<std::string>& lines);

// Lower-case ASCII scheme of a UTF-8 URL ("" when it has none).
std::string SchemeOf(std::string_view url);

}  // namespace http
