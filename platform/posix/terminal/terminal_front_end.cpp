// The interactive front end: the UI core's screen drawn with ncursesw, and
// the keyboard and mouse read from the terminal. A self-pipe carries both
// the core's wake-ups and window-size changes into the one poll() that
// waits for input, so neither is ever delayed by a polling interval.
#include "platform/posix/terminal/terminal_front_end.h"

#include "platform/posix/terminal/terminal_restore.h"
#include "platform/posix/terminal/terminal_ui.h"

#include <atomic>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstring>
#include <curses.h>
#include <fcntl.h>
#include <langinfo.h>
#include <mutex>
#include <poll.h>
#include <sys/ioctl.h>
#include <tuple>
#include <unistd.h>

namespace terminal {
namespace {

using ui::frontend::Input;
using ui::frontend::InputKind;
using Clock = std::chrono::steady_clock;

int wakeRead = -1, wakeWrite = -1;

void OnResize(int) {
  int saved = errno;
  char byte = 'r';
  [[maybe_unused]] ssize_t n = ::write(wakeWrite, &byte, 1);
  errno = saved;
}

}  // namespace

std::optional<Key> DecodeSequence(const std::string& sequence) {
  // CSI 1;2X is Shift with a cursor key; 5;2~ and 6;2~ Shift with the page keys.
  if (sequence.size() == 4 && sequence.compare(0, 3, "1;2") == 0) {
    switch (sequence[3]) {
      case 'A': return Key{KeyCode::Up, 0, true};
      case 'B': return Key{KeyCode::Down, 0, true};
      case 'C': return Key{KeyCode::Right, 0, true};
      case 'D': return Key{KeyCode::Left, 0, true};
      case 'H': return Key{KeyCode::Home, 0, true};
      case 'F': return Key{KeyCode::End, 0, true};
      default: return std::nullopt;
    }
  }
  if (sequence == "5;2~") return Key{KeyCode::PageUp, 0, true};
  if (sequence == "6;2~") return Key{KeyCode::PageDown, 0, true};
  if (sequence == "Z") return Key{KeyCode::BackTab};
  if (sequence == "A") return Key{KeyCode::Up};
  if (sequence == "B") return Key{KeyCode::Down};
  if (sequence == "C") return Key{KeyCode::Right};
  if (sequence == "D") return Key{KeyCode::Left};
  if (sequence == "H") return Key{KeyCode::Home};
  if (sequence == "F") return Key{KeyCode::End};
  return std::nullopt;
}

namespace {

enum Pair : short { kFace = 1, kCaption, kCaptionInactive, kSelected, kBar, kBarEmpty, kDisabled, kDesktop, kHint, kField };

class TerminalFrontEnd final : public ui::frontend::FrontEnd {
 public:
  TerminalFrontEnd() = default;
  ~TerminalFrontEnd() override { Stop(); }

  bool Start(std::string& whyNot) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
      whyNot = std::string("cannot create a pipe: ") + std::strerror(errno);
      return false;
    }
    wakeRead = pipeEnds[0];
    wakeWrite = pipeEnds[1];
    SaveLineSettings();
    if (!initscr()) {
      whyNot = "the terminal cannot be used";
      return false;
    }
    started_ = true;
    utf8_ = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    raw();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    nodelay(stdscr, TRUE);
    set_escdelay(25);
    curs_set(0);
    mousemask(BUTTON1_PRESSED | BUTTON4_PRESSED | BUTTON5_PRESSED | BUTTON_SHIFT | BUTTON_CTRL, nullptr);
    mouseinterval(0);
    if (has_colors()) {
      start_color();
      use_default_colors();
      init_pair(kFace, COLOR_BLACK, COLOR_WHITE);
      init_pair(kCaption, COLOR_WHITE, COLOR_BLUE);
      init_pair(kCaptionInactive, COLOR_BLACK, COLOR_CYAN);
      init_pair(kSelected, COLOR_WHITE, COLOR_BLUE);
      init_pair(kBar, COLOR_BLUE, COLOR_WHITE);
      init_pair(kBarEmpty, COLOR_BLACK, COLOR_WHITE);
      init_pair(kDisabled, COLORS >= 16 ? 8 : COLOR_BLACK, COLOR_WHITE);
      init_pair(kDesktop, -1, -1);
      init_pair(kHint, COLOR_BLACK, COLOR_CYAN);
      init_pair(kField, COLOR_BLACK, COLOR_YELLOW);
    }
    PrepareRestore();
    InstallRestoringSignalHandlers();
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnResize;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGWINCH, &action, nullptr);
    return true;
  }

  std::string Name() const override { return "terminal"; }

  // Keys and clicks still queued when another window takes over were meant
  // for the one before (an Enter typed as the checking dialog closed must
  // not press OK in the review dialog): they are dropped once for each
  // window that comes to wait, before it is shown. Call with drawMutex_.
  void DropEarlierInput(const ui::frontend::Screen& screen) {
    std::tuple<int, ui::Window, int, int> waiting{static_cast<int>(screen.waiting), screen.waitingDialog,
                                                   screen.messageBox ? screen.messageBox->serial : 0,
                                                   screen.fileDialog ? screen.fileDialog->serial : 0};
    if (!screen.waitingChanged || waiting == droppedFor_) return;
    droppedFor_ = waiting;
    flushinp();
  }

  void Render(const ui::frontend::Screen& screen) override {
    std::lock_guard<std::mutex> lock(drawMutex_);
    if (stopped_) return;
    screen_ = screen;
    // Before a window that comes to wait is first drawn, so that what a
    // person types once they see it is never taken for stale input.
    DropEarlierInput(screen);
    Draw();
  }

  Input WaitForInput(const ui::frontend::Screen& screen, std::optional<std::chrono::milliseconds> timeout) override {
    {
      std::lock_guard<std::mutex> lock(drawMutex_);
      DropEarlierInput(screen);
    }
    std::optional<Clock::time_point> deadline;
    if (timeout) deadline = Clock::now() + *timeout;
    for (;;) {
      {
        std::lock_guard<std::mutex> lock(drawMutex_);
        if (stopped_) return Input{};
      }
      // A timed box's countdown is drawn again at each whole second.
      int waitMs = -1;
      auto now = Clock::now();
      if (deadline) waitMs = static_cast<int>(std::max<long long>(0, std::chrono::ceil<std::chrono::milliseconds>(*deadline - now).count()));
      if (screen.messageBox && screen.messageBox->timeoutMs > 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(screen.messageBox->deadline - now).count();
        int tick = static_cast<int>(left > 0 ? (left % 1000) + 1 : 50);
        waitMs = waitMs < 0 ? tick : std::min(waitMs, tick);
      }
      pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {wakeRead, POLLIN, 0}};
      int ready = poll(fds, 2, waitMs);
      if (ready < 0 && errno != EINTR) return Input{};
      bool woken = false;
      if (ready > 0 && (fds[1].revents & POLLIN)) {
        char bytes[64];
        ssize_t n;
        bool resized = false;
        while ((n = ::read(wakeRead, bytes, sizeof bytes)) > 0)
          for (ssize_t i = 0; i < n; ++i) (bytes[i] == 'r' ? resized : woken) = true;
        if (resized) Resize();
      }
      if (ready > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) {
        if (fds[0].revents & (POLLHUP | POLLERR) && !(fds[0].revents & POLLIN)) {
          // The terminal went away: nobody can answer any more.
          ui::ExitProcess(129);
        }
        if (std::optional<Input> input = ReadInput(screen)) return *input;
      }
      if (woken) return Input{};
      if (deadline && Clock::now() >= *deadline) return Input{};
      if (screen.messageBox && screen.messageBox->timeoutMs > 0) {
        std::lock_guard<std::mutex> lock(drawMutex_);
        if (!stopped_) Draw();
      }
    }
  }

  void Wake() override {
    if (wakeWrite < 0) return;
    char byte = 'w';
    [[maybe_unused]] ssize_t n = ::write(wakeWrite, &byte, 1);
  }

  void Stop() override {
    std::lock_guard<std::mutex> lock(drawMutex_);
    if (stopped_ || !started_) return;
    stopped_ = true;
    RestoreTerminal();
  }

  void Rejected(const Input&, const std::string&) override { beep(); }

 private:
  void Resize() {
    struct winsize size;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0)
      resize_term(size.ws_row, size.ws_col);
    std::lock_guard<std::mutex> lock(drawMutex_);
    if (stopped_) return;
    clearok(curscr, TRUE);
    Draw();
  }

  // Reads every key and mouse event waiting; the first that means
  // something to the core ends the read (the rest stay queued in curses).
  std::optional<Input> ReadInput(const ui::frontend::Screen& screen) {
    bool changed = false;
    std::optional<Input> result;
    for (;;) {
      wint_t ch = 0;
      int kind = get_wch(&ch);
      if (kind == ERR) break;
      std::optional<Key> key;
      std::optional<Mouse> mouse;
      if (kind == KEY_CODE_YES) {
        switch (ch) {
          case KEY_MOUSE: {
            MEVENT event;
            if (getmouse(&event) == OK) {
              Mouse m;
              m.x = event.x;
              m.y = event.y;
              m.shift = event.bstate & BUTTON_SHIFT;
              m.ctrl = event.bstate & BUTTON_CTRL;
              if (event.bstate & BUTTON1_PRESSED) mouse = m;
              if (event.bstate & BUTTON4_PRESSED) m.button = MouseButton::WheelUp, mouse = m;
              if (event.bstate & BUTTON5_PRESSED) m.button = MouseButton::WheelDown, mouse = m;
            }
            break;
          }
          case KEY_RESIZE: Resize(); break;
          case KEY_UP: key = Key{KeyCode::Up}; break;
          case KEY_DOWN: key = Key{KeyCode::Down}; break;
          case KEY_LEFT: key = Key{KeyCode::Left}; break;
          case KEY_RIGHT: key = Key{KeyCode::Right}; break;
          case KEY_SR: key = Key{KeyCode::Up, 0, true}; break;
          case KEY_SF: key = Key{KeyCode::Down, 0, true}; break;
          case KEY_SLEFT: key = Key{KeyCode::Left, 0, true}; break;
          case KEY_SRIGHT: key = Key{KeyCode::Right, 0, true}; break;
          case KEY_PPAGE: key = Key{KeyCode::PageUp}; break;
          case KEY_NPAGE: key = Key{KeyCode::PageDown}; break;
          case KEY_SPREVIOUS: key = Key{KeyCode::PageUp, 0, true}; break;
          case KEY_SNEXT: key = Key{KeyCode::PageDown, 0, true}; break;
          case KEY_HOME: key = Key{KeyCode::Home}; break;
          case KEY_END: key = Key{KeyCode::End}; break;
          case KEY_SHOME: key = Key{KeyCode::Home, 0, true}; break;
          case KEY_SEND: key = Key{KeyCode::End, 0, true}; break;
          case KEY_BTAB: key = Key{KeyCode::BackTab}; break;
          case KEY_ENTER: key = Key{KeyCode::Enter}; break;
          case KEY_BACKSPACE: key = Key{KeyCode::Backspace}; break;
          case KEY_DC: key = Key{KeyCode::Delete}; break;
          default: break;
        }
      } else {
        switch (ch) {
          case 3:  // Ctrl-C: the person wants out; every way out restores the screen.
            ui::ExitProcess(130);
          case 1: key = Key{KeyCode::SelectAll}; break;
          case 9: key = Key{KeyCode::Tab}; break;
          case 12:  // Ctrl-L: draw everything again.
            clearok(curscr, TRUE);
            changed = true;
            break;
          case 13:
          case 10: key = Key{KeyCode::Enter}; break;
          case 21: key = Key{KeyCode::ClearField}; break;
          case 27: key = AfterEscape(); break;
          case 8:
          case 127: key = Key{KeyCode::Backspace}; break;
          default:
            if (ch >= 32) key = Key{KeyCode::Char, static_cast<char32_t>(ch)};
        }
      }
      std::optional<Input> input;
      if (key) input = ui_.OnKey(screen, *key);
      if (mouse) input = ui_.OnMouse(screen, *mouse);
      if (key || mouse) changed = true;
      if (input && input->kind != InputKind::None) {
        result = input;
        break;
      }
    }
    if (changed) {
      std::lock_guard<std::mutex> lock(drawMutex_);
      if (!stopped_) Draw();
    }
    return result;
  }

  // An Escape that arrives with more bytes behind it is the start of a key
  // sequence curses does not know for this terminal (Shift with an arrow
  // key under some TERM settings, Alt with a letter): it is decoded where
  // it can be and swallowed otherwise, never taken for Escape, which
  // would cancel the dialog.
  std::optional<Key> AfterEscape() {
    std::string sequence;
    wint_t ch = 0;
    if (get_wch(&ch) == ERR) return Key{KeyCode::Escape};
    if (ch != L'[' && ch != L'O') return std::nullopt;
    while (sequence.size() < 16 && get_wch(&ch) != ERR) {
      sequence.push_back(static_cast<char>(ch));
      if (ch >= 0x40 && ch <= 0x7E) break;
    }
    return DecodeSequence(sequence);
  }

  // Composes the screen and copies it to curses. Call with drawMutex_ held.
  void Draw() {
    int width = 0, height = 0;
    getmaxyx(stdscr, height, width);
    Canvas canvas = ui_.Compose(screen_, width, height, Clock::now());
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const Cell& cell = canvas.At(x, y);
        if (cell.wideTail) continue;
        attr_t attributes = 0;
        short pair = 0;
        StyleOf(cell.style, attributes, pair);
        cchar_t out;
        const cchar_t* line = LineGlyph(cell.ch);
        if (line) {
          wchar_t glyph[CCHARW_MAX + 1] = {};
          attr_t lineAttributes = 0;
          short linePair = 0;
          getcchar(line, glyph, &lineAttributes, &linePair, nullptr);
          setcchar(&out, glyph, attributes | (lineAttributes & A_ALTCHARSET), pair, nullptr);
        } else {
          wchar_t text[2] = {static_cast<wchar_t>(utf8_ || cell.ch < 0x80 ? cell.ch : U'?'), 0};
          setcchar(&out, text, attributes, pair, nullptr);
        }
        mvwadd_wch(stdscr, y, x, &out);
      }
    }
    if (std::optional<std::pair<int, int>> cursor = ui_.Cursor()) {
      curs_set(1);
      wmove(stdscr, cursor->second, cursor->first);
    } else {
      curs_set(0);
    }
    wnoutrefresh(stdscr);
    doupdate();
  }

  const cchar_t* LineGlyph(char32_t ch) const {
    if (utf8_) return nullptr;
    switch (ch) {
      case kHLine: return WACS_HLINE;
      case kVLine: return WACS_VLINE;
      case kTopLeft: return WACS_ULCORNER;
      case kTopRight: return WACS_URCORNER;
      case kBottomLeft: return WACS_LLCORNER;
      case kBottomRight: return WACS_LRCORNER;
      case kLeftTee: return WACS_LTEE;
      case kRightTee: return WACS_RTEE;
      case kFullBlock: return WACS_BLOCK;
      case kLightShade: return WACS_CKBOARD;
      default: return nullptr;
    }
  }

  static void StyleOf(Style style, attr_t& attributes, short& pair) {
    bool color = has_colors();
    auto use = [&](short colorPair, attr_t mono) {
      if (color)
        pair = colorPair;
      else
        attributes |= mono;
    };
    switch (style) {
      case Style::Desktop: use(kDesktop, A_NORMAL); break;
      case Style::Face: use(kFace, A_NORMAL); break;
      case Style::Disabled: use(kDisabled, A_DIM); attributes |= A_DIM; break;
      case Style::Caption: use(kCaption, A_REVERSE); attributes |= A_BOLD; break;
      case Style::CaptionInactive: use(kCaptionInactive, A_REVERSE); break;
      case Style::Focus: use(kFace, 0); attributes |= A_REVERSE; break;
      case Style::Button: use(kFace, 0); break;
      case Style::DefaultButton: use(kFace, 0); attributes |= A_BOLD; break;
      case Style::Selected: use(kSelected, A_REVERSE); break;
      case Style::SelectedFocus: use(kSelected, A_REVERSE); attributes |= A_UNDERLINE | A_BOLD; break;
      case Style::Caret: use(kFace, 0); attributes |= A_UNDERLINE; break;
      case Style::Header: use(kFace, 0); attributes |= A_BOLD | A_UNDERLINE; break;
      case Style::BarFill: use(kBar, A_BOLD); break;
      case Style::BarEmpty: use(kBarEmpty, A_DIM); break;
      case Style::Field: use(kField, A_UNDERLINE); break;
      case Style::Error: use(kFace, 0); attributes |= A_BOLD; break;
      case Style::Hint: use(kHint, A_REVERSE); break;
    }
  }

  std::mutex drawMutex_;
  // What waited for input when earlier input was last dropped (see
  // DropEarlierInput), so that it is dropped once for each window.
  std::tuple<int, ui::Window, int, int> droppedFor_{-1, nullptr, 0, 0};
  bool started_ = false;
  bool stopped_ = false;
  bool utf8_ = true;
  TerminalUi ui_;
  ui::frontend::Screen screen_;
};

}  // namespace

std::unique_ptr<ui::frontend::FrontEnd> MakeTerminalFrontEnd(std::string& whyNot) {
  // Only the character type follows the environment: numbers in the
  // program's messages keep the "C" formatting whatever the locale.
  std::setlocale(LC_CTYPE, "");
  if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
  auto frontEnd = std::make_unique<TerminalFrontEnd>();
  if (!frontEnd->Start(whyNot)) return nullptr;
  return frontEnd;
}

}  // namespace terminal

extern "C" void linnet_terminal_front_end_linked() {}

namespace {
// Registered before main runs, so that StartFrontEnd finds it.
struct Registration {
  Registration() { ui::frontend::RegisterTerminalFrontEnd(&terminal::MakeTerminalFrontEnd); }
} registration;
}  // namespace
