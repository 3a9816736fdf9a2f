// Fetching one URL over HTTP into a local file, with optional progress in
// the update window (text 701, bar 901).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ui.h"

// True only when the body was read to its end and every chunk was written
// to targetPath. The HTTP status is not looked at: whatever body arrives is
// saved, and the caller's digest check decides whether it is any good.
bool DownloadFile(std::u16string_view displayName, std::u16string_view targetPath, ui::Window window,
                  std::u16string_view url, bool showProgress, bool useRequestPath);

// Cracks the URL and builds the request by hand (agent "Palisade 7").
bool DownloadViaRequest(std::u16string_view displayName, std::u16string_view targetPath, ui::Window window,
                        std::u16string_view url, bool showProgress);
// Hands the URL whole to the HTTP layer (agent "Vireo Update").
bool DownloadViaUrl(std::u16string_view displayName, std::u16string_view targetPath, ui::Window window,
                    std::u16string_view url, bool showProgress);

// The progress figures, computed in 64 bits so that bodies of any size
// below 4 GB give the right percentage.
unsigned DownloadPercent(std::uint64_t received, std::uint64_t contentLength);
std::u16string DownloadProgressText(std::u16string_view displayName, std::uint64_t received,
                                    std::uint64_t contentLength);
