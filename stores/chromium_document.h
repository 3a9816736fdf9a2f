// What the Chromium bookmark file's reader and writer share: the document,
// its checksum and its text as the browser writes it.
#pragma once

#include <string>
#include <string_view>

#include "platform/json.h"

// Parses and checks the document's shape. False, with `problem` in words for
// the person, when it is not a bookmark file of this kind.
bool ParseChromiumDocument(std::string_view bytes, json::Value& document, std::u16string* problem);

// The checksum the browser keeps in the file: MD5 over each node of the
// bookmark bar, other and synced roots, depth first: its id, its name in
// UTF-16 (little-endian), then "url" and the URL, or "folder".
std::string ChromiumChecksum(const json::Value& document);

// The document as the browser writes it: three spaces per level, lists on
// the line of their first element, and the browser's escapes.
std::string ChromiumDocumentText(const json::Value& document);
