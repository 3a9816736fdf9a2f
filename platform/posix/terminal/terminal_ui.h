// Everything the terminal front end shows and how keys and clicks become
// the core's input, without curses: the screen is composed on a Canvas,
// and keys and mouse events come in as Key and Mouse records.
#pragma once

#include "platform/posix/terminal/canvas.h"
#include "platform/posix/terminal/dialog_layout.h"
#include "platform/posix/terminal/file_dialog_ui.h"
#include "platform/posix/terminal/keys.h"
#include "platform/posix/terminal/list_view_model.h"
#include "platform/posix/terminal/message_box_ui.h"
#include "platform/posix/ui/frontend.h"

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace terminal {

class TerminalUi {
 public:
  using Clock = std::chrono::steady_clock;

  // Draws the whole screen and remembers where everything went.
  Canvas Compose(const ui::frontend::Screen& screen, int width, int height, Clock::time_point now);

  // A key or a click, turned into input for the core when it is one; focus
  // moves, scrolling and typing into a field change only what is shown.
  std::optional<ui::frontend::Input> OnKey(const ui::frontend::Screen& screen, const Key& key);
  std::optional<ui::frontend::Input> OnMouse(const ui::frontend::Screen& screen, const Mouse& mouse);

  // Where the cursor belongs after the last Compose (a field being edited).
  std::optional<std::pair<int, int>> Cursor() const { return cursor_; }

  // The control of `dialog` that has the focus (for tests), -1 when none.
  int FocusOf(ui::Window dialog) const;

 private:
  struct DialogUi {
    int focus = -1;
    bool started = false;
    std::map<int, ListUi> lists;  // by control index
    std::map<int, int> listPages;  // rows shown, by control index
    int scrollX = 0, scrollY = 0;  // when the dialog is larger than the screen
  };
  struct Placed {
    ui::Window handle = nullptr;
    std::string name;
    Rect outer, client;
    DialogLayout layout;
  };

  DialogUi& StateOf(const ui::frontend::DialogView& dialog);
  void DrawDialog(Canvas& canvas, const ui::frontend::DialogView& dialog, Rect area, bool active);
  void DrawControl(Canvas& canvas, const ui::frontend::DialogView& dialog, DialogUi& state, const ControlLayout& control,
                   Rect client, bool active);
  std::optional<ui::frontend::Input> DialogKey(const ui::frontend::DialogView& dialog, const Key& key);
  std::optional<ui::frontend::Input> ListKey(const ui::frontend::DialogView& dialog, DialogUi& state, const Key& key);
  std::optional<ui::frontend::Input> DialogMouse(const ui::frontend::DialogView& dialog, const Mouse& mouse);
  const Placed* PlacedOf(ui::Window handle) const;
  std::u32string HintFor(const ui::frontend::Screen& screen) const;

  std::map<ui::Window, DialogUi> dialogs_;
  std::vector<Placed> placed_;
  MessageBoxUi box_;
  std::unique_ptr<FileDialogUi> file_;
  std::optional<std::pair<int, int>> cursor_;
  Rect trayIcon_;
};

// The dialog of the screen that waits for input, or null.
const ui::frontend::DialogView* WaitingDialog(const ui::frontend::Screen& screen);

}  // namespace terminal
