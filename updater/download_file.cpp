#include "updater/download_file.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "platform/files.h"
#include "platform/http.h"
#include "platform/text.h"
#include "updater/update_controls.h"

namespace {

// Largest piece read from the connection at a time.
constexpr std::uint32_t kReadChunk = 10000;

struct HandleCloser {
  void operator()(http::HandleTag* h) const { http::InternetCloseHandle(h); }
};
using HttpHandle = std::unique_ptr<http::HandleTag, HandleCloser>;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// The Content-Length header as a number; 0 when missing or not decimal.
std::uint64_t ContentLength(http::Handle request) {
  std::u16string value;
  if (!http::HttpQueryInfo(request, http::HTTP_QUERY_CONTENT_LENGTH, value)) return 0;
  std::uint64_t length = 0;
  for (char16_t c : value) {
    if (c < u'0' || c > u'9') break;
    length = length * 10 + (c - u'0');
  }
  return length;
}

// Replaces targetPath with the body of `request`, read to its end. Reads
// that fail once are retried with content decoding switched off on the
// session (a server may send an encoding that cannot be undone); a second
// failure ends the download.
bool ReadBodyToFile(http::Handle session, http::Handle request, std::u16string_view displayName,
                    std::u16string_view targetPath, ui::Window window, bool showProgress) {
  std::uint64_t contentLength = ContentLength(request);

  // Only now that the answer is under way is the old copy given up.
  files::DeleteFile(targetPath);
  std::unique_ptr<std::FILE, FileCloser> file(files::OpenFile(targetPath, "wb"));
  if (!file) return false;

  std::vector<std::uint8_t> chunk(kReadChunk, 0);
  std::uint64_t received = 0;
  bool decodingOff = false;
  unsigned shownPercent = ~0u;
  for (;;) {
    std::uint32_t got = 0;
    if (!http::InternetReadFile(request, chunk.data(), kReadChunk, &got)) {
      if (decodingOff) return false;
      decodingOff = true;
      http::InternetSetOption(session, http::INTERNET_OPTION_HTTP_DECODING, 0);
      if (!http::InternetReadFile(request, chunk.data(), kReadChunk, &got)) return false;
    }
    if (got == 0) break;
    received += got;
    if (showProgress && window && contentLength != 0) {
      unsigned percent = DownloadPercent(received, contentLength);
      // The window is redrawn when the figure moves, not for every chunk:
      // each update is a round trip to the window's thread.
      if (percent != shownPercent || received == contentLength) {
        shownPercent = percent;
        ui::SetDlgItemText(window, kIdDownloadText, DownloadProgressText(displayName, received, contentLength));
        ui::SendDlgItemMessage(window, kIdFileBar, ui::PBM_SETPOS, percent, 0);
      }
    }
    // A chunk that cannot be written makes the copy incomplete: that is a
    // failed download, whatever the network did.
    if (std::fwrite(chunk.data(), 1, got, file.get()) != got) return false;
  }
  if (std::fflush(file.get()) != 0) return false;
  return std::fclose(file.release()) == 0;
}

}  // namespace

unsigned DownloadPercent(std::uint64_t received, std::uint64_t contentLength) {
  if (contentLength == 0) return 0;
  // A compressed answer's length counts the encoded bytes while the decoded
  // ones are counted here, so the share can pass the whole.
  if (received >= contentLength) return 100;
  return static_cast<unsigned>(received * 100 / contentLength);
}

std::u16string DownloadProgressText(std::u16string_view displayName, std::uint64_t received,
                                    std::uint64_t contentLength) {
  return text::Format(u"Downloading: %s %u/%u KB...%u%%", displayName, unsigned(received / 1024),
                      unsigned(contentLength / 1024), DownloadPercent(received, contentLength));
}

bool DownloadViaRequest(std::u16string_view displayName, std::u16string_view targetPath, ui::Window window,
                        std::u16string_view url, bool showProgress) {
  HttpHandle session(http::InternetOpen(u"Palisade 7", http::INTERNET_OPEN_TYPE_DIRECT));
  if (!session) return false;
  http::UrlComponents parts;
  if (!http::InternetCrackUrl(url, parts)) return false;
  HttpHandle connection(http::InternetConnect(session.get(), parts.hostName, parts.port, parts.userName,
                                              parts.password, http::INTERNET_SERVICE_HTTP, 0));
  if (!connection) return false;
  http::InternetSetOption(connection.get(), http::INTERNET_OPTION_HTTP_DECODING, 1);

  // The query belongs to the object asked for ("/hash.php?file=...").
  std::u16string objectName = parts.urlPath + parts.extraInfo;
  HttpHandle request(http::HttpOpenRequest(connection.get(), u"", objectName, u"*/*", 0));
  if (!request) return false;
  http::InternetSetOption(request.get(), http::INTERNET_OPTION_HTTP_DECODING, 1);
  http::HttpAddRequestHeaders(request.get(), u"Accept-Encoding: gzip,deflate\r\n", http::HTTP_ADDREQ_FLAG_ADD_IF_NEW);
  if (!http::HttpSendRequest(request.get(), u"")) return false;

  return ReadBodyToFile(session.get(), request.get(), displayName, targetPath, window, showProgress);
}

bool DownloadViaUrl(std::u16string_view displayName, std::u16string_view targetPath, ui::Window window,
                    std::u16string_view url, bool showProgress) {
  HttpHandle session(http::InternetOpen(u"Vireo Update", http::INTERNET_OPEN_TYPE_DIRECT));
  if (!session) return false;
  http::InternetSetOption(session.get(), http::INTERNET_OPTION_HTTP_DECODING, 1);
  HttpHandle request(http::InternetOpenUrl(session.get(), url, u"", http::INTERNET_FLAG_NO_CACHE_WRITE));
  if (!request) return false;
  if (!ReadBodyToFile(session.get(), request.get(), displayName, targetPath, window, showProgress)) return false;
  if (window) ui::SendDlgItemMessage(window, kIdFileBar, ui::PBM_SETPOS, 100, 0);
  return true;
}

bool DownloadFile(std::u16string_view displayName, std::u16string_view targetPath, ui::Window window,
                  std::u16string_view url, bool showProgress, bool useRequestPath) {
  if (useRequestPath) return DownloadViaRequest(displayName, targetPath, window, url, showProgress);
  return DownloadViaUrl(displayName, targetPath, window, url, showProgress);
}
