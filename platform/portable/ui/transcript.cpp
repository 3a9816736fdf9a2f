#include "platform/portable/ui/transcript.h"

#include "platform/text.h"

#include <cstdio>
#include <mutex>

namespace ui::core {
namespace {

std::mutex transcriptMutex;
std::FILE* transcriptFile = nullptr;

}  // namespace

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
          out += buffer;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string JsonString(std::u16string_view text) { return JsonString(text::Utf16ToUtf8(text)); }

void JsonObject::Key(std::string_view key) {
  if (body_.size() > 1) body_ += ",";
  body_ += JsonString(key);
  body_ += ":";
}

JsonObject& JsonObject::Text(std::string_view key, std::string_view utf8) {
  Key(key);
  body_ += JsonString(utf8);
  return *this;
}

JsonObject& JsonObject::Text(std::string_view key, std::u16string_view text) {
  Key(key);
  body_ += JsonString(text);
  return *this;
}

JsonObject& JsonObject::Number(std::string_view key, long long value) {
  Key(key);
  body_ += std::to_string(value);
  return *this;
}

JsonObject& JsonObject::Bool(std::string_view key, bool value) {
  Key(key);
  body_ += value ? "true" : "false";
  return *this;
}

JsonObject& JsonObject::Null(std::string_view key) {
  Key(key);
  body_ += "null";
  return *this;
}

JsonObject& JsonObject::Raw(std::string_view key, std::string_view json) {
  Key(key);
  body_ += json;
  return *this;
}

std::string_view KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label: return "label";
    case ControlKind::GroupBox: return "groupbox";
    case ControlKind::Radio: return "radio";
    case ControlKind::Button: return "button";
    case ControlKind::Progress: return "progress";
    case ControlKind::ListView: return "listview";
  }
  return "label";
}

std::string_view ButtonsName(frontend::Buttons buttons) {
  switch (buttons) {
    case frontend::Buttons::Ok: return "ok";
    case frontend::Buttons::OkCancel: return "okcancel";
    case frontend::Buttons::YesNo: return "yesno";
    case frontend::Buttons::YesNoCancel: return "yesnocancel";
  }
  return "ok";
}

std::string_view IconName(frontend::IconKind icon) {
  switch (icon) {
    case frontend::IconKind::None: return "none";
    case frontend::IconKind::Information: return "information";
    case frontend::IconKind::Question: return "question";
    case frontend::IconKind::Warning: return "warning";
    case frontend::IconKind::Error: return "error";
  }
  return "none";
}

std::u16string ReadableFilter(const std::u16string& filter) {
  std::u16string out;
  std::size_t start = 0;
  while (start < filter.size()) {
    std::size_t end = filter.find(u'\0', start);
    if (end == std::u16string::npos) end = filter.size();
    if (end == start) break;
    if (!out.empty()) out += u'|';
    out += filter.substr(start, end - start);
    start = end + 1;
  }
  return out;
}

std::string AnswerName(int id) {
  switch (id) {
    case IDOK: return "ok";
    case IDCANCEL: return "cancel";
    case IDYES: return "yes";
    case IDNO: return "no";
  }
  return std::to_string(id);
}

std::string ControlsJson(const std::vector<frontend::ControlView>& controls) {
  std::string out = "[";
  for (const frontend::ControlView& control : controls) {
    if (out.size() > 1) out += ",";
    JsonObject item;
    item.Number("id", control.id)
        .Text("kind", KindName(control.kind))
        .Text("text", control.text)
        .Bool("checked", control.checked)
        .Bool("enabled", control.enabled);
    if (control.kind == ControlKind::Button) item.Bool("default", control.defaultButton);
    if (control.kind == ControlKind::Progress) {
      item.Number("pos", control.pos)
          .Raw("range", "[" + std::to_string(control.rangeMin) + "," + std::to_string(control.rangeMax) + "]");
    }
    if (control.kind == ControlKind::ListView) {
      std::string columns = "[";
      for (const auto& column : control.columns) {
        if (columns.size() > 1) columns += ",";
        columns += JsonString(column.header);
      }
      columns += "]";
      std::string rows = "[";
      std::string selected = "[";
      for (std::size_t r = 0; r < control.rows.size(); ++r) {
        if (rows.size() > 1) rows += ",";
        std::string cells = "[";
        for (const auto& cell : control.rows[r].cells) {
          if (cells.size() > 1) cells += ",";
          cells += JsonString(cell);
        }
        rows += cells + "]";
        if (control.rows[r].selected) {
          if (selected.size() > 1) selected += ",";
          selected += std::to_string(r + 1);
        }
      }
      item.Raw("columns", columns).Raw("rows", rows + "]").Raw("selected", selected + "]");
    }
    out += item.Finish();
  }
  return out + "]";
}

bool OpenTranscript(const std::string& path) {
  std::lock_guard<std::mutex> lock(transcriptMutex);
  if (transcriptFile) std::fclose(transcriptFile);
  transcriptFile = std::fopen(path.c_str(), "wb");
  return transcriptFile != nullptr;
}

void CloseTranscript() {
  std::lock_guard<std::mutex> lock(transcriptMutex);
  if (transcriptFile) std::fclose(transcriptFile);
  transcriptFile = nullptr;
}

bool TranscriptOpen() {
  std::lock_guard<std::mutex> lock(transcriptMutex);
  return transcriptFile != nullptr;
}

void WriteTranscript(const std::string& line) {
  std::lock_guard<std::mutex> lock(transcriptMutex);
  if (!transcriptFile) return;
  std::fwrite(line.data(), 1, line.size(), transcriptFile);
  std::fputc('\n', transcriptFile);
  std::fflush(transcriptFile);
}

}  // namespace ui::core
