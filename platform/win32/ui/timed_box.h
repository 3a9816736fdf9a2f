// The time limit of a timed message box, kept by this layer as well as by
// MessageBoxTimeoutW: some USER32s (Wine's among them) accept the time-out
// and never close the box. Whichever ends it first ends it as timed out.
#pragma once

#include "platform/win32/windows_api.h"

#include <cstdint>

namespace ui::win32_ui {

// Closes `box` with MB_TIMEDOUT after timeoutMs; on the box's thread.
void ArmBoxTimeout(HWND box, std::uint32_t timeoutMs);

// Closes a box armed so at once, as if its time had run out; any thread.
void TimeOutBoxNow(HWND box);

}  // namespace ui::win32_ui
