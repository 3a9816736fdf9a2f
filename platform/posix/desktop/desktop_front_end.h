// The desktop front end (Qt 6 Widgets): every dialog, message box and file
// dialog of the core as a real window, the notification-area icon in the
// desktop's tray. It registers itself with the UI core when the program
// starts; StartFrontEnd picks it when there is a display.
#pragma once

#include "platform/posix/ui/frontend.h"

#include <memory>
#include <string>

class QWidget;

namespace desktop {

// Starts Qt (once per process) and the front end; null, with the reason in
// `whyNot`, when Qt cannot open the display. QT_QPA_PLATFORM is honoured, so
// "offscreen" runs it without any display.
std::unique_ptr<ui::frontend::FrontEnd> MakeDesktopFrontEnd(std::string& whyNot);

// The window showing a dialog of the core (its template's name is the
// window's object name), the open message box and the open file dialog; null
// when not shown. For tests and benchmarks that look at the windows.
QWidget* WindowOf(ui::Window dialog);
QWidget* MessageBoxWindowShown();
// True while the front end waits for the person, the only time what they do
// reaches the windows: input from before a window waits is dropped.
bool WaitsForInput();
QWidget* FileDialogWindowShown();

}  // namespace desktop
