// A message box that answers for the person when they do not.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/ui.h"

// Shows the box; after timeoutMs without an answer it closes itself and
// defaultResult is returned. A timeout of 0xFFFFFFFF, or a system without
// timed boxes, shows a plain box that waits.
int MessageBoxWithTimeout(ui::Window window, std::u16string_view text, std::u16string_view caption, unsigned type,
                          std::uint32_t timeoutMs, int defaultResult);
