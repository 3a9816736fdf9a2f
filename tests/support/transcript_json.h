// Just enough JSON to read a transcript: one object per line, values that
// are strings, numbers, booleans, null, arrays and objects.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace scripted {

struct Json {
  enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string text;  // UTF-8
  std::vector<Json> items;
  std::map<std::string, Json> members;

  // A member, or a null value when absent or when this is no object.
  const Json& operator[](const std::string& name) const;
  bool Has(const std::string& name) const { return members.count(name) != 0; }
  bool IsNull() const { return kind == Kind::Null; }
  long long Int() const { return static_cast<long long>(number); }
  const std::string& Str() const { return text; }
};

// False on malformed input (trailing text included).
bool ParseJson(std::string_view source, Json& value);

// Every line of a JSON Lines text; a malformed line is returned as an
// object {"event":"malformed","text":...} so that a test sees it.
std::vector<Json> ParseJsonLines(std::string_view text);

}  // namespace scripted
