#include "tools/resource_script/resource_script.h"

#include <cstdint>


namespace resource_script {
namespace {

// A string literal of the script language: quotes doubled, line breaks and
// tabs as escapes, anything else beyond ASCII as a wide escape.
std::string Quoted(std::u16string_view text) {
  std::string out = "L\"";
  for (char16_t c : text) {
    if (c == u'"') {
      out += "\"\"";
    } else if (c == u'\\') {
      out += "\\\\";
    } else if (c == u'\r') {
      out += "\\r";
    } else if (c == u'\n') {
      out += "\\n";
    } else if (c == u'\t') {
      out += "\\t";
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
    }
  }
  return out + "\"";
}

std::string Join(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& part : parts) {
    if (!out.empty()) out += " | ";
    out += part;
  }
  return out;
}

struct ControlClass {
  const char* name;
  std::vector<std::string> styles;
};

ControlClass ClassOf(const ui::ControlTemplate& control) {
  using K = ui::ControlKind;
  switch (control.kind) {
    case K::Label: return {"\"Static\"", {"SS_LEFT"}};
    case K::GroupBox: return {"\"Button\"", {"BS_GROUPBOX"}};
    case K::Radio: return {"\"Button\"", {"BS_AUTORADIOBUTTON"}};
    case K::Button: return {"\"Button\"", {control.defaultButton ? "BS_DEFPUSHBUTTON" : "BS_PUSHBUTTON"}};
    case K::Progress: return {"PROGRESS_CLASS", {}};
    case K::ListView: return {"WC_LISTVIEW", {"LVS_REPORT"}};
  }
  return {"\"Static\"", {}};
}

std::string ControlLine(const ui::ControlTemplate& control) {
  ControlClass type = ClassOf(control);
  std::vector<std::string> styles = type.styles;
  if (control.showSelectionAlways) styles.push_back("LVS_SHOWSELALWAYS");
  if (control.border) styles.push_back("WS_BORDER");
  if (control.group) styles.push_back("WS_GROUP");
  if (control.tabStop) styles.push_back("WS_TABSTOP");
  if (control.disabled) styles.push_back("WS_DISABLED");
  if (!control.visible) styles.push_back("NOT WS_VISIBLE");
  if (styles.empty()) styles.push_back("0");
  return "    CONTROL " + Quoted(control.text) + ", " + std::to_string(control.id) + ", " + type.name + ", " +
         Join(styles) + ", " + std::to_string(control.x) + ", " + std::to_string(control.y) + ", " +
         std::to_string(control.cx) + ", " + std::to_string(control.cy) + "\n";
}

void Put16(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// One image as the icon format stores it: a bitmap header, the colours
// bottom-up as blue, green, red, alpha, then the one-bit mask.
std::string IconImageBytes(const ui::IconImage& image) {
  const int size = image.size;
  const std::uint32_t maskRow = ((static_cast<std::uint32_t>(size) + 31) / 32) * 4;
  std::string out;
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(size));
  Put32(out, static_cast<std::uint32_t>(size) * 2);  // colours and mask together
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, 0);
  Put32(out, static_cast<std::uint32_t>(size * size * 4) + maskRow * static_cast<std::uint32_t>(size));
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  for (int y = size - 1; y >= 0; --y) {
    for (int x = 0; x < size; ++x) {
      std::uint32_t argb = image.pixels[static_cast<std::size_t>(y * size + x)];
      out += static_cast<char>(argb & 0xFF);
      out += static_cast<char>((argb >> 8) & 0xFF);
      out += static_cast<char>((argb >> 16) & 0xFF);
      out += static_cast<char>(argb >> 24);
    }
  }
  for (int y = size - 1; y >= 0; --y) {
    std::string row(maskRow, '\0');
    for (int x = 0; x < size; ++x) {
      bool transparent = (image.pixels[static_cast<std::size_t>(y * size + x)] >> 24) == 0;
      if (transparent) row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
    }
    out += row;
  }
  return out;
}

}  // namespace

std::string DialogStatement(const ui::DialogTemplate& dialog) {
  std::vector<std::string> styles = {"DS_SETFONT", "WS_POPUP", "WS_CAPTION", "WS_SYSMENU"};
  if (dialog.minimizeBox) styles.push_back("WS_MINIMIZEBOX");
  if (dialog.modalFrame) styles.push_back("DS_MODALFRAME");
  if (dialog.threeDLook) styles.push_back("DS_3DLOOK");
  if (dialog.foreground) styles.push_back("DS_SETFOREGROUND");
  if (dialog.centered) styles.push_back("DS_CENTER");
  if (dialog.visible) styles.push_back("WS_VISIBLE");
  std::string out = std::string(dialog.name) + " DIALOGEX " + std::to_string(dialog.x) + ", " +
                    std::to_string(dialog.y) + ", " + std::to_string(dialog.cx) + ", " + std::to_string(dialog.cy) +
                    "\n";
  out += "STYLE " + Join(styles) + "\n";
  out += "CAPTION " + Quoted(dialog.caption) + "\n";
  out += "FONT " + std::to_string(dialog.fontPoints) + ", " + Quoted(dialog.fontName) + "\n";
  out += "BEGIN\n";
  for (const ui::ControlTemplate& control : dialog.controls) out += ControlLine(control);
  out += "END\n";
  return out;
}

std::string ResourceScript(std::string_view iconFile, std::string_view manifestFile) {
  std::string out =
      "// Generated at build time from resources/; edit the templates there, not this file.\n"
      "#include <windows.h>\n"
      "#include <commctrl.h>\n\n";
  out += "CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"" + std::string(manifestFile) + "\"\n\n";
  out += "ICON_1 ICON \"" + std::string(iconFile) + "\"\n";
  for (const ui::DialogTemplate* dialog : ui::AllDialogTemplates()) out += "\n" + DialogStatement(*dialog);
  return out;
}

std::string IconFile(const std::vector<ui::IconImage>& images) {
  std::string out;
  Put16(out, 0);
  Put16(out, 1);  // an icon, not a cursor
  Put16(out, static_cast<unsigned>(images.size()));
  std::vector<std::string> bodies;
  for (const ui::IconImage& image : images) bodies.push_back(IconImageBytes(image));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out += static_cast<char>(images[i].size >= 256 ? 0 : images[i].size);
    out += static_cast<char>(images[i].size >= 256 ? 0 : images[i].size);
    out += '\0';  // no palette
    out += '\0';
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<std::uint32_t>(bodies[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(bodies[i].size());
  }
  for (const std::string& body : bodies) out += body;
  return out;
}

}  // namespace resource_script
