// The wizard's own message boxes: no owner window, the program's caption.
#pragma once

#include <string>
#include <string_view>

// Shows `text` and returns the id of the button that ended the box.
int ShowWizardMessage(std::u16string_view text, unsigned type);

// Tells the person that a save step failed: the format gets the path and the
// reason (a stand-in when the system gave none), then `extra` if not empty.
void ShowSaveFailure(std::u16string_view format, std::u16string_view path, const std::u16string& reason,
                     std::u16string_view extra = {});
