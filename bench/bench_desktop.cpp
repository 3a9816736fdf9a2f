// The desktop front end's render and input latency, next to the terminal
// front end doing the same work: a result posted by a worker until the
// checking dialog shows it, and a review list of 100,000 rows shown,
// scrolled, and moved through and selected by keys, each key timed until
// the program has taken what it did and the front end has drawn the
// program's new state. Qt runs offscreen (the same painting, without a
// display); the terminal's figures are its composition of the screen,
// without writing it to a terminal.
#include "platform/posix/desktop/desktop_front_end.h"
#include "platform/posix/desktop/template_label.h"
#include "platform/posix/terminal/terminal_ui.h"
#include "platform/posix/ui/frontend.h"
#include "platform/ui.h"

#include <QApplication>
#include <QKeyEvent>
#include <QItemSelection>
#include <QTimer>
#include <QScrollBar>
#include <QTreeView>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr unsigned kResult = ui::WM_APP + 1;
constexpr int kResults = 300;
constexpr int kRows = 100000;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  if (ms.empty()) return;
  std::printf("  %-44s median %7.3f ms   p95 %7.3f ms   max %7.3f ms\n", what, ms[ms.size() / 2],
              ms[ms.size() * 95 / 100], ms.back());
}

// ------------------------------------------------ results into DIALOG_3

std::vector<Clock::time_point> posted(kResults), shown(kResults);
std::atomic<int> lastShown{-1};
std::thread poster;

std::u16string Statistics(int i) {
  std::string text = "Total: \t\t" + std::to_string(kResults) + "\r\n\r\nChecked: \t" + std::to_string(i + 1);
  return std::u16string(text.begin(), text.end());
}

// Posts one result at a time and waits until it has been shown, so each
// latency is that of one result alone.
void PostOneByOne(ui::Window dialog) {
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  for (int i = 0; i < kResults; ++i) {
    posted[i] = Clock::now();
    ui::PostMessage(dialog, kResult, static_cast<ui::WParam>(i), 0);
    auto deadline = Clock::now() + std::chrono::seconds(2);
    while (lastShown.load() < i && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
  ui::PostMessage(dialog, ui::WM_COMMAND, ui::IDCANCEL, 0);
}

// Notes when the statistics label has painted each result.
class PaintWatch : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      auto* label = static_cast<desktop::TemplateLabel*>(watched);
      QString text = label->Text();
      int at = text.lastIndexOf(u'\t');
      int i = at < 0 ? -1 : text.mid(at + 1).toInt() - 1;
      if (i >= 0 && i < kResults && i > lastShown.load()) {
        shown[i] = Clock::now();
        lastShown = i;
      }
    }
    return false;
  }
};

std::intptr_t Checking(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam) {
  if (message == ui::WM_INITDIALOG) poster = std::thread(PostOneByOne, dialog);
  if (message == kResult) {
    static PaintWatch* watch = nullptr;
    if (!watch && desktop::WindowOf(dialog)) {
      watch = new PaintWatch;
      desktop::WindowOf(dialog)->findChild<QWidget*>(QStringLiteral("control-2"))->installEventFilter(watch);
    }
    ui::SetDlgItemText(dialog, 700, Statistics(static_cast<int>(wParam)));
    ui::SendDlgItemMessage(dialog, 900, ui::PBM_SETPOS, wParam * 100 / kResults, 0);
    ui::InvalidateRect(ui::GetDlgItem(dialog, 900), true);
    ui::UpdateWindow(ui::GetDlgItem(dialog, 900));
  }
  if (message == ui::WM_COMMAND && (wParam & 0xFFFF) == ui::IDCANCEL) ui::EndDialog(dialog, 0);
  return 0;
}

// The terminal front end's half of the same work: the screen composed.
class ComposingFrontEnd : public ui::frontend::FrontEnd {
 public:
  std::string Name() const override { return "terminal (composition)"; }
  void Render(const ui::frontend::Screen& screen) override {
    ui_.Compose(screen, 120, 40, Clock::now());
    for (const auto& dialog : screen.dialogs)
      for (const auto& control : dialog.controls)
        if (control.id == 700 && !control.text.empty()) {
          std::size_t at = control.text.rfind(u'\t');
          int i = std::atoi(std::string(control.text.begin() + at + 1, control.text.end()).c_str()) - 1;
          if (i > lastShown.load()) {
            shown[i] = Clock::now();
            lastShown = i;
          }
        }
  }
  ui::frontend::Input WaitForInput(const ui::frontend::Screen&, std::optional<std::chrono::milliseconds> timeout) override {
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait_for(lock, timeout.value_or(std::chrono::milliseconds(1000)), [&] { return woken_; });
    woken_ = false;
    return {};
  }
  void Wake() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      woken_ = true;
    }
    cv_.notify_all();
  }
  void Stop() override {}
  terminal::TerminalUi ui_;

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool woken_ = false;
};

std::vector<double> RunResults() {
  lastShown = -1;
  ui::DialogBoxParam("DIALOG_3", nullptr, Checking, 0);
  poster.join();
  std::vector<double> ms;
  for (int i = 5; i <= lastShown.load(); ++i) ms.push_back(Ms(shown[i] - posted[i]));
  return ms;
}

// ----------------------------------------------- a long review list

ui::Window reviewDialog = nullptr;

std::intptr_t Review(ui::Window dialog, unsigned message, ui::WParam, ui::LParam) {
  if (message != ui::WM_INITDIALOG) return 0;
  reviewDialog = dialog;
  ui::Window list = ui::GetDlgItem(dialog, 900);
  const char16_t* headers[] = {u"#", u"Name", u"Action", u"URL"};
  for (int c = 0; c < 4; ++c) ui::ListView_InsertColumn(list, c, headers[c], c == 3 ? 100 : 70);
  for (int i = 0; i < kRows; ++i) {
    std::string number = std::to_string(i + 1);
    std::string url = "http://www.example.com/some/page/" + number + ".html";
    int row = ui::ListView_InsertItem(list, i, std::u16string(number.begin(), number.end()), i);
    ui::ListView_SetItemText(list, row, 1, u"A bookmark title of ordinary length");
    ui::ListView_SetItemText(list, row, 2, i % 3 ? u"Delete" : u"Fix");
    ui::ListView_SetItemText(list, row, 3, std::u16string(url.begin(), url.end()));
  }
  ui::ListView_SetColumnWidth(list, 0, ui::LVSCW_AUTOSIZE_USEHEADER);
  for (int c = 1; c < 4; ++c) ui::ListView_SetColumnWidth(list, c, ui::LVSCW_AUTOSIZE);
  ui::ListView_SetExtendedListViewStyle(list, ui::LVS_EX_FULLROWSELECT);
  return 0;
}

Clock::time_point* filledAt = nullptr;

std::intptr_t MarkedReview(ui::Window dialog, unsigned message, ui::WParam w, ui::LParam l) {
  std::intptr_t result = Review(dialog, message, w, l);
  if (message == ui::WM_INITDIALOG && filledAt) *filledAt = Clock::now();
  if (message == ui::WM_COMMAND) ui::EndDialog(dialog, 0);
  return result;
}

// The first selected row and the number of selected rows, as the program sees them.
std::pair<int, int> CoreSelection() {
  ui::Window list = ui::GetDlgItem(reviewDialog, 900);
  int first = ui::ListView_GetNextItem(list, -1, ui::LVNI_SELECTED), count = 0;
  for (int row = first; row >= 0; row = ui::ListView_GetNextItem(list, row, ui::LVNI_SELECTED)) ++count;
  return {first, count};
}

// The keys each front end gets, one at a time, each timed from the key
// until the program has taken the selection it made and the front end has
// drawn the program's new state: the whole way a person's key goes.
struct KeyStep {
  const char* what;
  int count;
};
constexpr KeyStep kKeySteps[] = {{"page down", 20}, {"caret down a row", 20}, {"select all", 1}};

// Notes each paint of a list's rows (from the first, which may come before
// the list is found).
class Paints : public QObject {
 public:
  int count = 0;
  Clock::time_point last;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && watched->parent() && qobject_cast<QTreeView*>(watched->parent())) {
      ++count;
      last = Clock::now();
    }
    return false;
  }
};

// What the list shows selected: its first row and how many.
std::pair<int, int> ShownSelection(QTreeView* view) {
  int first = -1, count = 0;
  for (const QItemSelectionRange& range : view->selectionModel()->selection()) {
    if (first < 0 || range.top() < first) first = range.top();
    count += range.height();
  }
  return {first, count};
}

void PrintKeySteps(const std::vector<std::vector<double>>& steps) {
  for (std::size_t i = 0; i < steps.size(); ++i) {
    std::string what = std::string(kKeySteps[i].what) + " (key to program to drawn)";
    if (steps[i].size() == 1)
      std::printf("  %-44s %7.1f ms\n", what.c_str(), steps[i][0]);
    else
      Report(what.c_str(), steps[i]);
  }
}

// Drives the list from inside the front end's loop, as a person's input
// would come.
void DesktopList() {
  Clock::time_point opened = Clock::now();
  double showMs = -1;
  std::vector<double> pages;
  std::vector<std::vector<double>> steps(std::size(kKeySteps));
  QTreeView* view = nullptr;
  Paints paints;
  QTimer timer;
  int phase = 0;
  std::size_t step = 0;
  int done = 0;
  std::pair<int, int> wanted{-2, 0};
  Clock::time_point keyAt;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (phase == 0) {
      QWidget* window = reviewDialog ? desktop::WindowOf(reviewDialog) : nullptr;
      view = window ? window->findChild<QTreeView*>() : nullptr;
      if (!view || paints.count == 0) return;
      showMs = Ms(paints.last - opened);
      // Scrolling by page with the scroll bar (a click beside its handle),
      // which changes nothing in the program; each repainted at once.
      for (int i = 0; i < 50; ++i) {
        int before = paints.count;
        auto start = Clock::now();
        view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        view->viewport()->repaint();
        if (paints.count > before) pages.push_back(Ms(paints.last - start));
      }
      view->scrollToTop();
      view->setFocus();
      phase = 1;
      return;
    }
    if (phase != 1) return;
    if (wanted.first != -2) {
      if (CoreSelection() != wanted) return;
      view->viewport()->repaint();
      steps[step].push_back(Ms(paints.last - keyAt));
      wanted = {-2, 0};
      if (++done == kKeySteps[step].count) {
        done = 0;
        if (++step == std::size(kKeySteps)) {
          phase = 2;
          // Posted: this runs inside the front end's wait, which a message
          // ends and an EndDialog called from here would not.
          ui::PostMessage(reviewDialog, ui::WM_COMMAND, ui::IDOK, 0);
          return;
        }
      }
    }
    keyAt = Clock::now();
    int code = step == 0 ? Qt::Key_PageDown : step == 1 ? Qt::Key_Down : Qt::Key_A;
    QKeyEvent press(QEvent::KeyPress, code, step == 2 ? Qt::ControlModifier : Qt::NoModifier);
    QCoreApplication::sendEvent(view, &press);
    wanted = ShownSelection(view);
  });
  timer.start(0);
  qApp->installEventFilter(&paints);
  // The time to show counts from the end of filling the list (its dialog's initialisation).
  filledAt = &opened;
  ui::DialogBoxParam("DIALOG_4", nullptr, MarkedReview, 0);
  qApp->removeEventFilter(&paints);
  std::printf("  %-44s %7.1f ms\n", "show the list (to its first paint)", showMs);
  Report("scroll a page with the scroll bar (repainted)", pages);
  PrintKeySteps(steps);
}

// The terminal front end's screen logic, given the same keys: each key is
// handed to it in its wait, the input it makes goes to the program, and the
// screen is composed (not written to a terminal) when the program's state
// comes back.
class TerminalListDriver : public ui::frontend::FrontEnd {
 public:
  std::string Name() const override { return "terminal (composition)"; }
  void Render(const ui::frontend::Screen& screen) override {
    ui_.Compose(screen, 120, 40, Clock::now());
    composed_ = Clock::now();
    if (!shown_ && !screen.dialogs.empty()) shown_ = true, showMs = Ms(composed_ - *filledAt);
  }
  ui::frontend::Input WaitForInput(const ui::frontend::Screen& screen, std::optional<std::chrono::milliseconds>) override {
    if (step_ == std::size(kKeySteps)) {
      ui::PostMessage(reviewDialog, ui::WM_COMMAND, ui::IDOK, 0);
      ++step_;
      return {};
    }
    if (step_ > std::size(kKeySteps)) return {};
    if (wanted_.first != -2) {
      if (CoreSelection() != wanted_) return {};
      steps[step_].push_back(Ms(composed_ - keyAt_));
      wanted_ = {-2, 0};
      if (++done_ == kKeySteps[step_].count) {
        done_ = 0;
        if (++step_ == std::size(kKeySteps)) return {};
      }
    }
    terminal::KeyCode code = step_ == 0   ? terminal::KeyCode::PageDown
                             : step_ == 1 ? terminal::KeyCode::Down
                                          : terminal::KeyCode::SelectAll;
    keyAt_ = Clock::now();
    std::optional<ui::frontend::Input> input = ui_.OnKey(screen, terminal::Key{code});
    if (!input) {
      // The terminal's caret moves without selecting: the front end draws
      // it at once, without the program.
      Render(screen);
      wanted_ = CoreSelection();
      return {};
    }
    wanted_ = {input->rows.empty() ? -1 : input->rows.front(), static_cast<int>(input->rows.size())};
    return *input;
  }
  void Wake() override {}
  void Stop() override {}

  double showMs = -1;
  std::vector<std::vector<double>> steps = std::vector<std::vector<double>>(std::size(kKeySteps));

 private:
  terminal::TerminalUi ui_;
  Clock::time_point composed_, keyAt_;
  bool shown_ = false;
  std::size_t step_ = 0;
  int done_ = 0;
  std::pair<int, int> wanted_{-2, 0};
};

void TerminalList() {
  auto driver = std::make_unique<TerminalListDriver>();
  TerminalListDriver* terminal = driver.get();
  ui::frontend::InstallFrontEnd(std::move(driver));
  Clock::time_point opened;
  filledAt = &opened;
  ui::DialogBoxParam("DIALOG_4", nullptr, MarkedReview, 0);
  std::printf("  %-44s %7.1f ms\n", "show the list (to its first composition)", terminal->showMs);
  PrintKeySteps(terminal->steps);
}

}  // namespace

int main() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  std::string whyNot;
  auto desktopFrontEnd = desktop::MakeDesktopFrontEnd(whyNot);
  if (!desktopFrontEnd) {
    std::fprintf(stderr, "bench_desktop: %s\n", whyNot.c_str());
    return 1;
  }
  std::printf("A posted result until the checking dialog shows it (%d results, one at a time):\n", kResults);
  ui::frontend::InstallFrontEnd(std::move(desktopFrontEnd));
  Report("desktop (Qt, painted)", RunResults());
  ui::frontend::InstallFrontEnd(std::make_unique<ComposingFrontEnd>());
  Report("terminal (screen composed)", RunResults());

  std::printf("A review list of %d rows, desktop:\n", kRows);
  ui::frontend::InstallFrontEnd(desktop::MakeDesktopFrontEnd(whyNot));
  DesktopList();
  std::printf("The same list, terminal:\n");
  TerminalList();
  ui::frontend::InstallFrontEnd(nullptr);
  std::fflush(stdout);
  std::_Exit(0);
}
