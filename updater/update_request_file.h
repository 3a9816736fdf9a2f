// Update requests stored in files: the 2460-byte header followed by
// fileCount entries of 12032 bytes, little-endian, text as UTF-16LE.
#pragma once

#include <string_view>
#include <vector>

#include "updater/update_request.h"

// A request read from a file, with the entries it owns; header.files points
// into entries once loaded.
struct LoadedUpdateRequest {
  UpdateRequest header{};
  std::vector<UpdateFileEntry> entries;
};

// Reads a request file. A file shorter than the header leaves the rest of
// the header zero (so RunUpdate refuses it by its size). Refused (false):
// a file that cannot be opened, a negative fileCount, or more entries than
// the file holds. Hook values in the file are never used: they are
// addresses in some other process.
bool LoadUpdateRequestFile(std::string_view path, LoadedUpdateRequest& loaded);

// Loads the request file at `path` (system code page) and runs it; 0 when
// the file cannot be opened or is refused. A stored request in the notify
// display mode is refused by RunUpdate, since it can carry no notice hook.
int RunUpdateFromFile(std::string_view path);
