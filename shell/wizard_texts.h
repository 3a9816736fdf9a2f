// The texts the wizard shows, kept together so that every message box of the
// sequence reads the same way and none of them drifts from the others.
#pragma once

#include <string_view>

namespace wizard_texts {

inline constexpr std::u16string_view kCaption = u"LNT 3.0!";

inline constexpr std::u16string_view kConfirmCheck =
    u"You are now ready to check a total of %u favorites.\r\n\r\n"
    u"Please note that, at this stage, nothing is altered in your favorites; they are only tested. "
    u"You will be prompted later to apply the changes.\r\n\r\n"
    u"To continue, press OK.\r\nTo cancel, press Cancel.";

inline constexpr std::u16string_view kNotConnected = u"Your system is not connected to the Internet; LNT cannot run";

inline constexpr std::u16string_view kProceedAfterCancel =
    u"Do you want to proceed with the current bookmark state?\r\nIf you say no, LNT will terminate.";

inline constexpr std::u16string_view kSaveCompleted = u"File saving completed. Thanks for using LNT 3.0!";

// The chosen file existed and was kept first; %s: where the copy is.
inline constexpr std::u16string_view kSaveCompletedWithBackup =
    u"File saving completed. Thanks for using LNT 3.0!\r\n"
    u"A backup of the replaced file is saved to %s";

inline constexpr std::u16string_view kFirefoxSaved =
    u"Firefox backup exporting completed; make sure you check it.\r\n"
    u"A backup of the original bookmark file is saved to %s";

// %s: the bookmark file backup, %s: the folder with the exact copy of the
// shortcut files.
inline constexpr std::u16string_view kFavoritesBackupNote =
    u"LNT will keep a backup of your current IE favorites in %s.\r\n"
    u"An exact copy of every shortcut file is saved to %s";

inline constexpr std::u16string_view kConfirmCancel = u"Are you sure you want to cancel?";

// Failures of a save. Each names the path and the system's reason, and says
// what state the person's bookmarks are left in.

// The new content could not be written (the writer leaves an existing file
// as it was); %s: the target, %s: the reason.
inline constexpr std::u16string_view kSaveFailed = u"The bookmarks could not be saved to\r\n%s\r\n\r\n%s";

// The favorites could not all be written; %s: the folder, %s: the reason,
// %s: where the backup of the previous favorites is, %s: where the exact
// copy of their shortcut files is (what puts the folder back as it was).
inline constexpr std::u16string_view kFavoritesSaveFailed =
    u"The bookmarks could not be saved to\r\n%s\r\n\r\n%s\r\n\r\n"
    u"A backup of your previous IE favorites is saved in %s.\r\n"
    u"An exact copy of every shortcut file is saved to %s";

// The backup could not be made, so nothing was replaced; %s: the backup
// path, %s: the reason.
inline constexpr std::u16string_view kBackupFailed =
    u"The backup could not be saved to\r\n%s\r\n\r\n%s\r\n\r\nNothing has been changed.";

inline constexpr std::u16string_view kNoFavoritesFolder =
    u"The Internet Explorer favorites folder could not be found, so there is nowhere to save to.\r\n\r\n"
    u"Nothing has been changed.";

inline constexpr std::u16string_view kNoFirefoxFile =
    u"No Firefox bookmark file was found, so there is nowhere to save to.\r\n\r\nNothing has been changed.";

// Shown in place of a reason the system did not give.
inline constexpr std::u16string_view kUnknownReason = u"The reason is not known.";

}  // namespace wizard_texts
