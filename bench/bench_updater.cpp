// Speed of the updater's digests and downloads over 1 GB, against the
// system's own tools. Prints its figures; never part of the test suite.
//
//   bench_updater [megabytes]   (default 1024)
#include <httplib.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"
#include "updater/crc32_file.h"
#include "updater/download_file.h"
#include "updater/sha1_hasher.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Processor time (user and system) of this process and its finished
// children: on a shared machine, wall time mostly measures the neighbours.
double CpuSeconds() {
  double total = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage u{};
    getrusage(who, &u);
    total += u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
  }
  return total;
}

struct Timing {
  double wall = 1e30;
  double cpu = 1e30;
};

// Best of three, so a cold cache or a neighbour's burst does not decide.
template <typename F>
Timing BestOf3(F&& run) {
  Timing best;
  for (int i = 0; i < 3; ++i) {
    auto start = Clock::now();
    double cpu = CpuSeconds();
    run();
    best.wall = std::min(best.wall, Seconds(start));
    best.cpu = std::min(best.cpu, CpuSeconds() - cpu);
  }
  return best;
}

Timing Shell(const std::string& command) {
  return BestOf3([&] {
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
  });
}

void Report(const char* what, double mb, Timing t, Timing reference, const char* referenceName) {
  std::printf("%-30s wall %7.1f MB/s (%.2fx %s)   cpu %7.1f MB/s (%.2fx %s)\n", what, mb / t.wall,
              t.wall / reference.wall, referenceName, mb / t.cpu, t.cpu / reference.cpu, referenceName);
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1024;
  const double mb = double(megabytes);
  char pattern[] = "/tmp/linnet-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string dir = pattern;
  const std::string file = dir + "/body.bin";

  {
    std::vector<char> block(1 << 20);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = char((i * 2654435761u) >> 13);
    std::ofstream out(file, std::ios::binary);
    for (std::size_t i = 0; i < megabytes; ++i) {
      block[i % block.size()] ^= 1;
      out.write(block.data(), std::streamsize(block.size()));
    }
  }
  const std::u16string file16 = text::Utf8ToUtf16(file);
  std::printf("%zu MB body, files in %s\n", megabytes, dir.c_str());
  std::printf("cpu figures count this process and its children (the server thread included for downloads)\n");

  const Timing readOnly = Shell("cat '" + file + "' > /dev/null");
  const Timing sha1sum = Shell("sha1sum '" + file + "' > /dev/null");
  std::string digest;
  const Timing ours = BestOf3([&] {
    digest.clear();
    Sha1FileText(file16, digest);
  });
  std::uint32_t crc = 0;
  const Timing crcTime = BestOf3([&] { crc = Crc32File(file16); });
  std::printf("SHA-1 %s, CRC-32 %u\n", digest.c_str(), crc);
  Report("reading the file (cat)", mb, readOnly, readOnly, "cat");
  Report("sha1sum", mb, sha1sum, readOnly, "cat");
  Report("Sha1FileText", mb, ours, sha1sum, "sha1sum");
  Report("Sha1FileText vs reading", mb, ours, readOnly, "cat");
  Report("Crc32File", mb, crcTime, sha1sum, "sha1sum");
  Report("Crc32File vs reading", mb, crcTime, readOnly, "cat");

  // Downloads of the same body from a loopback server.
  // The body is streamed from the file, as a real server would send it.
  httplib::Server server;
  server.Get("/body.bin", [&](const httplib::Request&, httplib::Response& res) {
    auto in = std::make_shared<std::ifstream>(file, std::ios::binary);
    res.set_content_provider(megabytes << 20, "application/octet-stream",
                             [in](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                               std::vector<char> block(std::min<std::size_t>(length, 1 << 20));
                               in->seekg(std::streamoff(offset));
                               in->read(block.data(), std::streamsize(block.size()));
                               sink.write(block.data(), std::size_t(in->gcount()));
                               return in->gcount() > 0;
                             });
  });
  int port = server.bind_to_any_port("127.0.0.1");
  std::thread serving([&] { server.listen_after_bind(); });
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/body.bin";
  const std::string target = dir + "/download.bin";
  const Timing curl = Shell("curl -s -o '" + target + "' '" + url + "'");
  bool ok = true;
  const Timing viaUrl = BestOf3([&] {
    ok = ok && DownloadFile(u"Body", text::Utf8ToUtf16(target), nullptr, text::Utf8ToUtf16(url), true, false);
  });
  const Timing viaRequest = BestOf3([&] {
    ok = ok && DownloadFile(u"Body", text::Utf8ToUtf16(target), nullptr, text::Utf8ToUtf16(url), true, true);
  });
  server.stop();
  serving.join();
  Report("curl -o", mb, curl, curl, "curl -o");
  Report("DownloadFile (request path)", mb, viaRequest, curl, "curl -o");
  Report("DownloadFile (open-URL path)", mb, viaUrl, curl, "curl -o");
  if (!ok) std::printf("a download failed\n");

  std::remove(target.c_str());
  std::remove(file.c_str());
  std::remove(dir.c_str());
  return ok ? 0 : 1;
}
