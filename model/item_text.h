// The texts of an item in the form each user of them needs: the address a
// check requests, the title a person reads, the text a bookmark file holds.
#pragma once

#include <string>
#include <string_view>

#include "model/bookmark_tree.h"

TextForm FormOf(const BookmarkLink& link);
TextForm FormOf(const BookmarkFolder& folder);

// HTML character references ("&amp;", "&#39;", "&#x2F;") replaced by the
// characters they stand for. A reference that is not known or not closed by
// ";" stays as written.
std::u16string DecodeCharacterReferences(std::u16string_view markup);

// Plain text as a bookmark file must hold it so that reading it back gives
// the same characters: "&", "<" and ">" escaped, and '"' too inside an
// attribute value.
std::u16string EscapeMarkup(std::u16string_view plain, bool inAttribute);

// The address to request or open: a bookmark file's HREF is HTML, so its
// character references are decoded; other stores hold the address itself.
std::u16string LinkAddress(const BookmarkLink& link);

// The title and a folder's name as characters, whatever the store.
std::u16string PlainTitle(const BookmarkLink& link);
std::u16string PlainName(const BookmarkFolder& folder);
