// Writes the Windows resource script, the icon file and the manifest it
// names into one folder: linnet_resource_script OUTPUT_DIR MANIFEST_SOURCE.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/resource_script/resource_script.h"

namespace {

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR MANIFEST_SOURCE\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  std::ifstream manifest(argv[2], std::ios::binary);
  std::ostringstream manifestBytes;
  manifestBytes << manifest.rdbuf();
  if (!manifest || manifestBytes.str().empty()) {
    std::fprintf(stderr, "cannot read %s\n", argv[2]);
    return 1;
  }
  bool ok = WriteFile(dir + "/linnet.manifest", manifestBytes.str()) &&
            WriteFile(dir + "/linnet.ico", resource_script::IconFile(ui::LoadIconGroup("ICON_1"))) &&
            WriteFile(dir + "/linnet.rc", resource_script::ResourceScript("linnet.ico", "linnet.manifest"));
  if (!ok) std::fprintf(stderr, "cannot write into %s\n", dir.c_str());
  return ok ? 0 : 1;
}
