// The request Linnet runs for itself: its own executable, compared by the
// SHA-1 digest that the update server publishes.
#pragma once

#include <string_view>

#include "updater/update_request.h"

// Fills a zeroed-out header and entry for the executable at `executablePath`;
// the server's addresses use its file name in lower case. False when the path has no folder
// part, so that no addresses can be formed.
bool BuildProgramRequest(UpdateRequest& request, UpdateFileEntry& entry, std::u16string_view caption,
                         std::u16string_view appGuid, std::u16string_view executablePath,
                         std::u16string_view host);
