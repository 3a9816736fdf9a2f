#include "update_server.h"

#include <gtest/gtest.h>

#include "platform/text.h"
#include "updater/sha1_hasher.h"

std::string Sha1Text(const std::string& bytes) {
  Sha1Hasher h;
  h.Update(bytes.data(), bytes.size());
  h.Finish();
  std::string out;
  h.DigestText(out);
  return out;
}

UpdateServer::UpdateServer() {
  // Requests are counted before they are answered, so a client that has
  // its answer always sees its request counted.
  server_.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
    std::lock_guard<std::mutex> lock(lock_);
    ++hits_[req.target];
    for (const auto& [name, value] : req.headers) lastHeaders_[name] = value;
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server_.Get(R"(/tools/(.+))", [this](const httplib::Request& req, httplib::Response& res) {
    std::lock_guard<std::mutex> lock(lock_);
    auto it = files_.find(req.matches[1]);
    if (it == files_.end()) {
      res.status = 404;
      res.set_content("no such file", "text/plain");
      return;
    }
    res.set_content(it->second, "application/octet-stream");
  });
  server_.Get("/hash.php", [this](const httplib::Request& req, httplib::Response& res) {
    std::lock_guard<std::mutex> lock(lock_);
    std::string file = req.get_param_value("file");
    const std::string prefix = "./tools/";
    std::string name = file.rfind(prefix, 0) == 0 ? file.substr(prefix.size()) : file;
    if (auto ini = inis_.find(name); ini != inis_.end()) {
      res.set_content(ini->second, "text/plain");
    } else if (auto it = files_.find(name); it != files_.end()) {
      res.set_content("[Hash]\r\n1=" + Sha1Text(it->second) + "\r\n", "text/plain");
    } else {
      res.status = 404;
      res.set_content("no such file", "text/plain");
    }
  });
}

void UpdateServer::EnsureStarted() const {
  auto* self = const_cast<UpdateServer*>(this);
  if (self->thread_.joinable()) return;
  self->port_ = self->server_.bind_to_any_port("127.0.0.1");
  EXPECT_GT(self->port_, 0);
  self->thread_ = std::thread([self] { self->server_.listen_after_bind(); });
}

UpdateServer::~UpdateServer() {
  server_.stop();
  if (thread_.joinable()) thread_.join();
}

std::string UpdateServer::host() const {
  EnsureStarted();
  return "127.0.0.1:" + std::to_string(port_);
}

std::u16string UpdateServer::host16() const { return text::Utf8ToUtf16(host()); }
std::u16string UpdateServer::url16(const std::string& target) const {
  return text::Utf8ToUtf16("http://" + host() + target);
}

void UpdateServer::SetFile(const std::string& name, const std::string& bytes) {
  std::lock_guard<std::mutex> lock(lock_);
  files_[name] = bytes;
}

void UpdateServer::SetIni(const std::string& name, const std::string& iniText) {
  std::lock_guard<std::mutex> lock(lock_);
  inis_[name] = iniText;
}

void UpdateServer::Handle(const std::string& path, httplib::Server::Handler handler) {
  server_.Get(path, std::move(handler));
}

int UpdateServer::Hits(const std::string& pathAndQuery) {
  std::lock_guard<std::mutex> lock(lock_);
  return hits_[pathAndQuery];
}

std::string UpdateServer::LastHeader(const std::string& name) {
  std::lock_guard<std::mutex> lock(lock_);
  return lastHeaders_[name];
}
