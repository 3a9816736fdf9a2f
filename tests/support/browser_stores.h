// Browser stores made by the tests: Firefox places databases of the layout
// Firefox 153 writes (made here with SQLite, from the same statements), and
// Chromium Bookmarks files as the browsers write them.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

// What a places database holds, in order, one entry each:
//   {"in:menu", ""} (or toolbar, unfiled, mobile)  items go into that root
//   {"folder:NAME", ""} ... {"end", ""}              a folder and its items
//   {"---", ""}                                      a separator
//   {"tag:NAME", ""}, {"keyword:WORD", ""}           for the link just made
//   {"visit", ""}                                    a history visit of it
//   {TITLE, URL}                                     a bookmark
using PlacesEntries = std::vector<std::pair<std::string, std::string>>;

// Makes the database (in WAL mode, as Firefox keeps it). The tags root and
// the places root are made as Firefox makes them; ids are given in order.
void MakePlacesDatabase(const std::string& path, const PlacesEntries& entries, int schemaVersion = 86);

// Every row of every table, as text ("table: 'a'|1|NULL"), in row order.
std::vector<std::string> PlacesRows(const std::string& path);
// The result of one query, one line per row, columns joined by "|".
std::vector<std::string> PlacesQuery(const std::string& path, const std::string& sql);

// (title, url) entries of a Bookmarks file: "folder:NAME" ... "end" nest,
// "root:bookmark_bar" (or other, synced) starts a root. Ids are given in
// order from 4 (the roots are 1, 2 and 3), with dates, GUIDs and meta info
// on every node, laid out as the browsers write it, checksum included.
std::string ChromiumBookmarksText(const std::vector<std::pair<std::string, std::string>>& entries);
