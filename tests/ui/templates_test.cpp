// The dialog templates and the icon as the program builds them.
#include "platform/dialog_template.h"
#include "platform/ui.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(DialogTemplates, EveryLayoutIsWellFormed) {
  std::set<std::string_view> names;
  for (const ui::DialogTemplate* layout : ui::AllDialogTemplates()) {
    SCOPED_TRACE(std::string(layout->name));
    names.insert(layout->name);
    EXPECT_EQ(ui::FindDialogTemplate(layout->name), layout);
    EXPECT_EQ(layout->fontName, u"Tahoma");
    EXPECT_EQ(layout->fontPoints, 8);
    std::set<int> ids;
    int defaults = 0;
    bool hasOk = false;
    for (const ui::ControlTemplate& control : layout->controls) {
      // Inside the dialog.
      EXPECT_GE(control.x, 0);
      EXPECT_GE(control.y, 0);
      EXPECT_LE(control.x + control.cx, layout->cx) << "control " << control.id;
      EXPECT_LE(control.y + control.cy, layout->cy) << "control " << control.id;
      if (control.id != -1) {
        EXPECT_TRUE(ids.insert(control.id).second) << "duplicate id " << control.id;
      }
      if (control.defaultButton) {
        ++defaults;
        EXPECT_EQ(control.id, ui::IDOK);
      }
      if (control.id == ui::IDOK) hasOk = true;
      if (control.kind == ui::ControlKind::Radio) {
        EXPECT_TRUE(control.tabStop);
      }
      // Nothing without an id is anything but a label or a frame.
      if (control.id == -1) {
        EXPECT_TRUE(control.kind == ui::ControlKind::Label || control.kind == ui::ControlKind::GroupBox);
      }
    }
    EXPECT_EQ(defaults, hasOk ? 1 : 0);
  }
  EXPECT_EQ(names, (std::set<std::string_view>{"DIALOG_1", "DIALOG_2", "DIALOG_3", "DIALOG_4", "DIALOG_5",
                                               "DIALOG_UPDATE"}));
  EXPECT_EQ(ui::FindDialogTemplate("DIALOG_6"), nullptr);
}

TEST(DialogTemplates, RadioGroupsFollowTheirGroupBoxes) {
  // Each group box starts a group; the radio buttons after it up to the
  // next group box form one group.
  for (const char* name : {"DIALOG_1", "DIALOG_2", "DIALOG_5"}) {
    SCOPED_TRACE(name);
    std::vector<std::vector<int>> groups;
    for (const ui::ControlTemplate& control : ui::FindDialogTemplate(name)->controls) {
      if (control.group) groups.emplace_back();
      if (control.kind == ui::ControlKind::Radio) {
        ASSERT_FALSE(groups.empty());
        groups.back().push_back(control.id);
      }
    }
    for (const auto& group : groups)
      for (int id : group) EXPECT_EQ(id / 100, group.front() / 100);
  }
}

TEST(DialogTemplates, FixExampleReadsAsOneSentence) {
  const ui::ControlTemplate* label = nullptr;
  for (const ui::ControlTemplate& control : ui::FindDialogTemplate("DIALOG_2")->controls)
    if (control.id == 101) label = &control;
  ASSERT_NE(label, nullptr);
  std::u16string text(label->text);
  for (char16_t& c : text)
    if (c == u'\r' || c == u'\n') c = u' ';
  std::u16string collapsed;
  for (char16_t c : text)
    if (!(c == u' ' && !collapsed.empty() && collapsed.back() == u' ')) collapsed += c;
  EXPECT_EQ(collapsed,
            u"'Fix' will change the link from e.g. http://example.com/fail/link.htm to http://example.com");
}

TEST(Icons, IconGroupHasThreeSizesWithArtwork) {
  std::vector<ui::IconImage> images = ui::LoadIconGroup("ICON_1");
  ASSERT_EQ(images.size(), 3u);
  int sizes[] = {48, 32, 16};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(images[i].size, sizes[i]);
    ASSERT_EQ(images[i].pixels.size(), static_cast<std::size_t>(sizes[i] * sizes[i]));
    int opaque = 0, clear = 0;
    for (std::uint32_t pixel : images[i].pixels) {
      if ((pixel >> 24) == 0xFF) ++opaque;
      if ((pixel >> 24) == 0) ++clear;
    }
    EXPECT_GT(opaque, sizes[i] * sizes[i] / 2);  // a disc fills most of it
    EXPECT_GT(clear, 0);                         // and the corners show through
  }
  EXPECT_NE(ui::LoadIcon("ICON_1"), nullptr);
  EXPECT_EQ(ui::LoadIcon("ICON_1"), ui::LoadIcon("ICON_1"));
  EXPECT_EQ(ui::LoadIcon("ICON_9"), nullptr);
  EXPECT_NE(ui::LoadStandardIcon(ui::IDI_INFORMATION), nullptr);
}

}  // namespace
