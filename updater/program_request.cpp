#include "updater/program_request.h"

#include <string>

#include "platform/files.h"
#include "platform/text.h"

bool BuildProgramRequest(UpdateRequest& request, UpdateFileEntry& entry, std::u16string_view caption,
                         std::u16string_view appGuid, std::u16string_view executablePath,
                         std::u16string_view host) {
  request = UpdateRequest{};
  entry = UpdateFileEntry{};

  request.recordSize = kUpdateRequestSize;
  request.formatVersion = kUpdateFormatVersion;
  SetFieldText(request.caption, caption);
  SetFieldText(request.appGuid, appGuid);
  SetFieldText(request.language, u"EN");
  request.fileCount = 1;
  request.files = &entry;
  request.displayMode = ModeVisible;
  request.useRequestPath = 1;

  entry.entrySize = kUpdateFileEntrySize;
  entry.entryVersion = kUpdateEntryVersion;
  SetFieldText(entry.localPath, executablePath);

  std::u16string_view localPath = FieldText(entry.localPath);
  std::size_t separator = localPath.rfind(files::kSeparator);
  if (separator == std::u16string_view::npos) return false;
  // The server names its files in lower case. The local path keeps its own
  // spelling: on a case-sensitive file system a lower-cased path would name
  // another file, and the running copy would never be replaced.
  std::u16string name(localPath.substr(separator + 1));
  for (char16_t& c : name) c = text::AsciiLower(c);

  std::u16string base = u"http://" + std::u16string(host);
  SetFieldText(entry.downloadUrl, base + u"/tools/" + name);
  SetFieldText(entry.hashSource, base + u"/hash.php?file=./tools/" + name);
  SetFieldText(entry.description, u"Program Executable");
  entry.keepStaleNew = 0;
  entry.hashMethod = ServerSha1;
  entry.skipMode = 0;
  entry.result = ResultUpdated;
  return true;
}
