// The transcript: one JSON object per line for everything the program
// showed and every answer it got, in the order things happened. Written by
// the core whatever the front end, when LINNET_TRANSCRIPT names a file.
#pragma once

#include "platform/portable/ui/front_end.h"

#include <string>
#include <string_view>
#include <vector>

namespace ui::core {

// A JSON object built key by key; texts are given in UTF-8 or UTF-16.
class JsonObject {
 public:
  JsonObject& Text(std::string_view key, std::string_view utf8);
  JsonObject& Text(std::string_view key, std::u16string_view text);
  JsonObject& Number(std::string_view key, long long value);
  JsonObject& Bool(std::string_view key, bool value);
  JsonObject& Null(std::string_view key);
  JsonObject& Raw(std::string_view key, std::string_view json);
  std::string Finish() const { return body_ + "}"; }

 private:
  void Key(std::string_view key);
  std::string body_ = "{";
};

std::string JsonString(std::string_view utf8);
std::string JsonString(std::u16string_view text);
// The "controls" array of a dialog event.
std::string ControlsJson(const std::vector<frontend::ControlView>& controls);

bool OpenTranscript(const std::string& path);
void CloseTranscript();
bool TranscriptOpen();
// Appends one line and flushes it, so that nothing is lost however the
// process ends. Thread-safe; does nothing when no transcript is open.
void WriteTranscript(const std::string& line);

// Template names as the transcript shows them.
std::string_view KindName(ControlKind kind);
std::string_view ButtonsName(frontend::Buttons buttons);
std::string_view IconName(frontend::IconKind icon);
std::string AnswerName(int id);
// A file dialog's filter as a person reads it: "HTML files|*.HTM;*.HTML".
std::u16string ReadableFilter(const std::u16string& filter);

}  // namespace ui::core
