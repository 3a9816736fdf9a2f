// One update run over a request: validation, the update window, the worker,
// the summary and the closing question.
#pragma once

#include "updater/update_request.h"

// Runs the update and returns when it is over, the worker included. Results:
// 0 refused (notify mode without a notice hook), 1 done, 2 bad recordSize,
// 3 bad formatVersion, 98 files replaced and the person stays, 99 the
// program should exit so that the replaced files take effect.
int RunUpdate(UpdateRequest* request);
