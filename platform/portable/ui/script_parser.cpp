#include "platform/portable/ui/script_parser.h"

#include "platform/text.h"
#include "platform/ui.h"

#include <charconv>
#include <sstream>

namespace ui::core {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> Words(std::string_view s) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    std::size_t start = i;
    while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
    if (i > start) words.push_back(s.substr(start, i - start));
  }
  return words;
}

bool Number(std::string_view word, long long& value) {
  auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  return error == std::errc() && end == word.data() + word.size();
}

bool ControlId(std::string_view word, int& id) {
  if (word == "IDOK") id = IDOK;
  else if (word == "IDCANCEL") id = IDCANCEL;
  else if (word == "IDYES") id = IDYES;
  else if (word == "IDNO") id = IDNO;
  else {
    long long value = 0;
    if (!Number(word, value) || value < -1 || value > 0xFFFF) return false;
    id = static_cast<int>(value);
  }
  return true;
}

bool Milliseconds(std::string_view word, std::uint32_t& ms) {
  long long value = 0;
  if (!Number(word, value) || value < 0 || value > 24LL * 3600 * 1000) return false;
  ms = static_cast<std::uint32_t>(value);
  return true;
}

bool ParseAction(std::string_view text, ScriptAction& action, std::string& why) {
  action.source = std::string(text);
  std::vector<std::string_view> words = Words(text);
  if (words.empty()) {
    why = "an empty action";
    return false;
  }
  std::string_view verb = words[0];
  using Kind = ScriptAction::Kind;
  if (verb == "click") {
    action.kind = Kind::Click;
    if (words.size() != 2 || !ControlId(words[1], action.id)) {
      why = "click takes one control id";
      return false;
    }
  } else if (verb == "select") {
    action.kind = Kind::Select;
    for (std::size_t i = 1; i < words.size(); ++i) {
      long long row = 0;
      if (!Number(words[i], row) || row < 1 || row > 1000000000) {
        why = "select takes row numbers from 1";
        return false;
      }
      action.rows.push_back(static_cast<int>(row));
    }
  } else if (verb == "key") {
    if (words.size() == 2 && words[1] == "enter")
      action.kind = Kind::KeyEnter;
    else if (words.size() == 2 && words[1] == "escape")
      action.kind = Kind::KeyEscape;
    else {
      why = "key takes enter or escape";
      return false;
    }
  } else if (verb == "close" && words.size() == 1) {
    action.kind = Kind::Close;
  } else if (verb == "wait" && words.size() == 1) {
    action.kind = Kind::Wait;
  } else if (verb == "sleep") {
    action.kind = Kind::Sleep;
    if (words.size() != 2 || !Milliseconds(words[1], action.ms)) {
      why = "sleep takes milliseconds";
      return false;
    }
  } else {
    why = "unknown action '" + std::string(verb) + "'";
    return false;
  }
  return true;
}

bool ParseLine(std::string_view text, ScriptLine& line, std::string& why) {
  std::vector<std::string_view> words = Words(text);
  std::string_view verb = words[0];
  if (verb == "dialog") {
    line.kind = ScriptLine::Kind::Dialog;
    std::string_view rest = Trim(text.substr(text.find("dialog") + 6));
    std::size_t colon = rest.find(':');
    line.name = std::string(Trim(rest.substr(0, colon)));
    if (line.name.empty() || line.name.find_first_of(" \t") != std::string::npos) {
      why = "dialog takes a template name, then ':' and the actions";
      return false;
    }
    if (colon == std::string_view::npos) return true;
    std::string_view actions = Trim(rest.substr(colon + 1));
    while (!actions.empty()) {
      std::size_t comma = actions.find(',');
      ScriptAction action;
      if (!ParseAction(Trim(actions.substr(0, comma)), action, why)) return false;
      line.actions.push_back(std::move(action));
      if (comma == std::string_view::npos) break;
      actions = Trim(actions.substr(comma + 1));
      if (actions.empty()) {
        why = "an empty action after ','";
        return false;
      }
    }
    return true;
  }
  if (verb == "msgbox") {
    line.kind = ScriptLine::Kind::MessageBox;
    if (words.size() != 2 && !(words.size() == 4 && words[2] == "after")) {
      why = "msgbox takes an answer, optionally followed by 'after MS'";
      return false;
    }
    using Answer = ScriptLine::Answer;
    std::string_view answer = words[1];
    if (answer == "ok") line.answer = Answer::Ok;
    else if (answer == "cancel") line.answer = Answer::Cancel;
    else if (answer == "yes") line.answer = Answer::Yes;
    else if (answer == "no") line.answer = Answer::No;
    else if (answer == "enter") line.answer = Answer::Enter;
    else if (answer == "escape") line.answer = Answer::Escape;
    else if (answer == "timeout") line.answer = Answer::Timeout;
    else {
      why = "msgbox answers are ok, cancel, yes, no, enter, escape and timeout";
      return false;
    }
    if (words.size() == 4 && !Milliseconds(words[3], line.afterMs)) {
      why = "'after' takes milliseconds";
      return false;
    }
    return true;
  }
  if (verb == "open" || verb == "save") {
    line.kind = verb == "open" ? ScriptLine::Kind::Open : ScriptLine::Kind::Save;
    std::string_view path = Trim(text.substr(text.find(verb) + verb.size()));
    if (path.empty()) {
      why = std::string(verb) + " takes a path or 'cancel'";
      return false;
    }
    if (path == "cancel")
      line.cancel = true;
    else
      line.path = text::Utf8ToUtf16(path);
    return true;
  }
  why = "a line starts with dialog, msgbox, open or save";
  return false;
}

}  // namespace

bool ParseScript(std::string_view text, std::vector<ScriptLine>& lines, std::string& error) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  int number = 0;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++number;
    std::string_view trimmed = Trim(raw);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    ScriptLine line;
    line.number = number;
    line.source = std::string(trimmed);
    std::string why;
    std::vector<std::string_view> words = Words(trimmed);
    std::string_view body = trimmed;
    if (words[0] == "optional") {
      line.optional = true;
      body = Trim(trimmed.substr(words[0].size()));
      if (body.empty()) why = "optional is followed by the line for a window that may not come";
    }
    if (!why.empty() || !ParseLine(body, line, why)) {
      error = "script line " + std::to_string(number) + ": " + why + ": " + line.source;
      return false;
    }
    lines.push_back(std::move(line));
  }
  return true;
}

}  // namespace ui::core
