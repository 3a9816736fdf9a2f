#include "shell/wizard_message.h"

#include "platform/text.h"
#include "platform/ui.h"
#include "shell/wizard_texts.h"

namespace {
bool runFailed = false;
}  // namespace

void NoteRunFailed() { runFailed = true; }
bool RunFailed() { return runFailed; }

int ShowWizardMessage(std::u16string_view text, unsigned type) {
  if ((type & 0xF0) == ui::MB_ICONERROR) NoteRunFailed();
  return ui::MessageBox(nullptr, text, wizard_texts::kCaption, type);
}

void ShowSaveFailure(std::u16string_view format, std::u16string_view path, const std::u16string& reason,
                     std::u16string_view extra) {
  const std::u16string_view shownReason = reason.empty() ? wizard_texts::kUnknownReason : std::u16string_view(reason);
  const std::u16string text = extra.empty() ? text::Format(format, path, shownReason)
                                            : text::Format(format, path, shownReason, extra);
  ShowWizardMessage(text, ui::MB_OK | ui::MB_ICONERROR);
}
