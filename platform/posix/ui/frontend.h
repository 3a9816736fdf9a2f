// The seam between the UI core and the front ends that show its windows.
//
// The core (this folder) owns every window, queue and message loop, writes
// the transcript and runs the dialog procedures. A front end only renders
// the state the core hands it (platform/portable/ui/front_end.h) and turns
// a person's (or a script's) doing into Input records. The Parts never see
// a front end.
//
// The loop the core runs inside every modal dialog, message box, file
// dialog and GetMessage is, in outline:
//     handle every queued message (sent ones first);
//     if something changed since the last Render: Render(screen);
//     input = WaitForInput(screen, timeout);     // until input, Wake or timeout
//     apply input (click, select, key, answer...) and go round again.
//
// Pace: a stream of changes (the checking dialog's results, thousands a
// second) is drawn no more often than a person can see it, so the core
// keeps each front end to about one Render per kFrameInterval:
// - a change is drawn at once when nothing was drawn for a frame, else held
//   back until the frame is due (the timeout passed to WaitForInput then
//   ends by that time), and a held-back change is always drawn before the
//   loop that shows it ends: the last state of a dialog is seen;
// - a new dialog, box or file dialog waiting for input is drawn at once;
// - while messages posted from other threads keep coming, the core looks
//   at its queue once a frame by itself (the timeout passed to WaitForInput
//   ends within a frame) and posts do not call Wake; a post calls Wake when
//   the wait would otherwise last longer than a frame. Sent messages always
//   call Wake, and a person's input is never held.
// So the screen handed to WaitForInput may be up to a frame older than the
// windows' state; what waits for input in it is always current.
#pragma once

#include "platform/portable/ui/front_end.h"

#include <chrono>
#include <memory>

namespace ui::frontend {

// One frame of the screen: about the fastest a person can follow.
inline constexpr std::chrono::milliseconds kFrameInterval{16};

// ------------------------------------------------------------ registration

// A factory for a front end; returns null (after writing why to `whyNot`)
// when it cannot run here (e.g. no terminal).
using FrontEndFactory = std::unique_ptr<FrontEnd> (*)(std::string& whyNot);

// The terminal and desktop front ends register themselves here, so this
// layer never depends on curses or Qt. Note that a static initialiser in a static library is
// dropped by the linker unless something references its object file: link
// that library whole into the program (CMake's WHOLE_ARCHIVE link feature)
// or have the program reference a symbol of that file.
void RegisterTerminalFrontEnd(FrontEndFactory factory);
void RegisterDesktopFrontEnd(FrontEndFactory factory);

// Installs a front end directly (tests, or a program choosing its own).
// Replaces any front end started before.
void InstallFrontEnd(std::unique_ptr<FrontEnd> frontEnd);

// The core's view of the screen right now (the same snapshot Render gets).
Screen CurrentScreen();

}  // namespace ui::frontend
