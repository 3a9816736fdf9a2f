// Folders with many sub-folders are looked up through an index; whatever else
// happens to the sub-folders, it must find exactly the folder a plain
// first-to-last scan finds.
#include <gtest/gtest.h>

#include <random>

#include "model/bookmark_tree.h"
#include "platform/text.h"

namespace {

// The rule itself, written the slow way.
std::ptrdiff_t FirstMatchByScan(const BookmarkFolder& parent, std::u16string_view name) {
  for (std::size_t i = 0; i < parent.folders.size(); ++i)
    if (text::EqualsAsciiNoCase(parent.folders[i].name, name)) return static_cast<std::ptrdiff_t>(i);
  return -1;
}

std::u16string RandomName(std::mt19937& rng) {
  // Few distinct names, so that matches and near-matches are frequent.
  static const char16_t* const kNames[] = {u"work", u"WORK", u"Work", u"news", u"News", u"\u00c4rger",
                                           u"\u00e4rger", u"a", u"A", u"", u".", u"deleted bookmarks"};
  std::u16string name = kNames[rng() % std::size(kNames)];
  if (rng() % 3 == 0) name += static_cast<char16_t>(u'0' + rng() % 40);
  return name;
}

// Each step checks one lookup against the scan; between lookups other code
// appends folders directly, as the results step does.
TEST(FindOrCreateSubfolder, FindsWhatAFirstToLastScanFindsWhateverHappensBetween) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 20; ++round) {
    BookmarkFolder parent;
    for (int step = 0; step < 400; ++step) {
      switch (rng() % 6) {
        case 0: {  // appended by someone else, as the results step does
          parent.folders.emplace_back();
          parent.folders.back().name = RandomName(rng);
          break;
        }
        default: {
          std::u16string name = RandomName(rng);
          std::ptrdiff_t expected = FirstMatchByScan(parent, name);
          std::size_t before = parent.folders.size();
          BookmarkFolder& found = FindOrCreateSubfolder(parent, name);
          if (expected >= 0) {
            ASSERT_EQ(&found, &parent.folders[static_cast<std::size_t>(expected)]) << "round " << round << " step " << step;
            ASSERT_EQ(parent.folders.size(), before);
          } else {
            ASSERT_EQ(parent.folders.size(), before + 1);
            ASSERT_EQ(&found, &parent.folders.back());
            ASSERT_EQ(found.name, name);
          }
        }
      }
    }
  }
}

}  // namespace
