// The checking dialog's counters and the text it shows from them.
#pragma once

#include <cstdint>
#include <string>

#include "checker/check_worker.h"

struct CheckStatistics {
  std::int32_t total = 0;
  std::int32_t checked = 0;
  std::int32_t ok = 0;
  std::int32_t count404 = 0;
  std::int32_t count500 = 0;
  std::int32_t fail = 0;
};

// Changed only on the dialog's thread.
extern CheckStatistics checkStatistics;

// Counts one result.
void CountResult(CheckStatistics& stats, ResultCode code);

// checked x 100 / total, in single precision; 0 when total is 0.
float CheckedPercent(const CheckStatistics& stats);

// The statistics text shown under the progress bar.
std::u16string FormatStatistics(const CheckStatistics& stats);
