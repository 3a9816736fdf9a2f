// The script language of the script front end: one line per window the
// program shows (see docs/script.md).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ui::core {

struct ScriptAction {
  enum class Kind { Click, Select, KeyEnter, KeyEscape, Close, Wait, Sleep } kind = Kind::Click;
  int id = 0;
  std::vector<int> rows;  // 1-based, as written
  std::uint32_t ms = 0;
  std::string source;     // as written, for messages
};

struct ScriptLine {
  enum class Kind { Dialog, MessageBox, Open, Save } kind = Kind::Dialog;
  int number = 0;          // line number in the file
  std::string source;      // the line as written
  // "optional ..." : the window may not come; the line is then passed over.
  bool optional = false;
  // dialog NAME: ACTION, ...
  std::string name;
  std::vector<ScriptAction> actions;
  // msgbox ANSWER [after MS]
  enum class Answer { Ok, Cancel, Yes, No, Enter, Escape, Timeout } answer = Answer::Ok;
  std::uint32_t afterMs = 0;
  // open PATH | open cancel | save PATH | save cancel
  bool cancel = false;
  std::u16string path;
};

// Parses a whole script. False with `error` (naming the line) when a line
// cannot be understood.
bool ParseScript(std::string_view text, std::vector<ScriptLine>& lines, std::string& error);

}  // namespace ui::core
