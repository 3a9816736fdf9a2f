#include "program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/temp_dir.h"

#ifndef LINNET_BINARY
#define LINNET_BINARY "linnet"
#endif

std::vector<std::string> ProgramRun::MessageTexts() const {
  std::vector<std::string> texts;
  for (const auto& e : events)
    if (e["event"].Str() == "msgbox") texts.push_back(e["text"].Str());
  return texts;
}

bool ProgramRun::ShowedDialog(const std::string& name) const {
  for (const auto& e : events)
    if (e["event"].Str() == "dialog" && e["name"].Str() == name) return true;
  return false;
}

std::string ProgramRun::Summary() const {
  std::string out = "exit code " + std::to_string(exitCode) + "\n";
  for (const auto& e : events) {
    out += "  " + e["event"].Str();
    if (e.Has("name")) out += " " + e["name"].Str();
    if (e.Has("text")) out += " \"" + e["text"].Str() + "\"";
    if (e.Has("result")) out += " -> " + std::to_string(e["result"].Int());
    out += "\n";
  }
  return out + "standard error:\n" + errorOutput;
}

ProgramRun RunProgram(const std::string& script, const std::string& workDir, int timeLimitSeconds) {
  ProgramRun run;
  const std::string home = workDir + "/home";
  mkdir(home.c_str(), 0755);
  const std::string scriptPath = workDir + "/script.txt";
  const std::string transcriptPath = workDir + "/transcript.jsonl";
  const std::string errorPath = workDir + "/stderr.txt";
  WriteFileBytes(scriptPath, script);

  const pid_t child = fork();
  if (child == 0) {
    setpgid(0, 0);
    if (chdir(workDir.c_str()) != 0) _exit(120);
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
    unsetenv("WINEPREFIX");
    setenv("LINNET_SCRIPT", scriptPath.c_str(), 1);
    setenv("LINNET_TRANSCRIPT", transcriptPath.c_str(), 1);
    setenv("LINNET_SCRIPT_IDLE_MS", "3000", 1);
    setenv("LINNET_ASSUME_ONLINE", "1", 1);
    const int in = open("/dev/null", O_RDONLY);
    const int err = open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || err < 0) _exit(121);
    dup2(in, 0);
    dup2(err, 1);
    dup2(err, 2);
    execl(LINNET_BINARY, LINNET_BINARY, static_cast<char*>(nullptr));
    _exit(122);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeLimitSeconds);
  int status = 0;
  for (;;) {
    if (waitpid(child, &status, WNOHANG) == child) {
      if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
      break;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(-child, SIGKILL);
      waitpid(child, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  run.errorOutput = ReadFileBytes(errorPath);
  run.events = scripted::ParseJsonLines(ReadFileBytes(transcriptPath));
  return run;
}
