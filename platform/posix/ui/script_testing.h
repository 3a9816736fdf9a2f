// In-process driving of dialogs by a script, for unit tests of dialog
// procedures: start the script front end on the test's thread, run
// DialogBoxParam (or MessageBox, GetOpenFileName...) as the program would,
// then read the transcript.
//
// A mismatch still ends the process with exit code 3 (there is no safe way
// to unwind a test out of a message loop while other threads may run), and
// so does anything that calls ExitProcess: test those through the program.
#pragma once

#include <string>
#include <string_view>

namespace ui::test {

// Installs the script front end with the calling thread as the UI thread,
// and writes the transcript to `transcriptPath` (empty: no transcript).
// False, with the reason in `error`, when the script does not parse.
// `idleMs` is the quiet time before an unanswered window is a mismatch.
bool StartScriptFrontEnd(std::string_view scriptText, const std::string& transcriptPath,
                         std::string* error = nullptr, long idleMs = 1000);

// Removes the front end, closes the transcript and drops the messages still
// queued for the calling thread.
void StopFrontEnd();

}  // namespace ui::test
