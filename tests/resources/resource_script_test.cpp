// The Windows resource script is generated from the dialog templates; read
// back, it must say exactly what the templates say.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/dialog_template.h"
#include "platform/text.h"
#include "tools/resource_script/resource_script.h"

namespace {

std::string Utf8(std::u16string_view s) { return text::Utf16ToUtf8(s); }

// Undoes the script's string escapes (the templates' texts are ASCII).
std::string Unquote(std::string_view literal) {
  EXPECT_EQ(literal.substr(0, 2), "L\"");
  literal = literal.substr(2, literal.size() - 3);
  std::string out;
  for (std::size_t i = 0; i < literal.size(); ++i) {
    if (literal[i] == '"') {
      ++i;  // a doubled quote
      out += '"';
    } else if (literal[i] == '\\') {
      char c = literal[++i];
      out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
    } else {
      out += literal[i];
    }
  }
  return out;
}

// Splits a CONTROL line's arguments at the commas outside the text.
std::vector<std::string> Arguments(const std::string& line) {
  std::vector<std::string> out(1);
  bool quoted = false;
  for (char c : line.substr(line.find("CONTROL ") + 8)) {
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) {
      out.emplace_back();
      continue;
    }
    if (!(out.back().empty() && c == ' ')) out.back() += c;
  }
  return out;
}

std::map<std::string, std::vector<std::string>> Blocks(const std::string& script) {
  std::map<std::string, std::vector<std::string>> blocks;
  std::istringstream in(script);
  std::string line, current;
  while (std::getline(in, line)) {
    if (line.find(" DIALOGEX ") != std::string::npos) current = line.substr(0, line.find(' '));
    if (!current.empty()) blocks[current].push_back(line);
    if (line == "END") current.clear();
  }
  return blocks;
}

bool HasStyle(const std::string& styles, const std::string& style) {
  std::string padded = " " + styles + " ";
  return padded.find(" " + style + " ") != std::string::npos;
}

}  // namespace

TEST(ResourceScript, EveryDialogAndControlIsStatedAsTheTemplatesSay) {
  const std::string script = resource_script::ResourceScript("linnet.ico", "linnet.manifest");
  EXPECT_NE(script.find("CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"linnet.manifest\""), std::string::npos);
  EXPECT_NE(script.find("ICON_1 ICON \"linnet.ico\""), std::string::npos);
  auto blocks = Blocks(script);
  ASSERT_EQ(blocks.size(), ui::AllDialogTemplates().size());
  for (const ui::DialogTemplate* dialog : ui::AllDialogTemplates()) {
    SCOPED_TRACE(std::string(dialog->name));
    const std::vector<std::string>& lines = blocks[std::string(dialog->name)];
    ASSERT_EQ(lines.size(), 5 + dialog->controls.size() + 1);
    EXPECT_EQ(lines[0], std::string(dialog->name) + " DIALOGEX 0, 0, " + std::to_string(dialog->cx) + ", " +
                            std::to_string(dialog->cy));
    const std::string styles = lines[1].substr(6);
    for (const char* always : {"WS_POPUP", "WS_CAPTION", "WS_SYSMENU", "DS_SETFONT"}) EXPECT_TRUE(HasStyle(styles, always));
    EXPECT_EQ(HasStyle(styles, "WS_MINIMIZEBOX"), dialog->minimizeBox);
    EXPECT_EQ(HasStyle(styles, "DS_MODALFRAME"), dialog->modalFrame);
    EXPECT_EQ(HasStyle(styles, "DS_3DLOOK"), dialog->threeDLook);
    EXPECT_EQ(HasStyle(styles, "DS_SETFOREGROUND"), dialog->foreground);
    EXPECT_EQ(HasStyle(styles, "DS_CENTER"), dialog->centered);
    EXPECT_EQ(HasStyle(styles, "WS_VISIBLE"), dialog->visible);
    EXPECT_EQ(Unquote(lines[2].substr(8)), Utf8(dialog->caption));
    EXPECT_EQ(lines[3], "FONT 8, L\"Tahoma\"");
    for (std::size_t i = 0; i < dialog->controls.size(); ++i) {
      const ui::ControlTemplate& control = dialog->controls[i];
      SCOPED_TRACE(lines[5 + i]);
      std::vector<std::string> args = Arguments(lines[5 + i]);
      ASSERT_EQ(args.size(), 8u);
      EXPECT_EQ(Unquote(args[0]), Utf8(control.text));
      EXPECT_EQ(args[1], std::to_string(control.id));
      EXPECT_EQ(args[4] + "," + args[5] + "," + args[6] + "," + args[7],
                std::to_string(control.x) + "," + std::to_string(control.y) + "," + std::to_string(control.cx) + "," +
                    std::to_string(control.cy));
      const std::string& style = args[3];
      using K = ui::ControlKind;
      const std::map<K, std::pair<std::string, std::string>> kinds = {
          {K::Label, {"\"Static\"", "SS_LEFT"}},
          {K::GroupBox, {"\"Button\"", "BS_GROUPBOX"}},
          {K::Radio, {"\"Button\"", "BS_AUTORADIOBUTTON"}},
          {K::Button, {"\"Button\"", control.defaultButton ? "BS_DEFPUSHBUTTON" : "BS_PUSHBUTTON"}},
          {K::Progress, {"PROGRESS_CLASS", ""}},
          {K::ListView, {"WC_LISTVIEW", "LVS_REPORT"}},
      };
      EXPECT_EQ(args[2], kinds.at(control.kind).first);
      if (!kinds.at(control.kind).second.empty()) EXPECT_TRUE(HasStyle(style, kinds.at(control.kind).second));
      EXPECT_EQ(HasStyle(style, "WS_GROUP"), control.group);
      EXPECT_EQ(HasStyle(style, "WS_TABSTOP"), control.tabStop);
      EXPECT_EQ(HasStyle(style, "WS_BORDER"), control.border);
      EXPECT_EQ(HasStyle(style, "LVS_SHOWSELALWAYS"), control.showSelectionAlways);
      EXPECT_EQ(HasStyle(style, "WS_DISABLED"), control.disabled);
    }
  }
}

TEST(ResourceScript, TheFramesAreThoseOfEachDialog) {
  // The wizard's questions are modal frames in the three-dimensional look,
  // brought to the front; the lists and bars of the others have borders.
  for (const char* name : {"DIALOG_1", "DIALOG_2", "DIALOG_5"}) {
    const ui::DialogTemplate* dialog = ui::FindDialogTemplate(name);
    EXPECT_TRUE(dialog->modalFrame && dialog->threeDLook && dialog->foreground) << name;
  }
  const ui::DialogTemplate* update = ui::FindDialogTemplate("DIALOG_UPDATE");
  EXPECT_TRUE(update->modalFrame && update->foreground && !update->visible);
  std::string review = resource_script::DialogStatement(*ui::FindDialogTemplate("DIALOG_4"));
  EXPECT_NE(review.find("WC_LISTVIEW, LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP"), std::string::npos);
  EXPECT_EQ(review.find("LVS_SINGLESEL"), std::string::npos);
  std::string checking = resource_script::DialogStatement(*ui::FindDialogTemplate("DIALOG_3"));
  EXPECT_NE(checking.find("900, PROGRESS_CLASS, WS_BORDER"), std::string::npos);
}

TEST(ResourceScript, TheIconFileHoldsTheThreeSizes) {
  std::string ico = resource_script::IconFile(ui::LoadIconGroup("ICON_1"));
  auto u16 = [&](std::size_t at) { return unsigned(static_cast<unsigned char>(ico[at])) | unsigned(static_cast<unsigned char>(ico[at + 1])) << 8; };
  auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
  ASSERT_GE(ico.size(), 6u + 3 * 16);
  EXPECT_EQ(u16(2), 1u);
  ASSERT_EQ(u16(4), 3u);
  const unsigned sizes[] = {48, 32, 16};
  for (unsigned i = 0; i < 3; ++i) {
    std::size_t entry = 6 + 16 * i;
    EXPECT_EQ(static_cast<unsigned char>(ico[entry]), sizes[i]);
    EXPECT_EQ(u16(entry + 6), 32u);  // bits per pixel
    std::size_t offset = u32(entry + 12), length = u32(entry + 8);
    ASSERT_LE(offset + length, ico.size());
    EXPECT_EQ(u32(offset), 40u);
    EXPECT_EQ(u32(offset + 8), sizes[i] * 2);
    EXPECT_EQ(length, 40 + sizes[i] * sizes[i] * 4 + ((sizes[i] + 31) / 32) * 4 * sizes[i]);
  }
}
