#include "updater/message_table.h"

#include <cstdint>

int updateLanguageOffset = kLanguageOffsetEnglish;

namespace {

#define RIGHTS_LINE u"Vireo Update (c) The Linnet authors - https://linnet.example.org"

struct MessageEntry {
  std::uint32_t id;
  const char16_t* text;
};

// Searched in order; the last entry ends the table.
const MessageEntry kMessages[] = {
    {104, u"Total files: \t%u\r\nFiles updated: \t%u/%u\r\nFiles failed: \t%u/%u\r\nFiles kept: \t%u/%u\r\n\r\n%s"},
    {105, u"No files need to be updated! Try again after a few days!\r\n\r\nThank you for using Vireo Update!\r\n" RIGHTS_LINE},
    {106, u"Files updated successfully!\r\n\r\nThank you for using Vireo Update!\r\n" RIGHTS_LINE
          u"\r\n\r\nDo you want to exit the application now so the updates can be applied?"},
    {107, u"There were errors in the update process. Please try again later!\r\n\r\nThank you for using Vireo Update!\r\n" RIGHTS_LINE},
    {604, u"Αρχεία: \t%u\r\nΑνανεώθηκαν: \t%u/%u\r\nΑπέτυχαν: \t%u/%u\r\nΧωρίς αλλαγή: \t%u/%u\r\n\r\n%s"},
    {605, u"Δεν χρειάστηκε να αναβαθμιστούν αρχεία! Δοκιμάστε πάλι μετά από μερικές μέρες!\r\n\r\nΕυχαριστούμε που χρησιμοποιήσατε το Vireo Update!\r\n" RIGHTS_LINE},
    {606, u"Τα αρχεία αναβαθμίστηκαν!\r\n\r\nΕυχαριστούμε που χρησιμοποιήσατε το Vireo Update!\r\n" RIGHTS_LINE
          u"\r\n\r\nΘέλετε να τερματίσετε το πρόγραμμα για να πραγματοποιηθεί η ενημέρωση?"},
    {607, u"Υπήρξαν λάθη στην διαδικασία αναβάθμισης! Παρακαλώ δοκιμάστε αργότερα!\r\n\r\nΕυχαριστούμε που χρησιμοποιήσατε το Vireo Update!\r\n" RIGHTS_LINE},
    {0xFFFFFFFFu, u""},
};

}  // namespace

std::u16string LookupMessage(unsigned id) {
  const std::uint32_t wanted = id + static_cast<unsigned>(updateLanguageOffset);
  const MessageEntry* entry = kMessages;
  while (entry->id != wanted && entry->id != 0xFFFFFFFFu) ++entry;
  return entry->text;
}
