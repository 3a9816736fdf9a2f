#include "support/transcript_json.h"

#include <cctype>
#include <cstdlib>

namespace scripted {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view s) : s_(s) {}

  bool Whole(Json& value) {
    if (!Value(value)) return false;
    Space();
    return i_ == s_.size();
  }

 private:
  void Space() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r' || s_[i_] == '\n')) ++i_;
  }

  bool Literal(std::string_view word) {
    if (s_.substr(i_, word.size()) != word) return false;
    i_ += word.size();
    return true;
  }

  static void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  bool Hex4(unsigned& value) {
    if (i_ + 4 > s_.size()) return false;
    value = 0;
    for (int k = 0; k < 4; ++k) {
      char c = s_[i_++];
      value <<= 4;
      if (c >= '0' && c <= '9') value |= c - '0';
      else if (c >= 'a' && c <= 'f') value |= c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') value |= c - 'A' + 10;
      else return false;
    }
    return true;
  }

  bool String(std::string& out) {
    if (i_ >= s_.size() || s_[i_] != '"') return false;
    ++i_;
    while (i_ < s_.size()) {
      char c = s_[i_++];
      if (c == '"') return true;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (i_ >= s_.size()) return false;
      char e = s_[i_++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          unsigned cp = 0;
          if (!Hex4(cp)) return false;
          if (cp >= 0xD800 && cp < 0xDC00 && Literal("\\u")) {
            unsigned low = 0;
            if (!Hex4(low)) return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          }
          AppendUtf8(out, cp);
          break;
        }
        default: return false;
      }
    }
    return false;
  }

  bool Value(Json& value) {
    Space();
    if (i_ >= s_.size()) return false;
    char c = s_[i_];
    if (c == '{') {
      ++i_;
      value.kind = Json::Kind::Object;
      Space();
      if (i_ < s_.size() && s_[i_] == '}') return ++i_, true;
      for (;;) {
        Space();
        std::string key;
        if (!String(key)) return false;
        Space();
        if (i_ >= s_.size() || s_[i_++] != ':') return false;
        if (!Value(value.members[key])) return false;
        Space();
        if (i_ >= s_.size()) return false;
        if (s_[i_] == ',') { ++i_; continue; }
        if (s_[i_] == '}') return ++i_, true;
        return false;
      }
    }
    if (c == '[') {
      ++i_;
      value.kind = Json::Kind::Array;
      Space();
      if (i_ < s_.size() && s_[i_] == ']') return ++i_, true;
      for (;;) {
        value.items.emplace_back();
        if (!Value(value.items.back())) return false;
        Space();
        if (i_ >= s_.size()) return false;
        if (s_[i_] == ',') { ++i_; continue; }
        if (s_[i_] == ']') return ++i_, true;
        return false;
      }
    }
    if (c == '"') {
      value.kind = Json::Kind::String;
      return String(value.text);
    }
    if (Literal("true")) { value.kind = Json::Kind::Bool; value.boolean = true; return true; }
    if (Literal("false")) { value.kind = Json::Kind::Bool; return true; }
    if (Literal("null")) { value.kind = Json::Kind::Null; return true; }
    std::size_t start = i_;
    while (i_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[i_])) || s_[i_] == '-' || s_[i_] == '+' ||
                              s_[i_] == '.' || s_[i_] == 'e' || s_[i_] == 'E'))
      ++i_;
    if (i_ == start) return false;
    std::string number(s_.substr(start, i_ - start));
    char* end = nullptr;
    value.kind = Json::Kind::Number;
    value.number = std::strtod(number.c_str(), &end);
    return end && *end == '\0';
  }

  std::string_view s_;
  std::size_t i_ = 0;
};

}  // namespace

const Json& Json::operator[](const std::string& name) const {
  static const Json kNull;
  auto it = members.find(name);
  return it == members.end() ? kNull : it->second;
}

bool ParseJson(std::string_view source, Json& value) {
  value = Json();
  return Parser(source).Whole(value);
}

std::vector<Json> ParseJsonLines(std::string_view text) {
  std::vector<Json> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.find_first_not_of(" \t\r") == std::string_view::npos) continue;
    Json value;
    if (!ParseJson(line, value)) {
      value = Json();
      value.kind = Json::Kind::Object;
      value.members["event"].kind = Json::Kind::String;
      value.members["event"].text = "malformed";
      value.members["text"].kind = Json::Kind::String;
      value.members["text"].text = std::string(line);
    }
    lines.push_back(std::move(value));
  }
  return lines;
}

}  // namespace scripted
