// The Windows resource script of the program, made from the one description
// of its dialogs and icon in resources/, so that no layout is stated twice.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog_template.h"

namespace resource_script {

// One dialog as a DIALOGEX statement: every control a CONTROL line with its
// class and styles spelled out.
std::string DialogStatement(const ui::DialogTemplate& dialog);

// The whole script: the manifest and the icon group (by the file names
// given, resolved beside the script) and every dialog.
std::string ResourceScript(std::string_view iconFile, std::string_view manifestFile);

// An .ico file holding the images (32 bits per pixel, with the mask that
// older readers use).
std::string IconFile(const std::vector<ui::IconImage>& images);

}  // namespace resource_script
