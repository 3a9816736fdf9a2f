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

// Opens `url` on `session` (a GET, redirects followed, certificates checked,
// the body never read) and classifies the answer.
LinkVerdict CheckUrl(http::Handle session, std::u16string_view url, ActionFlags flags);
