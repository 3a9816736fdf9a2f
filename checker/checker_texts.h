// The texts the checking and review dialogs show.
#pragma once

inline constexpr char16_t kCheckerCaption[] = u"LNT 3.0!";
inline constexpr char16_t kCancelQuestion[] = u"Are you sure you want to cancel?";
inline constexpr char16_t kPausedText[] = u"Paused. Press OK to resume or CANCEL to cancel";
inline constexpr char16_t kNoProblemsText[] = u"None of your favorites have any problems.\r\nLNT will now exit.";
inline constexpr char16_t kAllRestoredText[] = u"You have restored all faulty items.\r\nLNT will now exit.";
