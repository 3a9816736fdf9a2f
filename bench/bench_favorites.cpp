// Reading and writing a favorites folder of 20,000 shortcuts in 2,000
// folders, next to the plain cost of touching the same files: a walk that
// opens and reads every file, and a loop that creates every file.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "model/bookmark_tree.h"
#include "platform/text.h"
#include "stores/favorites.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFolders = 2000;
constexpr int kLinksPerFolder = 10;
constexpr int kRounds = 3;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

template <typename F>
double Best(F&& run) {
  double best = 1e9;
  for (int i = 0; i < kRounds; ++i) {
    auto start = std::chrono::steady_clock::now();
    run();
    best = std::min(best, Seconds(std::chrono::steady_clock::now() - start));
  }
  return best;
}

// 2,000 folders, 200 at the top with 9 sub-folders each, 10 links in each.
BookmarkTree MakeTree() {
  BookmarkTree tree;
  tree.name = u"Bookmarks";
  int made = 0;
  while (made < kFolders) {
    BookmarkFolder top;
    top.name = text::Format(u"Folder %u", made++);
    for (int sub = 0; sub < 9 && made < kFolders; ++sub) {
      BookmarkFolder inner;
      inner.name = text::Format(u"Topic %u.%u", made++, sub);
      top.folders.push_back(std::move(inner));
    }
    tree.folders.push_back(std::move(top));
  }
  int n = 0;
  auto fill = [&](BookmarkFolder& f) {
    for (int i = 0; i < kLinksPerFolder; ++i, ++n) {
      BookmarkLink link;
      link.title = text::Format(u"Page %u about things", n);
      link.url = text::Format(u"http://site%u.example.test/path/to/page%u.html?q=%u", n % 97, n, n);
      f.links.push_back(std::move(link));
    }
  };
  for (BookmarkFolder& top : tree.folders) {
    fill(top);
    for (BookmarkFolder& inner : top.folders) fill(inner);
  }
  return tree;
}

// The limit for reading: list every folder, open and read every file.
std::size_t PlainReadWalk(const std::string& dir) {
  std::size_t bytes = 0;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return 0;
  char buf[4096];
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    std::string path = dir + "/" + name;
    if (e->d_type == DT_DIR) {
      bytes += PlainReadWalk(path);
      continue;
    }
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) continue;
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) bytes += static_cast<std::size_t>(n);
    ::close(fd);
  }
  ::closedir(d);
  return bytes;
}

// The limit for writing: create every folder and file with its content.
void PlainWrite(const std::string& dir, const BookmarkFolder& folder) {
  for (const BookmarkFolder& sub : folder.folders) {
    std::string path = dir + "/" + text::Utf16ToUtf8(sub.name);
    ::mkdir(path.c_str(), 0777);
    PlainWrite(path, sub);
  }
  for (const BookmarkLink& link : folder.links) {
    std::string path = dir + "/" + text::Utf16ToUtf8(link.title) + ".URL";
    std::string content = "[InternetShortcut]\r\nURL=" + text::Utf16ToUtf8(link.url) + "\r\n";
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) continue;
    if (::write(fd, content.data(), content.size()) < 0) std::perror("write");
    ::close(fd);
  }
}

std::size_t CountLinks(const BookmarkFolder& f) {
  std::size_t n = f.links.size();
  for (const BookmarkFolder& sub : f.folders) n += CountLinks(sub);
  return n;
}

}  // namespace

int main() {
  const std::string base = (fs::temp_directory_path() / "linnet-bench-favorites").string();
  fs::remove_all(base);
  const std::string favorites = base + "/Favorites", plain = base + "/plain";
  fs::create_directories(favorites);
  fs::create_directories(plain);
  const BookmarkTree tree = MakeTree();
  const std::u16string path = text::Utf8ToUtf16(favorites);

  double plainWrite = Best([&] {
    fs::remove_all(plain);
    fs::create_directories(plain);
    PlainWrite(plain, tree);
  });
  // Each round replaces the shortcuts written by the round before.
  double write = Best([&] {
    if (!WriteFavorites(path, tree)) std::fprintf(stderr, "write failed\n");
  });

  std::size_t bytes = 0;
  double plainRead = Best([&] { bytes = PlainReadWalk(favorites); });
  std::size_t links = 0;
  double read = Best([&] {
    BookmarkTree loaded;
    WalkFolder(path, nullptr, loaded, path.size(), ReadUrlFile);
    links = CountLinks(loaded);
  });

  std::printf("favorites: %zu links read back of %zu written, %d folders, %zu bytes (2-core VM, best of %d)\n", links,
              CountLinks(tree), kFolders, bytes, kRounds);
  std::printf("read:  %.3f s   plain read walk (limit): %.3f s   ratio %.2f (goal <= 2)\n", read, plainRead,
              read / plainRead);
  std::printf("write: %.3f s   plain create loop:       %.3f s   ratio %.2f\n", write, plainWrite,
              write / plainWrite);
  std::printf("write against the plain read walk: ratio %.2f\n", write / plainRead);
  fs::remove_all(base);
  return links == CountLinks(tree) ? 0 : 1;
}
