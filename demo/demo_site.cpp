// A small web site on loopback for trying Linnet on a machine without the
// internet: live pages, missing pages, server errors, redirects, and a link
// to a port where nothing listens. It writes a bookmark file that points at
// itself and serves until its parent process ends.
//
// Usage: linnet_demo_site --bookmarks FILE [--copy FILE] [--ready FILE]
#include <httplib.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

namespace {

// A loopback port where nothing listens: bound for a moment, then closed.
int UnusedPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 9;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  int port = 9;
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
    port = ntohs(addr.sin_port);
  close(fd);
  return port;
}

std::string BookmarkFile(int port, int deadPort) {
  std::string site = "http://127.0.0.1:" + std::to_string(port);
  std::string dead = "http://127.0.0.1:" + std::to_string(deadPort);
  std::string s =
      "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n"
      "<TITLE>Bookmarks</TITLE>\r\n<H1>Bookmarks</H1>\r\n<DL><p>\r\n";
  auto link = [&](const std::string& url, const std::string& title) {
    s += "<DT><A HREF=\"" + url + "\" ADD_DATE=\"1700000000\">" + title + "</A>\r\n";
  };
  s += "<DT><H3 ADD_DATE=\"1700000000\">News</H3>\r\n<DL><p>\r\n";
  link(site + "/news/today.html", "Today's news");
  link(site + "/news/archive/2019/old-story.html", "An old story (gone: 404)");
  link(site + "/news/moved", "Moved page (redirects to a live page)");
  s += "</DL><p>\r\n";
  s += "<DT><H3 ADD_DATE=\"1700000000\">Tools</H3>\r\n<DL><p>\r\n";
  link(site + "/tools/converter", "Unit converter");
  link(site + "/tools/broken", "Broken tool (server error: 500)");
  link(site + "/tools/forbidden", "Members only (403: kept)");
  link(dead + "/nothing-here", "Closed site (connection refused)");
  s += "</DL><p>\r\n";
  s += "<DT><H3 ADD_DATE=\"1700000000\">Recipes</H3>\r\n<DL><p>\r\n";
  link(site + "/recipes/bread.html", "Bread");
  link(site + "/recipes/moved-away", "Soup (redirects to a missing page)");
  s += "</DL><p>\r\n";
  link(site + "/", "Demo site home");
  link(site + "/slow", "A slow but live page");
  s += "</DL><p>\r\n";
  return s;
}

void Page(httplib::Response& res, const std::string& title) {
  res.set_content("<html><head><title>" + title + "</title></head><body><h1>" + title +
                      "</h1><p>A page of the Linnet demo site.</p></body></html>",
                  "text/html");
}

}  // namespace

int main(int argc, char** argv) {
  std::string bookmarks, copy, ready;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string opt = argv[i];
    if (opt == "--bookmarks") bookmarks = argv[i + 1];
    else if (opt == "--copy") copy = argv[i + 1];
    else if (opt == "--ready") ready = argv[i + 1];
  }
  if (bookmarks.empty()) {
    std::fprintf(stderr, "usage: %s --bookmarks FILE [--copy FILE] [--ready FILE]\n", argv[0]);
    return 2;
  }
  // Stop with the program that started us, however it ends.
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (getppid() == 1) return 0;

  httplib::Server server;
  server.Get("/", [](const httplib::Request&, httplib::Response& res) { Page(res, "Linnet demo site"); });
  server.Get("/news/today.html", [](const httplib::Request&, httplib::Response& res) { Page(res, "Today"); });
  server.Get("/tools/converter", [](const httplib::Request&, httplib::Response& res) { Page(res, "Converter"); });
  server.Get("/recipes/bread.html", [](const httplib::Request&, httplib::Response& res) { Page(res, "Bread"); });
  server.Get("/news/moved", [](const httplib::Request&, httplib::Response& res) {
    res.set_redirect("/news/today.html", 301);
  });
  server.Get("/recipes/moved-away", [](const httplib::Request&, httplib::Response& res) {
    res.set_redirect("/recipes/soup.html", 302);
  });
  server.Get("/tools/broken", [](const httplib::Request&, httplib::Response& res) {
    res.status = 500;
    res.set_content("Internal error", "text/plain");
  });
  server.Get("/tools/forbidden", [](const httplib::Request&, httplib::Response& res) {
    res.status = 403;
    res.set_content("Forbidden", "text/plain");
  });
  server.Get("/slow", [](const httplib::Request&, httplib::Response& res) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    Page(res, "Slow page");
  });
  server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.status == 404) res.set_content("Not found", "text/plain");
  });

  int deadPort = UnusedPort();
  int port = server.bind_to_any_port("127.0.0.1");
  if (port <= 0) {
    std::fprintf(stderr, "demo site: cannot listen on loopback\n");
    return 1;
  }
  std::string file = BookmarkFile(port, deadPort);
  for (const std::string& path : {bookmarks, copy}) {
    if (path.empty()) continue;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << file;
  }
  if (!ready.empty()) std::ofstream(ready) << port << "\n";
  server.listen_after_bind();
  return 0;
}
