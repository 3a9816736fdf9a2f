// The texts of loading from and saving to the browsers' own stores (Firefox's
// places database, the Chromium browsers' Bookmarks file), in the manner of
// the wizard's other messages.
#pragma once

#include <string_view>

namespace browser_store_texts {

// %s: the store, %s: what is wrong with it.
inline constexpr std::u16string_view kReadFailed =
    u"The bookmarks could not be read from\r\n%s\r\n\r\n%s\r\n\r\nNothing has been changed.";

// %s: the store, %s: why the save did not happen.
inline constexpr std::u16string_view kSaveFailed =
    u"The bookmarks could not be saved to\r\n%s\r\n\r\n%s\r\n\r\nNothing has been changed.";

// %s: the profile folder. OK tries again, Cancel leaves the store alone.
inline constexpr std::u16string_view kFirefoxRunning =
    u"Firefox is running with the profile\r\n%s\r\n\r\n"
    u"Its bookmarks can only be saved while it is closed. Close Firefox, then press OK to save, "
    u"or press Cancel to leave them as they are.";

// %s: the Bookmarks file.
inline constexpr std::u16string_view kChromiumRunning =
    u"The browser that keeps the bookmark file\r\n%s\r\nis running with its profile.\r\n\r\n"
    u"Its bookmarks can only be saved while it is closed. Close the browser, then press OK to save, "
    u"or press Cancel to leave them as they are.";

inline constexpr std::u16string_view kNotFromFirefox =
    u"These bookmarks were not loaded from this Firefox database, so they cannot be saved into it. "
    u"Save them to a bookmark file instead.";

inline constexpr std::u16string_view kLeftAsTheyWere = u"The bookmarks were not saved. Nothing has been changed.";

// %s: the Bookmarks file.
inline constexpr std::u16string_view kChromiumChanged =
    u"The bookmark file\r\n%s\r\nwas changed after the bookmarks were loaded. "
    u"Check the bookmarks again to repair them as they are now.\r\n\r\nNothing has been changed.";

// %s: the backup of the file that was replaced.
inline constexpr std::u16string_view kChromiumSaved =
    u"File saving completed. Thanks for using LNT 3.0!\r\n"
    u"A backup of the original bookmark file is saved to %s";

}  // namespace browser_store_texts
