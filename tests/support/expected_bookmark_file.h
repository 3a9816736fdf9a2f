// The bytes a saved bookmark file must hold, written out independently of
// the writer so that tests compare against the format, not the code.
#pragma once

#include <string>

inline const std::string kExpectedBookmarkHeader =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
    "\t<!--This is an automatically generated file.\r\n"
    "\tIt will be read and overwritten.\r\n"
    "\tDo Not Edit! -->\r\n"
    "\t<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n"
    "   <Title>Bookmarks</Title>\r\n"
    "   <H1>Bookmarks</H1>\r\n"
    "\t<DL>\r\n";
