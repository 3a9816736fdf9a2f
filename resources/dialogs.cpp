// Every dialog's layout, in dialog units: the one place a layout is stated.
#include "platform/dialog_template.h"

#include <array>

namespace ui {
namespace {

using K = ControlKind;
constexpr int kNoId = -1;

constexpr std::u16string_view kWizardCaption = u"Linnet 3";
constexpr std::u16string_view kFont = u"Tahoma";

// Group boxes start a group, so the radio buttons after each one form one
// group of automatic radio buttons; radio and push buttons are tab stops.
constexpr ControlTemplate Label(int id, int x, int y, int cx, int cy, std::u16string_view text) {
  return {id, K::Label, x, y, cx, cy, text, false, false, false, false, true};
}
constexpr ControlTemplate GroupBox(int x, int y, int cx, int cy, std::u16string_view text) {
  return {kNoId, K::GroupBox, x, y, cx, cy, text, true, false, false, false, true};
}
constexpr ControlTemplate Radio(int id, int x, int y, int cx, int cy, std::u16string_view text) {
  return {id, K::Radio, x, y, cx, cy, text, false, true, false, false, true};
}
constexpr ControlTemplate Button(int id, int x, int y, int cx, int cy, std::u16string_view text) {
  return {id, K::Button, x, y, cx, cy, text, false, true, false, false, true};
}
constexpr ControlTemplate DefaultButton(int id, int x, int y, int cx, int cy, std::u16string_view text) {
  return {id, K::Button, x, y, cx, cy, text, false, true, true, false, true};
}
constexpr ControlTemplate Progress(int id, int x, int y, int cx, int cy) {
  return {id, K::Progress, x, y, cx, cy, u"", false, false, false, false, true, true};
}
// A report list in which several rows can be selected.
constexpr ControlTemplate List(int id, int x, int y, int cx, int cy) {
  return {id, K::ListView, x, y, cx, cy, u"", false, true, false, false, true, true, true};
}

constexpr std::array kSourceControls = {
    Label(kNoId, 5, 10, 145, 8, u"Welcome to Linnet 3.0!"),
    GroupBox(5, 32, 260, 103, u"Favorites source"),
    Label(kNoId, 16, 54, 174, 8, u"Please select the source to get the bookmarks:"),
    Radio(201, 21, 74, 149, 12, u"Import from Internet Explorer"),
    Radio(202, 21, 90, 149, 12, u"Import from Firefox"),
    Radio(203, 21, 106, 149, 12, u"Import from a bookmark file"),
    DefaultButton(1, 272, 6, 75, 18, u"OK"),
    Button(2, 272, 29, 75, 18, u"Cancel"),
    Button(9, 272, 115, 75, 18, u"Check for updates..."),
};

constexpr std::array kActionsControls = {
    GroupBox(5, 6, 260, 99, u"Actions on 404"),
    Label(kNoId, 16, 28, 174, 8, u"What to do with 404s (Site not found) ?"),
    Radio(201, 21, 43, 149, 12, u"Delete"),
    Radio(202, 21, 59, 149, 12, u"Fix"),
    Label(101, 22, 79, 218, 18,
          u"'Fix' will change the link from e.g.\r\nhttp://example.com/fail/link.htm to http://example.com"),
    GroupBox(5, 111, 260, 68, u"Actions on 500"),
    Label(kNoId, 16, 125, 229, 16, u"What to do with 500s (Internal server error, temporal or permanent) ?"),
    Radio(301, 21, 142, 149, 12, u"Ignore"),
    Radio(302, 21, 158, 149, 12, u"Delete"),
    GroupBox(5, 184, 260, 80, u"Actions on failure"),
    Label(kNoId, 16, 201, 174, 8, u"What to do when connection to site fails ?"),
    Radio(401, 21, 214, 149, 12, u"Ignore"),
    Radio(402, 21, 229, 149, 12, u"Delete"),
    DefaultButton(1, 295, 6, 50, 14, u"OK"),
    Button(2, 295, 26, 50, 14, u"Cancel"),
};

constexpr std::array kCheckingControls = {
    GroupBox(5, 6, 260, 119, u"Checking favorites..."),
    Progress(900, 18, 19, 228, 20),
    Label(700, 19, 47, 226, 70, u""),
    Button(9, 295, 13, 50, 15, u"Pause"),
    Button(2, 295, 32, 50, 15, u"Cancel"),
};

constexpr std::array kReviewControls = {
    Label(kNoId, 5, 10, 260, 15,
          u"The following bookmarks have problems. You may want to test and/or restore them."),
    List(900, 11, 35, 399, 200),
    Button(201, 422, 37, 50, 14, u"Test"),
    Button(202, 422, 54, 50, 14, u"Restore"),
    DefaultButton(1, 432, 8, 50, 14, u"OK"),
};

constexpr std::array kSaveTargetControls = {
    Label(kNoId, 5, 10, 145, 8, u"You can now save the fixed bookmarks!"),
    GroupBox(5, 32, 260, 103, u"Results saving"),
    Label(kNoId, 16, 54, 174, 8, u"What to do with your results ?"),
    Radio(201, 21, 74, 149, 12, u"Save to Internet Explorer"),
    Radio(202, 21, 90, 149, 12, u"Save to Firefox"),
    Radio(203, 21, 106, 149, 12, u"Save a bookmark file"),
    DefaultButton(1, 295, 6, 50, 14, u"OK"),
    Button(2, 295, 26, 50, 14, u"Cancel"),
};

constexpr std::array kUpdateControls = {
    GroupBox(4, 5, 425, 205, u"Update process"),
    Label(701, 15, 22, 395, 10, u""),
    Progress(901, 15, 42, 400, 15),
    Label(702, 15, 66, 395, 10, u"Overall process:"),
    Progress(902, 15, 82, 400, 15),
    Label(703, 15, 127, 395, 71, u""),
};

// Every dialog is a centred pop-up with a caption, a system menu and a
// minimise box; the frame styles differ.
struct Frame {
  bool modalFrame, threeDLook, foreground;
};
constexpr Frame kChoiceFrame{true, true, true};   // the three questions of the wizard
constexpr Frame kPlainFrame{false, false, false};  // checking and review
constexpr Frame kUpdateFrame{true, false, true};

constexpr DialogTemplate Dialog(std::string_view name, std::u16string_view caption, int cx, int cy,
                                std::span<const ControlTemplate> controls, Frame frame) {
  return {name,  caption, kFont, 8, 0, 0, cx, cy, false, true, true, controls, frame.modalFrame, frame.threeDLook,
          frame.foreground};
}

const DialogTemplate kTemplates[] = {
    Dialog("DIALOG_1", kWizardCaption, 356, 146, kSourceControls, kChoiceFrame),
    Dialog("DIALOG_2", kWizardCaption, 356, 270, kActionsControls, kChoiceFrame),
    Dialog("DIALOG_3", kWizardCaption, 356, 131, kCheckingControls, kPlainFrame),
    Dialog("DIALOG_4", kWizardCaption, 496, 244, kReviewControls, kPlainFrame),
    Dialog("DIALOG_5", kWizardCaption, 356, 146, kSaveTargetControls, kChoiceFrame),
    Dialog("DIALOG_UPDATE", u"Vireo Update", 433, 229, kUpdateControls, kUpdateFrame),
};

const DialogTemplate* const kAll[] = {&kTemplates[0], &kTemplates[1], &kTemplates[2],
                                      &kTemplates[3], &kTemplates[4], &kTemplates[5]};

}  // namespace

const DialogTemplate* FindDialogTemplate(std::string_view name) {
  for (const DialogTemplate& layout : kTemplates)
    if (layout.name == name) return &layout;
  return nullptr;
}

std::span<const DialogTemplate* const> AllDialogTemplates() { return kAll; }

}  // namespace ui
