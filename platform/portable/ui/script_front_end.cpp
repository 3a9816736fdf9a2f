#include "platform/portable/ui/script_front_end.h"

#include "platform/portable/ui/script_parser.h"

#include "platform/text.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>

namespace ui::core {
namespace {

using Clock = std::chrono::steady_clock;
using frontend::Input;
using frontend::InputKind;
using frontend::Screen;
using frontend::WaitingKind;

std::string OneLine(std::u16string_view text) {
  std::string out;
  for (char c : text::Utf16ToUtf8(text)) {
    if (c == '\r') continue;
    if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

std::string Describe(const Screen& screen) {
  switch (screen.waiting) {
    case WaitingKind::Dialog:
      for (const auto& dialog : screen.dialogs)
        if (dialog.handle == screen.waitingDialog)
          return "dialog " + dialog.name + " \"" + OneLine(dialog.caption) + "\" waiting for input";
      return "a dialog waiting for input";
    case WaitingKind::MessageBox: {
      const auto& box = *screen.messageBox;
      static const char* const kButtons[] = {"ok", "okcancel", "yesno", "yesnocancel"};
      return "msgbox \"" + OneLine(box.caption) + "\": \"" + OneLine(box.text) + "\" (" +
             kButtons[static_cast<int>(box.buttons)] + (box.timeoutMs ? ", timed" : "") + ")";
    }
    case WaitingKind::FileDialog:
      return std::string(screen.fileDialog->save ? "save" : "open") + " file dialog \"" +
             OneLine(screen.fileDialog->title) + "\"";
    case WaitingKind::Nothing:
      break;
  }
  return "nothing waiting for input";
}

class ScriptFrontEnd final : public frontend::FrontEnd {
 public:
  ScriptFrontEnd(std::vector<ScriptLine> lines, long idleMs) : lines_(std::move(lines)), idle_(idleMs) {}

  std::string Name() const override { return "script"; }
  void Render(const Screen&) override {}
  bool LaunchesUrls() const override { return false; }
  void Stop() override {}

  void Wake() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      woken_ = true;
    }
    cv_.notify_all();
  }

  Input WaitForInput(const Screen& screen, std::optional<std::chrono::milliseconds> timeout) override {
    if (screen.waiting == WaitingKind::Nothing) {
      // A plain message loop (an update running, say): nothing to answer.
      Sleep(timeout);
      return {};
    }
    if (screen.waitingChanged || !bound_) Bind(screen);
    const ScriptLine& line = lines_[current_];
    Clock::time_point now = Clock::now();
    if (pauseUntil_) {
      if (now < *pauseUntil_) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(*pauseUntil_ - now);
        Sleep(timeout ? std::min(*timeout, left) : left);
        return {};
      }
      pauseUntil_.reset();
      lastActivity_ = now;
    }
    switch (line.kind) {
      case ScriptLine::Kind::Dialog:
        while (action_ < line.actions.size()) {
          const ScriptAction& action = line.actions[action_];
          if (action.kind == ScriptAction::Kind::Wait) {
            Sleep(timeout);  // the dialog ends by itself
            return {};
          }
          ++action_;
          lastActivity_ = now;
          if (action.kind == ScriptAction::Kind::Sleep) {
            pauseUntil_ = now + std::chrono::milliseconds(action.ms);
            return {};
          }
          return DialogInput(action, screen);
        }
        break;
      case ScriptLine::Kind::MessageBox:
        if (!delivered_) {
          delivered_ = true;
          lastActivity_ = now;
          return BoxInput(line);
        }
        break;
      case ScriptLine::Kind::Open:
      case ScriptLine::Kind::Save:
        if (!delivered_) {
          delivered_ = true;
          lastActivity_ = now;
          Input input;
          input.kind = line.cancel ? InputKind::FileCancelled : InputKind::FileChosen;
          input.path = line.path;
          return input;
        }
        break;
    }
    // The line is used up and its window still waits: the next line may
    // address it again (optional lines for windows that did not come are
    // passed over); otherwise give it a little time to end by itself.
    std::size_t next = PastOptional(current_ + 1, screen);
    if (next < lines_.size() && Addresses(lines_[next], screen)) {
      Take(next);
      return {};
    }
    auto idleLeft = std::chrono::ceil<std::chrono::milliseconds>(lastActivity_ + idle_ - now);
    if (idleLeft.count() <= 0) Mismatch(screen, current_ + 1, next);
    if (Sleep(timeout ? std::min(*timeout, idleLeft) : idleLeft)) lastActivity_ = Clock::now();
    return {};
  }

 private:
  // Returns true when woken, false when the time ran out.
  bool Sleep(std::optional<std::chrono::milliseconds> timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (timeout)
      cv_.wait_for(lock, *timeout, [&] { return woken_; });
    else
      cv_.wait(lock, [&] { return woken_; });
    bool woken = woken_;
    woken_ = false;
    return woken;
  }

  static bool HasWork(const ScriptLine& line, std::size_t from) {
    for (std::size_t i = from; i < line.actions.size(); ++i)
      if (line.actions[i].kind != ScriptAction::Kind::Wait && line.actions[i].kind != ScriptAction::Kind::Sleep)
        return true;
    return false;
  }

  // Something new waits for input (or a dialog is current again).
  void Bind(const Screen& screen) {
    if (bound_) {
      const ScriptLine& line = lines_[current_];
      if (line.kind == ScriptLine::Kind::Dialog && screen.waiting == WaitingKind::Dialog &&
          screen.waitingDialog == boundDialog_ && action_ < line.actions.size())
        return;  // back from a plain message loop: the same line goes on
      if (line.kind == ScriptLine::Kind::Dialog && HasWork(line, action_)) {
        std::string shown = Describe(screen);
        frontend::ReportMismatch(shown, "line " + std::to_string(line.number) + ": " + line.source +
                                            " (still to do: " + line.actions[action_].source + ")");
      }
    }
    const std::size_t first = bound_ ? current_ + 1 : 0;
    std::size_t next = first;
    while (next < lines_.size() && !Addresses(lines_[next], screen)) {
      const ScriptLine& line = lines_[next];
      // A window that may not come did not: its line is passed over. A
      // dialog that only had to end by itself ("wait") may end before it
      // ever waited for input (a check that finishes at once): its line is
      // then done, and the line after it answers what is shown now.
      if (line.optional || (next + 1 < lines_.size() && OnlyWaits(line) && !Shown(line.name, screen)))
        ++next;
      else
        break;
    }
    if (next >= lines_.size() || !Addresses(lines_[next], screen)) Mismatch(screen, first, next);
    Take(next);
    boundDialog_ = screen.waitingDialog;
  }

  static bool OnlyWaits(const ScriptLine& line) {
    return line.kind == ScriptLine::Kind::Dialog && !line.actions.empty() && !HasWork(line, 0) &&
           line.actions.back().kind == ScriptAction::Kind::Wait;
  }

  static bool Shown(const std::string& name, const Screen& screen) {
    for (const auto& dialog : screen.dialogs)
      if (dialog.name == name) return true;
    return false;
  }

  void Take(std::size_t index) {
    bound_ = true;
    current_ = index;
    action_ = 0;
    delivered_ = false;
    pauseUntil_.reset();
    lastActivity_ = Clock::now();
    const ScriptLine& line = lines_[index];
    if (line.kind == ScriptLine::Kind::MessageBox && line.afterMs)
      pauseUntil_ = lastActivity_ + std::chrono::milliseconds(line.afterMs);
  }

  static bool Addresses(const ScriptLine& line, const Screen& screen) {
    switch (line.kind) {
      case ScriptLine::Kind::Dialog:
        if (screen.waiting != WaitingKind::Dialog) return false;
        for (const auto& dialog : screen.dialogs)
          if (dialog.handle == screen.waitingDialog) return dialog.name == line.name;
        return false;
      case ScriptLine::Kind::MessageBox: {
        if (screen.waiting != WaitingKind::MessageBox) return false;
        const auto& box = *screen.messageBox;
        auto offers = [&](int id) { return std::find(box.buttonIds.begin(), box.buttonIds.end(), id) != box.buttonIds.end(); };
        switch (line.answer) {
          case ScriptLine::Answer::Ok: return offers(IDOK);
          case ScriptLine::Answer::Cancel: return offers(IDCANCEL);
          case ScriptLine::Answer::Yes: return offers(IDYES);
          case ScriptLine::Answer::No: return offers(IDNO);
          case ScriptLine::Answer::Timeout: return box.timeoutMs != 0;
          default: return true;
        }
      }
      case ScriptLine::Kind::Open:
        return screen.waiting == WaitingKind::FileDialog && !screen.fileDialog->save;
      case ScriptLine::Kind::Save:
        return screen.waiting == WaitingKind::FileDialog && screen.fileDialog->save;
    }
    return false;
  }

  // The first line from `from` on that is not an optional line for a window
  // other than the one shown.
  std::size_t PastOptional(std::size_t from, const Screen& screen) const {
    while (from < lines_.size() && lines_[from].optional && !Addresses(lines_[from], screen)) ++from;
    return from;
  }

  // What the script could have answered with: every optional line passed
  // over on the way (from `first`), then the line at `last` or the end.
  [[noreturn]] void Mismatch(const Screen& screen, std::size_t first, std::size_t last) {
    auto name = [&](std::size_t i) { return "line " + std::to_string(lines_[i].number) + ": " + lines_[i].source; };
    std::string expected;
    for (std::size_t i = first; i < last && i < lines_.size(); ++i)
      if (lines_[i].optional) expected += name(i) + " or ";
    expected += last < lines_.size() ? name(last) : std::string("the end of the script");
    frontend::ReportMismatch(Describe(screen), expected);
  }

  Input DialogInput(const ScriptAction& action, const Screen& screen) {
    Input input;
    input.window = screen.waitingDialog;
    switch (action.kind) {
      case ScriptAction::Kind::Click:
        input.kind = InputKind::Click;
        input.id = action.id;
        break;
      case ScriptAction::Kind::Select:
        input.kind = InputKind::Select;
        for (int row : action.rows) input.rows.push_back(row - 1);
        break;
      case ScriptAction::Kind::KeyEnter: input.kind = InputKind::KeyEnter; break;
      case ScriptAction::Kind::KeyEscape: input.kind = InputKind::KeyEscape; break;
      case ScriptAction::Kind::Close: input.kind = InputKind::Close; break;
      default: break;
    }
    return input;
  }

  static Input BoxInput(const ScriptLine& line) {
    Input input;
    input.kind = InputKind::Answer;
    switch (line.answer) {
      case ScriptLine::Answer::Ok: input.id = IDOK; break;
      case ScriptLine::Answer::Cancel: input.id = IDCANCEL; break;
      case ScriptLine::Answer::Yes: input.id = IDYES; break;
      case ScriptLine::Answer::No: input.id = IDNO; break;
      case ScriptLine::Answer::Enter: input.kind = InputKind::AnswerDefault; break;
      case ScriptLine::Answer::Escape: input.kind = InputKind::AnswerEscape; break;
      case ScriptLine::Answer::Timeout: input.kind = InputKind::TimeOut; break;
    }
    return input;
  }

  std::vector<ScriptLine> lines_;
  std::chrono::milliseconds idle_;
  bool bound_ = false;
  std::size_t current_ = 0;
  std::size_t action_ = 0;
  bool delivered_ = false;
  Window boundDialog_ = nullptr;
  std::optional<Clock::time_point> pauseUntil_;
  Clock::time_point lastActivity_ = Clock::now();

  std::mutex mutex_;
  std::condition_variable cv_;
  bool woken_ = false;
};

}  // namespace

std::unique_ptr<frontend::FrontEnd> MakeScriptFrontEnd(std::string_view scriptText, std::string& error, long idleMs) {
  std::vector<ScriptLine> lines;
  if (!ParseScript(scriptText, lines, error)) return nullptr;
  if (idleMs < 0) {
    idleMs = 3000;
    if (const char* configured = std::getenv("LINNET_SCRIPT_IDLE_MS"); configured && *configured) {
      char* end = nullptr;
      long value = std::strtol(configured, &end, 10);
      if (end && *end == '\0' && value >= 0) idleMs = value;
    }
  }
  return std::make_unique<ScriptFrontEnd>(std::move(lines), idleMs);
}

}  // namespace ui::core
