// One update run's description: a fixed header followed by one entry per
// file to keep current. The same records are stored in update request files
// (update_request_file.h); there every pointer slot is 4 bytes and the
// layout is fixed, while in memory the pointers take their native width.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

struct UpdateFileEntry;
struct UpdateNotice;

// Called on the thread that runs the update, before (phase 1) and after
// (phase 2) the run in ModeNotify; at phase 1, 0 cancels the run.
using UpdateNoticeHook = int (*)(UpdateNotice* notice);
// Called on the worker's thread just before a changed file is downloaded;
// 0 declines that file.
using UpdateConfirmHook = int (*)(UpdateFileEntry* entry);

// Sizes of the stored records; recordSize must carry kUpdateRequestSize.
inline constexpr std::uint32_t kUpdateRequestSize = 2460;
inline constexpr std::uint32_t kUpdateFileEntrySize = 12032;
inline constexpr std::uint32_t kUpdateFormatVersion = 100;
inline constexpr std::uint32_t kUpdateEntryVersion = 100;

// Display modes (low 16 bits of displayMode).
inline constexpr int ModeVisible = 0;
inline constexpr int ModeHidden = 2;
inline constexpr int ModeNotify = 3;

// Preset answers (high 16 bits of displayMode).
inline constexpr int AnswerExit = 1;
inline constexpr int AnswerStay = 2;

// How the expected and the local digest are obtained.
inline constexpr int LiteralSha1 = 0;
inline constexpr int ServerSha1 = 1;
inline constexpr int ReferenceSha1 = 2;
inline constexpr int LiteralCrc = 3;
inline constexpr int ServerCrc = 4;
inline constexpr int ReferenceCrc = 5;
inline constexpr int ServerSha1Indexed = 8;

// Outcome of one entry.
inline constexpr int ResultUpdated = 0;
inline constexpr int ResultFailed = 1;
inline constexpr int ResultCurrent = 2;
inline constexpr int ResultSkipped = 3;
inline constexpr int ResultDeclined = 4;
inline constexpr int ResultMismatch = 5;

// Results of RunUpdate and the entry points.
inline constexpr int kRunNotRun = 0;
inline constexpr int kRunDone = 1;
inline constexpr int kRunBadRecordSize = 2;
inline constexpr int kRunBadFormatVersion = 3;
inline constexpr int kRunUpdatedStay = 98;
inline constexpr int kRunExitRequested = 99;

struct UpdateFileEntry {
  std::uint32_t entrySize;
  std::uint32_t entryVersion;
  std::int32_t reserved1;
  char16_t localPath[1000];
  char16_t downloadUrl[3000];
  char16_t hashSource[1000];
  char16_t description[1000];
  std::int32_t keepStaleNew;
  std::int32_t hashMethod;
  std::int32_t skipMode;
  std::int32_t reserved2;
  std::int32_t result;
};

struct UpdateRequest {
  std::uint32_t recordSize;
  std::uint32_t formatVersion;
  std::int32_t reserved1;
  char16_t caption[100];
  char16_t appGuid[100];
  char16_t language[10];
  std::int32_t fileCount;
  UpdateFileEntry* files;
  std::int32_t displayMode;
  UpdateNoticeHook noticeHook;
  UpdateConfirmHook confirmHook;
  std::int32_t keepOldCopies;
  char16_t backupFolder[1000];
  std::uint8_t useRequestPath;
};

struct UpdateNotice {
  std::int32_t noticeSize;  // 28
  std::int32_t phase;       // 1 before the run, 2 after it
  std::int32_t outcome;     // 0, or 2 when phase 1 declined the run
  std::int32_t reserved[4];
};

// The text of a fixed field: up to its first NUL, and never past its
// capacity even when the terminator is missing.
template <std::size_t N>
std::u16string_view FieldText(const char16_t (&field)[N]) {
  std::size_t n = 0;
  while (n < N && field[n] != 0) ++n;
  return std::u16string_view(field, n);
}

// Copies text into a fixed field, cut to leave room for the terminator; the
// rest of the field is zeroed.
template <std::size_t N>
void SetFieldText(char16_t (&field)[N], std::u16string_view text) {
  std::size_t n = text.size() < N ? text.size() : N - 1;
  for (std::size_t i = 0; i < N; ++i) field[i] = i < n ? text[i] : 0;
}
