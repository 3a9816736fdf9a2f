// The updater's texts by id, in English (ids 100 up) and Greek (the same
// ids plus 500).
#pragma once

#include <string>

inline constexpr unsigned kMsgSummary = 104;
inline constexpr unsigned kMsgNothingToUpdate = 105;
inline constexpr unsigned kMsgUpdated = 106;
inline constexpr unsigned kMsgErrors = 107;
inline constexpr int kLanguageOffsetEnglish = 0;
inline constexpr int kLanguageOffsetGreek = 500;

// The language of the current run's texts; set by RunUpdate.
extern int updateLanguageOffset;

// The text of id + updateLanguageOffset; empty for an id the table lacks.
std::u16string LookupMessage(unsigned id);
