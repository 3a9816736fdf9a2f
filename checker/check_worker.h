// The threads that test links over HTTP.
#pragma once

#include <cstdint>

#include "platform/ui.h"

// Posted to the checking dialog for every link checked; wParam is the result code.
inline constexpr unsigned WM_LINK_RESULT = ui::WM_APP + 1;

// Result codes posted with WM_LINK_RESULT.
using ResultCode = std::int32_t;
inline constexpr ResultCode kResultKeep = 0;
inline constexpr ResultCode kResult404 = 404;
inline constexpr ResultCode kResult500 = 500;
inline constexpr ResultCode kResultFailed = -1;

// The thread procedure; the argument is not used.
void CheckWorker(void* unused);
