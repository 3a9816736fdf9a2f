#include "updater/message_box_with_timeout.h"

int MessageBoxWithTimeout(ui::Window window, std::u16string_view text, std::u16string_view caption, unsigned type,
                          std::uint32_t timeoutMs, int defaultResult) {
  if (timeoutMs == 0xFFFFFFFFu || !ui::HasMessageBoxTimeout()) return ui::MessageBox(window, text, caption, type);
  int answer = ui::MessageBoxTimeout(window, text, caption, type, 0, timeoutMs);
  return answer == ui::MB_TIMEDOUT ? defaultResult : answer;
}
