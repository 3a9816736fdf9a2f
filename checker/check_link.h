// Checking one URL and deciding what becomes of its link.
#pragma once

#include <cstdint>
#include <string_view>

#include "checker/check_worker.h"
#include "model/app_state.h"
#include "model/bookmark_tree.h"
#include "platform/http.h"

struct LinkVerdict {
  LinkStatus status;
  ResultCode code;
};

// The status text as a number: leading white space skipped, an optional
// sign, then digits up to the first other character; 0 when there are none.
std::int32_t ParseStatusText(std::u16string_view text);

// What a link becomes, given whether its URL opened, the status it answered
// with (0 when none could be read) and the choices in `flags`.
LinkVerdict ClassifyLink(bool opened, std::int32_t status, ActionFlags flags);

// Whether the HTTP client fetches `address` over the network: http, https
// and ftp, in any letter case. A bookmarklet, a browser's own query, a local
// file, a mail address or a text without a scheme has no answer to judge.
bool IsFetchedOverNetwork(std::u16string_view address);

// Opens `url` on `session` (a GET, redirects followed, certificates checked,
// the body never read) and classifies the answer. A URL that is not fetched
// over the network is kept, without a request.
LinkVerdict CheckUrl(http::Handle session, std::u16string_view url, ActionFlags flags);
