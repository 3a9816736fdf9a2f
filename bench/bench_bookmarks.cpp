// Bookmark files benchmark: reading, collecting, applying results and writing
// generated files of 10k, 100k and 1M links in three shapes, each case in a
// fresh process so that its peak memory is its own.
//
//   bench_bookmarks            all cases, a table and the scaling summary
//   bench_bookmarks --quick    10k and 100k only
//
// Figures are nanoseconds of processor time per link, the best of several
// runs in one process whose heap keeps the memory it was given (on a virtual
// machine, touching fresh memory can cost more than the work itself; the
// first, cold run of reading is shown apart), the ratio of reading to the bare cost of reading the file and
// converting it whole to UTF-16, and the peak resident memory of a process
// that reads, applies and writes the file, against the file's size.
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "model/apply_results.h"
#include "model/bookmark_tree.h"
#include "platform/files.h"
#include "platform/text.h"
#include "stores/bookmark_file.h"

namespace {

// Processor time of this process: the machine is shared, and waiting for the
// disk or for other programs is not what is measured here.
struct Clock {
  using time_point = std::clock_t;
  static time_point now() { return std::clock(); }
};

double Seconds(Clock::time_point since) { return static_cast<double>(std::clock() - since) / CLOCKS_PER_SEC; }

// ---- generating the files -------------------------------------------------

void PutLink(std::FILE* out, long i, int indent) {
  std::fprintf(out,
               "%*s<DT><A HREF=\"http://host%ld.example.com/section/%ld/page-%ld.html\" ADD_DATE=\"1600000000\" "
               "LAST_MODIFIED=\"1600000001\">Page %ld%s</A>\n",
               indent, "", i % 997, i % 101, i, i, i % 10 == 0 ? " \xc3\xa9t\xc3\xa9 \xe2\x82\xac" : " of the site");
}

void PutOpen(std::FILE* out, const std::string& name, int indent) {
  std::fprintf(out, "%*s<DT><H3 ADD_DATE=\"1600000000\">%s</H3>\n%*s<DL><p>\n", indent, "", name.c_str(), indent, "");
}

void PutClose(std::FILE* out, int indent) { std::fprintf(out, "%*s</DL><p>\n", indent, ""); }

// flat: every link in one folder; wide: 10,000 sibling folders; deep: chains
// of folders 50 levels deep, 20 links in each folder.
bool Generate(const std::string& path, const std::string& shape, long links) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  std::fputs("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
             "charset=UTF-8\">\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks Menu</H1>\n\n<DL><p>\n",
             out);
  long i = 0;
  if (shape == "flat") {
    PutOpen(out, "All", 4);
    for (; i < links; ++i) PutLink(out, i, 8);
    PutClose(out, 4);
  } else if (shape == "wide") {
    const long folders = 10000, per = std::max(1L, links / folders);
    for (long f = 0; f < folders && i < links; ++f) {
      PutOpen(out, "Folder " + std::to_string(f), 4);
      for (long k = 0; k < per && i < links; ++k) PutLink(out, i++, 8);
      PutClose(out, 4);
    }
  } else {
    const int depth = 50, per = 20;
    for (long chain = 0; i < links; ++chain) {
      for (int d = 0; d < depth; ++d) {
        PutOpen(out, "Level " + std::to_string(d) + " of chain " + std::to_string(chain), 4);
        for (int k = 0; k < per && i < links; ++k) PutLink(out, i++, 8);
      }
      for (int d = 0; d < depth; ++d) PutClose(out, 4);
    }
  }
  std::fputs("</DL><p>\n", out);
  return std::fclose(out) == 0;
}

// ---- one case, in its own process ----------------------------------------------

long PeakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Each stage runs once per program run, on data that no earlier run has left
// in the processor's caches; so that a small file, measured many times, is
// not measured from cache, the caches are flushed before every stage.
void FlushCaches() {
  static std::vector<unsigned char> scratch(64u << 20);
  static unsigned char round = 0;
  ++round;
  for (std::size_t i = 0; i < scratch.size(); i += 64) scratch[i] = static_cast<unsigned char>(scratch[i] + round);
}

void MarkVerdicts(CheckQueue& queue) {
  for (std::size_t i = 0; i < queue.links.size(); ++i)
    queue.links[i]->status = i % 3 == 0 ? Delete : i % 3 == 1 ? Fix : Keep;
}

// Times every stage, the best of `runs`; prints one line of seconds.
int RunTimes(const std::string& path, int runs) {
  std::u16string file = text::Utf8ToUtf16(path), copy = text::Utf8ToUtf16(path + ".out");
  // Freed memory stays in the heap, so later runs measure the work and not
  // the operating system handing out fresh pages.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, 0x7fffffff);
  double baseline = 1e9, read = 1e9, collect = 1e9, apply = 1e9, write = 1e9, coldRead = 0;
  std::size_t links = 0;
  for (int run = 0; run < runs; ++run) {
    {
      FlushCaches();
      auto t = Clock::now();
      std::string bytes;
      files::ReadWholeFile(file, bytes);
      std::u16string wide = text::Utf8ToUtf16(bytes);
      baseline = std::min(baseline, Seconds(t));
      if (wide.empty()) return 1;
    }
    BookmarkTree tree;
    FlushCaches();
    auto t = Clock::now();
    ReadBookmarkFile(file, tree);
    read = std::min(read, Seconds(t));
    if (run == 0) coldRead = Seconds(t);
    CheckQueue queue;
    FlushCaches();
    t = Clock::now();
    links = CollectLinks(tree, queue);
    collect = std::min(collect, Seconds(t));
    MarkVerdicts(queue);
    FlushCaches();
    t = Clock::now();
    ApplyResults(tree);
    apply = std::min(apply, Seconds(t));
    FlushCaches();
    t = Clock::now();
    if (!WriteBookmarkFile(copy, tree)) return 1;
    write = std::min(write, Seconds(t));
  }
  std::remove((path + ".out").c_str());
  std::printf("%zu %.9f %.9f %.9f %.9f %.9f %.9f\n", links, baseline, read, collect, apply, write, coldRead);
  return 0;
}

// Reads, applies and writes once; prints the peak resident memory in KiB.
int RunMemory(const std::string& path) {
  std::u16string file = text::Utf8ToUtf16(path);
  {
    BookmarkTree tree;
    ReadBookmarkFile(file, tree);
    CheckQueue queue;
    CollectLinks(tree, queue);
    MarkVerdicts(queue);
    ApplyResults(tree);
    if (!WriteBookmarkFile(text::Utf8ToUtf16(path + ".out"), tree)) return 1;
  }
  std::remove((path + ".out").c_str());
  std::printf("%ld\n", PeakResidentKiB());
  return 0;
}

// ---- the driver ---------------------------------------------------------------

std::string RunChild(const std::string& self, const std::string& args) {
  std::string command = "'" + self + "' " + args;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "";
  char line[512] = {};
  std::string out = std::fgets(line, sizeof line, pipe) ? line : "";
  pclose(pipe);
  return out;
}

struct Figures {
  double baseline, read, collect, apply, write, coldRead;  // ns per link
};

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "--times") == 0) return RunTimes(argv[2], std::atoi(argv[3]));
  if (argc >= 3 && std::strcmp(argv[1], "--memory") == 0) return RunMemory(argv[2]);
  bool quick = argc >= 2 && std::strcmp(argv[1], "--quick") == 0;

  char self[4096] = {};
  if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return 1;
  char dirTemplate[] = "/tmp/linnet-bench-XXXXXX";
  if (!mkdtemp(dirTemplate)) return 1;
  const std::string dir = dirTemplate;

  std::vector<long> sizes = {10000, 100000};
  if (!quick) sizes.push_back(1000000);
  std::map<std::pair<std::string, long>, Figures> table;
  std::printf("%-5s %8s | %8s %8s %8s %8s %8s | %9s | %9s | %8s %8s %6s\n", "shape", "links", "base ns", "read ns",
              "collect", "apply", "write", "cold read", "read/base", "peak MB", "file MB", "ratio");
  for (const char* shape : {"flat", "wide", "deep"}) {
    for (long links : sizes) {
      std::string path = dir + "/" + shape + "-" + std::to_string(links) + ".html";
      if (!Generate(path, shape, links)) return 1;
      long fileBytes = 0;
      if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        fileBytes = std::ftell(f);
        std::fclose(f);
      }
      int runs = links <= 10000 ? 30 : links <= 100000 ? 6 : 3;
      std::string times = RunChild(self, "--times '" + path + "' " + std::to_string(runs));
      std::string memory = RunChild(self, "--memory '" + path + "'");
      std::remove(path.c_str());
      std::size_t n = 0;
      double base, read, collect, apply, write, cold;
      if (std::sscanf(times.c_str(), "%zu %lf %lf %lf %lf %lf %lf", &n, &base, &read, &collect, &apply, &write,
                      &cold) != 7 ||
          n == 0) {
        std::printf("%-5s %8ld  failed\n", shape, links);
        continue;
      }
      double scale = 1e9 / static_cast<double>(n);
      Figures f{base * scale, read * scale, collect * scale, apply * scale, write * scale, cold * scale};
      table[{shape, links}] = f;
      double peakMB = std::atof(memory.c_str()) / 1024.0, fileMB = static_cast<double>(fileBytes) / (1024.0 * 1024.0);
      std::printf("%-5s %8zu | %8.1f %8.1f %8.1f %8.1f %8.1f | %9.1f | %9.2f | %8.1f %8.1f %6.2f\n", shape, n,
                  f.baseline, f.read, f.collect, f.apply, f.write, f.coldRead, f.read / f.baseline, peakMB, fileMB,
                  peakMB / fileMB);
      std::fflush(stdout);
    }
  }
  rmdir(dir.c_str());

  // Scaling: time per link at the largest size against smaller sizes.
  long largest = sizes.back();
  for (long smaller : sizes) {
    if (smaller == largest) continue;
    std::printf("\nper-link time at %ld links / at %ld links:\n", largest, smaller);
    std::printf("%-5s %9s %9s %9s %9s\n", "shape", "read", "collect", "apply", "write");
    for (const char* shape : {"flat", "wide", "deep"}) {
      auto small = table.find({shape, smaller}), big = table.find({shape, largest});
      if (small == table.end() || big == table.end()) continue;
      const Figures &a = small->second, &b = big->second;
      std::printf("%-5s %9.2f %9.2f %9.2f %9.2f\n", shape, b.read / a.read, b.collect / a.collect,
                  b.apply / a.apply, b.write / a.write);
    }
  }
  return 0;
}
