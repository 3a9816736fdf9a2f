#include "checker/check_statistics.h"

#include "platform/text.h"

CheckStatistics checkStatistics;

void CountResult(CheckStatistics& stats, ResultCode code) {
  ++stats.checked;
  switch (code) {
    case kResultKeep: ++stats.ok; break;
    case kResult404: ++stats.count404; break;
    case kResult500: ++stats.count500; break;
    case kResultFailed: ++stats.fail; break;
    default: break;
  }
}

float CheckedPercent(const CheckStatistics& stats) {
  if (stats.total <= 0) return 0.0f;
  return static_cast<float>(stats.checked) * 100.0f / static_cast<float>(stats.total);
}

std::u16string FormatStatistics(const CheckStatistics& stats) {
  return text::Format(
      u"Total: \t\t%u\r\n\r\nChecked: \t%u (%.1f%%)\r\nOK: \t\t%u\r\n404: \t\t%u\r\n500: \t\t%u\r\nFail: \t\t%u\r\n",
      static_cast<unsigned>(stats.total), static_cast<unsigned>(stats.checked),
      static_cast<double>(CheckedPercent(stats)), static_cast<unsigned>(stats.ok),
      static_cast<unsigned>(stats.count404), static_cast<unsigned>(stats.count500), static_cast<unsigned>(stats.fail));
}
