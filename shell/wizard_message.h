// The wizard's own message boxes: no owner window, the program's caption.
#pragma once

#include <string>
#include <string_view>

// Shows `text` and returns the id of the button that ended the box. A box
// with the error icon tells of something the run could not do, and so marks
// the run as failed.
int ShowWizardMessage(std::u16string_view text, unsigned type);

// The run could not do what it was started for (a save that failed, no
// network to check with); whoever started the program learns it from the
// exit code.
void NoteRunFailed();
bool RunFailed();

// Tells the person that a save step failed: the format gets the path and the
// reason (a stand-in when the system gave none), then `extra` if not empty.
void ShowSaveFailure(std::u16string_view format, std::u16string_view path, const std::u16string& reason,
                     std::u16string_view extra = {});
