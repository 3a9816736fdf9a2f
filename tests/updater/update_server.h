// A loopback update server for the updater's tests: it serves files under
// "/tools/<name>" and their digest INI under "/hash.php?file=./tools/<name>",
// on 127.0.0.1 with an ephemeral port, and stops when it goes out of scope.
#pragma once

#include <httplib.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

class UpdateServer {
 public:
  UpdateServer();
  ~UpdateServer();

  // "127.0.0.1:<port>". The server starts listening at the first call, so
  // handlers are added before it.
  std::string host() const;
  std::u16string host16() const;
  std::u16string url16(const std::string& target) const;

  // The current copy of a file; its digest INI is derived from it unless
  // SetIni gives another text.
  void SetFile(const std::string& name, const std::string& bytes);
  void SetIni(const std::string& name, const std::string& iniText);
  // Any other handler, for downloads' special answers.
  void Handle(const std::string& path, httplib::Server::Handler handler);

  int Hits(const std::string& pathAndQuery);
  std::string LastHeader(const std::string& name);

  httplib::Server& server() { return server_; }

 private:
  void EnsureStarted() const;
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  std::mutex lock_;
  std::map<std::string, std::string> files_;
  std::map<std::string, std::string> inis_;
  std::map<std::string, int> hits_;
  std::map<std::string, std::string> lastHeaders_;
};

// The upper-case SHA-1 text of bytes.
std::string Sha1Text(const std::string& bytes);
