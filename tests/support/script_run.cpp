#include "support/script_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace scripted {

std::vector<const Json*> RunResult::Events(const std::string& kind) const {
  std::vector<const Json*> found;
  for (const Json& event : events)
    if (event["event"].Str() == kind) found.push_back(&event);
  return found;
}

std::vector<std::string> RunResult::MessageTexts() const {
  std::vector<std::string> texts;
  for (const Json* event : Events("msgbox")) texts.push_back((*event)["text"].Str());
  return texts;
}

const Json* RunResult::FindDialog(const std::string& name, int nth) const {
  for (const Json* event : Events("dialog"))
    if ((*event)["name"].Str() == name && nth-- == 0) return event;
  return nullptr;
}

const Json* RunResult::FindEnd(const std::string& name) const {
  const Json* last = nullptr;
  for (const Json* event : Events("end"))
    if ((*event)["name"].Str() == name) last = event;
  return last;
}

std::string RunResult::Summary() const {
  std::string out;
  for (const Json& event : events) {
    out += event["event"].Str();
    if (event.Has("name") && !event["name"].IsNull()) out += " " + event["name"].Str();
    if (event.Has("text")) out += " \"" + event["text"].Str() + "\"";
    if (event.Has("code")) out += " " + std::to_string(event["code"].Int());
    if (event.Has("answer") && !event["answer"].IsNull()) out += " -> " + event["answer"].Str();
    out += "\n";
  }
  return out;
}

std::vector<Json> ReadTranscript(const std::string& path) { return ParseJsonLines(ReadFileBytes(path)); }

const Json* FindControl(const Json& dialogEvent, int id) {
  for (const Json& control : dialogEvent["controls"].items)
    if (control["id"].Int() == id) return &control;
  return nullptr;
}

std::string ControlText(const Json& dialogEvent, int id) {
  const Json* control = FindControl(dialogEvent, id);
  return control ? (*control)["text"].Str() : std::string();
}

RunResult RunScript(const RunOptions& options) {
  RunResult result;
  auto scratch = std::make_shared<TempDir>();
  result.folders.push_back(scratch);
  auto fresh = [&](const std::string& given) {
    if (!given.empty()) return given;
    auto dir = std::make_shared<TempDir>();
    result.folders.push_back(dir);
    return dir->path();
  };
  result.home = fresh(options.home);
  result.workingDirectory = fresh(options.workingDirectory);
  std::string scriptPath = scratch->file("script.txt");
  std::string transcriptPath = scratch->file("transcript.jsonl");
  std::string errorPath = scratch->file("stderr.txt");
  WriteFileBytes(scriptPath, options.script);

  std::map<std::string, std::string> environment;
  for (char** entry = environ; *entry; ++entry) {
    std::string pair = *entry;
    std::size_t eq = pair.find('=');
    if (eq == std::string::npos) continue;
    std::string name = pair.substr(0, eq);
    if (name.rfind("LINNET_", 0) == 0) continue;
    environment[name] = pair.substr(eq + 1);
  }
  environment["HOME"] = result.home;
  if (options.useScript) environment["LINNET_SCRIPT"] = scriptPath;
  environment["LINNET_TRANSCRIPT"] = transcriptPath;
  environment["LINNET_SCRIPT_IDLE_MS"] = "1000";
  for (const auto& [name, value] : options.environment) environment[name] = value;

  std::vector<std::string> envStrings;
  for (const auto& [name, value] : environment) envStrings.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& s : envStrings) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> argStrings{options.binary};
  argStrings.insert(argStrings.end(), options.arguments.begin(), options.arguments.end());
  std::vector<char*> argv;
  for (std::string& s : argStrings) argv.push_back(s.data());
  argv.push_back(nullptr);

  pid_t child = fork();
  if (child < 0) {
    result.errorOutput = "fork failed";
    return result;
  }
  if (child == 0) {
    setpgid(0, 0);
    int in = open("/dev/null", O_RDONLY);
    int out = open("/dev/null", O_WRONLY);
    int err = open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in >= 0) dup2(in, STDIN_FILENO);
    if (out >= 0) dup2(out, STDOUT_FILENO);
    if (err >= 0) dup2(err, STDERR_FILENO);
    if (chdir(result.workingDirectory.c_str()) != 0) _exit(126);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeLimitSeconds);
  int status = 0;
  for (;;) {
    pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) break;
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(-child, SIGKILL);
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      result.timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (!result.timedOut && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  result.errorOutput = ReadFileBytes(errorPath);
  result.transcriptText = ReadFileBytes(transcriptPath);
  result.events = ParseJsonLines(result.transcriptText);
  return result;
}

}  // namespace scripted
