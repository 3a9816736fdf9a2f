#include "updater/update_request_file.h"

#include "platform/files.h"
#include "platform/text.h"

#include <cstdint>
#include <cstdio>
#include <memory>

#include "updater/run_update.h"

namespace {

// Offsets of the stored header.
constexpr std::size_t kOffRecordSize = 0;
constexpr std::size_t kOffFormatVersion = 4;
constexpr std::size_t kOffReserved1 = 8;
constexpr std::size_t kOffCaption = 12;
constexpr std::size_t kOffAppGuid = 212;
constexpr std::size_t kOffLanguage = 412;
constexpr std::size_t kOffFileCount = 432;
constexpr std::size_t kOffDisplayMode = 440;
constexpr std::size_t kOffKeepOldCopies = 452;
constexpr std::size_t kOffBackupFolder = 456;
constexpr std::size_t kOffUseRequestPath = 2456;

// Offsets of a stored entry.
constexpr std::size_t kOffEntrySize = 0;
constexpr std::size_t kOffEntryVersion = 4;
constexpr std::size_t kOffEntryReserved1 = 8;
constexpr std::size_t kOffLocalPath = 12;
constexpr std::size_t kOffDownloadUrl = 2012;
constexpr std::size_t kOffHashSource = 8012;
constexpr std::size_t kOffDescription = 10012;
constexpr std::size_t kOffKeepStaleNew = 12012;
constexpr std::size_t kOffHashMethod = 12016;
constexpr std::size_t kOffSkipMode = 12020;
constexpr std::size_t kOffEntryReserved2 = 12024;
constexpr std::size_t kOffResult = 12028;

std::uint32_t U32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::int32_t I32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }

// Copies every unit of the stored field as it is; a missing terminator is
// harmless because the fields are only ever read through FieldText.
template <std::size_t N>
void Units(char16_t (&field)[N], const std::uint8_t* p) {
  for (std::size_t i = 0; i < N; ++i) field[i] = char16_t(p[2 * i] | (p[2 * i + 1] << 8));
}

void DecodeHeader(const std::uint8_t* p, UpdateRequest& r) {
  r = UpdateRequest{};
  r.recordSize = U32(p + kOffRecordSize);
  r.formatVersion = U32(p + kOffFormatVersion);
  r.reserved1 = I32(p + kOffReserved1);
  Units(r.caption, p + kOffCaption);
  Units(r.appGuid, p + kOffAppGuid);
  Units(r.language, p + kOffLanguage);
  r.fileCount = I32(p + kOffFileCount);
  r.displayMode = I32(p + kOffDisplayMode);
  r.keepOldCopies = I32(p + kOffKeepOldCopies);
  Units(r.backupFolder, p + kOffBackupFolder);
  r.useRequestPath = p[kOffUseRequestPath];
  // The stored files, noticeHook and confirmHook slots are addresses in the
  // process that wrote the file: they are dropped, never called.
  r.files = nullptr;
  r.noticeHook = nullptr;
  r.confirmHook = nullptr;
}

void DecodeEntry(const std::uint8_t* p, UpdateFileEntry& e) {
  e = UpdateFileEntry{};
  e.entrySize = U32(p + kOffEntrySize);
  e.entryVersion = U32(p + kOffEntryVersion);
  e.reserved1 = I32(p + kOffEntryReserved1);
  Units(e.localPath, p + kOffLocalPath);
  Units(e.downloadUrl, p + kOffDownloadUrl);
  Units(e.hashSource, p + kOffHashSource);
  Units(e.description, p + kOffDescription);
  e.keepStaleNew = I32(p + kOffKeepStaleNew);
  e.hashMethod = I32(p + kOffHashMethod);
  e.skipMode = I32(p + kOffSkipMode);
  e.reserved2 = I32(p + kOffEntryReserved2);
  e.result = I32(p + kOffResult);
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool LoadUpdateRequestFile(std::string_view path, LoadedUpdateRequest& loaded) {
  loaded = LoadedUpdateRequest{};
  // The path is in the system code page; it is opened by the UTF-16 path
  // that names, like every other file of the program.
  std::unique_ptr<std::FILE, FileCloser> file(files::OpenFile(text::SystemToUtf16(path), "rb"));
  if (!file) return false;

  std::vector<std::uint8_t> buffer(kUpdateRequestSize, 0);
  // A short header is kept as read, the rest zero: RunUpdate then refuses it.
  std::fread(buffer.data(), 1, kUpdateRequestSize, file.get());
  DecodeHeader(buffer.data(), loaded.header);

  if (loaded.header.fileCount < 0) return false;
  // Entries are read one at a time, so a huge count in a small file is
  // refused when the file runs out, before any large allocation.
  buffer.assign(kUpdateFileEntrySize, 0);
  for (std::int32_t i = 0; i < loaded.header.fileCount; ++i) {
    if (std::fread(buffer.data(), 1, kUpdateFileEntrySize, file.get()) != kUpdateFileEntrySize) {
      loaded.entries.clear();
      return false;
    }
    loaded.entries.emplace_back();
    DecodeEntry(buffer.data(), loaded.entries.back());
  }
  // At least one entry, as the request always points at an array.
  if (loaded.entries.empty()) loaded.entries.emplace_back();
  loaded.header.files = loaded.entries.data();
  return true;
}

int RunUpdateFromFile(std::string_view path) {
  auto loaded = std::make_unique<LoadedUpdateRequest>();
  if (!LoadUpdateRequestFile(path, *loaded)) return kRunNotRun;
  return RunUpdate(&loaded->header);
}
