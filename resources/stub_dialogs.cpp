// Placeholder until the dialog templates are in.
#include "platform/dialog_template.h"

namespace ui {
const DialogTemplate* FindDialogTemplate(std::string_view) { return nullptr; }
std::span<const DialogTemplate* const> AllDialogTemplates() { return {}; }
std::vector<IconImage> LoadIconGroup(std::string_view) { return {}; }
}  // namespace ui
