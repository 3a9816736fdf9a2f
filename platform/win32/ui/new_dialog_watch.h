// Finds the window of a dialog the system makes on the program's behalf (a
// message box, a file dialog): while a watch lives, the first top-level
// dialog window created on this thread becomes the window of the innermost
// wait, and is handed to `created` when one is given.
#pragma once

#include "platform/win32/windows_api.h"

#include <functional>

namespace ui::win32_ui {

class NewDialogWatch {
 public:
  explicit NewDialogWatch(std::function<void(HWND)> created = {});
  ~NewDialogWatch();
  NewDialogWatch(const NewDialogWatch&) = delete;
  NewDialogWatch& operator=(const NewDialogWatch&) = delete;

 private:
  HHOOK hook_;
};

}  // namespace ui::win32_ui
