// The thread that does the work of one update run: for each file, compare
// digests, download the current copy beside it, verify it, swap it in.
#pragma once

#include <ctime>
#include <string>

#include "updater/update_request.h"

// Writes each entry's result into the request's array; then delivers
// WM_UPDATE_DONE to the run's thread (when the run has a window) and sets
// UpdateDoneEvent (when there is one).
void UpdateWorker(UpdateRequest* request);

// The folder old copies are moved into: base, separator, then month, day,
// year, hour and minute without padding ("12-8-2026-9-5").
std::u16string DatedBackupFolder(std::u16string_view base, const std::tm& when);

// Where the digest INI of a run is kept: RUP.INI in the current directory.
std::u16string DigestIniPath();
