// A loopback site whose pages answer only when the test lets them: a page
// /<status>/<name> answers <status> once <name> is released (status 0 resets
// the connection instead). Lets a test decide the order of results.
#pragma once

#include <mutex>
#include <set>
#include <string>

#include "http/loopback.h"

class GatedSite {
 public:
  GatedSite()
      : server_([this](int fd, loopback::RawServer& s) {
          const std::string head = s.ReadRequest(fd);
          const std::size_t start = head.find(' ') + 2;
          const std::string path = head.substr(start, head.find(' ', start) - start);
          const int status = std::atoi(path.c_str());
          const std::string name = path.substr(path.find('/') + 1);
          while (!s.stopping() && !Released(name)) s.Idle(5);
          if (status == 0) {
            linger hard{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
            return;
          }
          loopback::RawServer::SendAll(fd, loopback::Response(status, "page"));
        }) {}

  std::string Page(int status, const std::string& name) const {
    return server_.Url("/" + std::to_string(status) + "/" + name);
  }
  void Release(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    released_.insert(name);
  }
  void ReleaseAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    all_ = true;
  }
  std::size_t RequestCount() { return server_.requests().size(); }

 private:
  bool Released(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    return all_ || released_.count(name) != 0;
  }
  std::mutex mutex_;
  std::set<std::string> released_;
  bool all_ = false;
  loopback::RawServer server_;
};
