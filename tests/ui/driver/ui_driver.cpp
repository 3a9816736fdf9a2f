// A small program on the UI layer alone, so that tests can watch the ways
// a process ends (script mismatches, ExitProcess, a return from main)
// without the whole wizard. The first argument names the scene.
#include "platform/ui.h"

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

namespace {

std::intptr_t ChoiceProc(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam) {
  if (message == ui::WM_INITDIALOG) ui::CheckRadioButton(dialog, 201, 202, 202);
  if (message == ui::WM_COMMAND) {
    int id = static_cast<int>(wParam & 0xFFFF);
    if (id == ui::IDOK) ui::EndDialog(dialog, 1);
    if (id == ui::IDCANCEL) ui::EndDialog(dialog, 0);
  }
  return 0;
}

std::intptr_t EndsAtOnceProc(ui::Window dialog, unsigned message, ui::WParam, ui::LParam) {
  if (message == ui::WM_INITDIALOG) {
    ui::MessageBox(dialog, u"Nothing left to do.\r\nBye.", u"LNT 3.0!", ui::MB_OK);
    ui::ExitProcess(0);
  }
  return 0;
}

constexpr unsigned kResult = ui::WM_APP + 1;
std::thread worker;

// Counts results from a worker and ends by itself after the last.
std::intptr_t CountingProc(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam) {
  static int count = 0;
  if (message == ui::WM_INITDIALOG) {
    worker = std::thread([dialog] {
      for (int i = 0; i < 5; ++i) {
        ui::PostMessage(dialog, kResult, i, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    });
  }
  if (message == kResult) {
    ++count;
    ui::SendDlgItemMessage(dialog, 900, ui::PBM_SETPOS, count * 20, 0);
    if (count == 5) ui::EndDialog(dialog, 1);
  }
  return 0;
}

// Ends during its first round of messages, before anyone is asked for input.
std::intptr_t EndsBeforeWaitingProc(ui::Window dialog, unsigned message, ui::WParam, ui::LParam) {
  if (message == ui::WM_INITDIALOG) ui::PostMessage(dialog, kResult, 0, 0);
  if (message == kResult) ui::EndDialog(dialog, 1);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string scene = argc > 1 ? argv[1] : "";
  if (!ui::StartFrontEnd()) return 1;
  if (scene == "choice") {
    std::intptr_t result = ui::DialogBoxParam("DIALOG_2", nullptr, ChoiceProc, 0);
    ui::MessageBox(nullptr, result ? u"Chosen." : u"Cancelled.", u"LNT 3.0!", ui::MB_OK | ui::MB_ICONINFORMATION);
    ui::ExitProcess(result ? 10 : 11);
  }
  if (scene == "exit-in-dialog") {
    ui::DialogBoxParam("DIALOG_4", nullptr, EndsAtOnceProc, 0);
    return 9;  // not reached
  }
  if (scene == "counting") {
    std::intptr_t result = ui::DialogBoxParam("DIALOG_3", nullptr, CountingProc, 0);
    worker.join();
    ui::ExitProcess(static_cast<int>(result));
  }
  if (scene == "quick-count") {
    std::intptr_t result = ui::DialogBoxParam("DIALOG_3", nullptr, EndsBeforeWaitingProc, 0);
    ui::MessageBox(nullptr, u"Counted.", u"LNT 3.0!", ui::MB_OK);
    ui::ExitProcess(static_cast<int>(result));
  }
  if (scene == "open") {
    ui::OpenFileName ofn;
    ofn.filter = std::u16string(u"HTML files\0*.HTM;*.HTML\0\0", 25);
    ofn.title = u"Choose a bookmark file";
    ofn.flags = ui::OFN_EXPLORER | ui::OFN_FILEMUSTEXIST | ui::OFN_NOCHANGEDIR | ui::OFN_HIDEREADONLY;
    ui::ExitProcess(ui::GetOpenFileName(ofn) ? 0 : 1);
  }
  if (scene == "return") return 5;
  return 2;
}
