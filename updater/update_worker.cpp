#include "updater/update_worker.h"

#include <mutex>
#include <string>

#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "updater/crc32_file.h"
#include "updater/digest_ini.h"
#include "updater/download_file.h"
#include "updater/sha1_hasher.h"
#include "updater/swap_in.h"
#include "updater/update_controls.h"
#include "updater/update_state.h"

namespace {

// Digest texts hold at most this many units, as the server's answers do.
constexpr std::size_t kDigestUnits = 99;

bool UsesSha1(int hashMethod) {
  return hashMethod == LiteralSha1 || hashMethod == ServerSha1 || hashMethod == ReferenceSha1 ||
         hashMethod == ServerSha1Indexed;
}

std::u16string Sha1Text(std::u16string_view path) {
  std::string narrow;
  Sha1FileText(path, narrow);
  return text::SystemToUtf16(narrow);
}

std::u16string CrcText(std::u16string_view path) { return text::Format(u"%u", unsigned(Crc32File(path))); }

std::u16string LocalDigest(int hashMethod, std::u16string_view path) {
  return UsesSha1(hashMethod) ? Sha1Text(path) : CrcText(path);
}

// Progress goes to the window only while the run still has it.
void SetBar(int id, unsigned message, ui::WParam wParam, ui::LParam lParam) {
  if (ui::Window window = updateWindow.load()) ui::SendDlgItemMessage(window, id, message, wParam, lParam);
}

std::tm LocalNow() {
  static std::mutex clockLock;  // localtime shares one buffer
  std::lock_guard<std::mutex> lock(clockLock);
  std::time_t now = std::time(nullptr);
  return *std::localtime(&now);
}

std::u16string FileNamePart(std::u16string_view path) {
  std::size_t separator = path.rfind(files::kSeparator);
  return std::u16string(separator == std::u16string_view::npos ? path : path.substr(separator + 1));
}

}  // namespace

std::u16string DatedBackupFolder(std::u16string_view base, const std::tm& when) {
  return std::u16string(base) + files::kSeparator +
         text::Format(u"%u-%u-%u-%u-%u", unsigned(when.tm_mon + 1), unsigned(when.tm_mday),
                      unsigned(when.tm_year + 1900), unsigned(when.tm_hour), unsigned(when.tm_min));
}

std::u16string DigestIniPath() { return files::JoinPath(u".", u"RUP.INI"); }

void UpdateWorker(UpdateRequest* request) {
  // The header is read from a copy; the entries are the caller's, since
  // their results are the run's answer.
  const UpdateRequest header = *request;
  const bool useRequestPath = header.useRequestPath != 0;
  std::u16string backupFolder;
  if (header.keepOldCopies != 0) backupFolder = DatedBackupFolder(FieldText(header.backupFolder), LocalNow());

  SetBar(kIdOverallBar, ui::PBM_SETRANGE, 0, ui::LParam(std::uint32_t(header.fileCount & 0xFFFF) << 16));

  const std::u16string iniPath = DigestIniPath();
  bool indexedIniFetched = false;
  for (std::int32_t i = 0; i < header.fileCount; ++i) {
    UpdateFileEntry& entry = header.files[i];
    SetBar(kIdFileBar, ui::PBM_SETPOS, 100, 0);
    const std::u16string localPath(FieldText(entry.localPath));

    // That module is never replaced while the application runs.
    if (localPath.find(u"QX.DLL") != std::u16string::npos || localPath.find(u"qx.dll") != std::u16string::npos) {
      entry.result = ResultCurrent;
      continue;
    }
    SetBar(kIdOverallBar, ui::PBM_SETPOS, ui::WParam(i), 0);
    if (entry.skipMode == 1) {
      entry.result = ResultSkipped;
      continue;
    }

    const int method = entry.hashMethod;
    const std::u16string_view hashSource = FieldText(entry.hashSource);
    const std::u16string_view description = FieldText(entry.description);
    std::u16string expected;
    switch (method) {
      case LiteralSha1:
      case LiteralCrc:
        // A literal longer than any digest is kept whole: it then simply
        // matches nothing, rather than matching a cut-down prefix.
        expected = hashSource;
        break;
      case ServerSha1:
      case ServerCrc:
      case ServerSha1Indexed: {
        // The indexed INI serves every entry of the run, so it is fetched
        // once: by the first entry that gets this far in this run (never
        // read stale from an earlier run).
        bool fetch = method != ServerSha1Indexed || !indexedIniFetched;
        if (fetch) {
          if (!DownloadFile(description, iniPath, nullptr, hashSource, false, useRequestPath)) {
            entry.result = ResultFailed;
            continue;
          }
          if (method == ServerSha1Indexed) indexedIniFetched = true;
        }
        std::u16string key = method == ServerSha1Indexed ? text::Format(u"%d", int(i + 1)) : u"1";
        expected = ReadDigestIni(iniPath, key);
        if (method != ServerSha1Indexed) files::DeleteFile(iniPath);
        break;
      }
      case ReferenceSha1:
        expected = Sha1Text(hashSource);
        break;
      case ReferenceCrc:
        expected = CrcText(hashSource);
        break;
      default:
        break;  // nothing to compare with: the file counts as changed
    }
    if (expected.size() > kDigestUnits && method != LiteralSha1 && method != LiteralCrc)
      expected.resize(kDigestUnits);

    const std::u16string local = LocalDigest(method, localPath);
    if (text::EqualsAsciiNoCase(expected, local) && entry.skipMode == 0) {
      entry.result = ResultCurrent;
      continue;
    }
    if (header.confirmHook && header.confirmHook(&entry) == 0) {
      entry.result = ResultDeclined;
      continue;
    }

    const std::u16string staged = localPath + u".new";
    if (entry.keepStaleNew == 0) files::DeleteFile(staged);
    if (!DownloadFile(description, staged, updateWindow.load(), FieldText(entry.downloadUrl), true,
                      useRequestPath)) {
      entry.result = ResultFailed;
      continue;
    }
    // A copy that does not match what the server published is left beside
    // the file for inspection, and never used.
    const std::u16string stagedDigest = UsesSha1(method) ? Sha1Text(staged) : CrcText(staged);
    if (!text::EqualsAsciiNoCase(expected, stagedDigest)) {
      entry.result = ResultMismatch;
      continue;
    }

    const std::u16string old = localPath + u".old";
    bool oldMoved = false;
    if (!SwapIn(localPath, staged, old, oldMoved)) {
      entry.result = ResultFailed;
      continue;
    }
    if (header.keepOldCopies != 0 && oldMoved) {
      files::CreateDirectory(backupFolder);
      files::MoveFileReplacing(old, files::JoinPath(backupFolder, FileNamePart(old)));
    }
    entry.result = ResultUpdated;
  }

  SetBar(kIdOverallBar, ui::PBM_SETPOS, ui::WParam(header.fileCount > 0 ? header.fileCount : 0), 0);
  // Completion goes to the run's thread rather than to the window: the
  // window may have been closed meanwhile, and the run must still end.
  if (ui::ThreadId runThread = updateRunThread.load()) ui::PostThreadMessage(runThread, WM_UPDATE_DONE, 0, 0);
  if (threads::Event* done = UpdateDoneEvent.load()) done->Set();
}
