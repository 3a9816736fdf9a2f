#include "updater/update_host.h"

#include "platform/files.h"
#include "platform/text.h"

#ifndef LINNET_DEFAULT_UPDATE_HOST
#define LINNET_DEFAULT_UPDATE_HOST "update.linnet.invalid"
#endif

std::u16string UpdateHost() {
  std::u16string host = files::GetEnvironmentVariable(u"LINNET_UPDATE_HOST");
  if (!host.empty()) return host;
  return text::Utf8ToUtf16(LINNET_DEFAULT_UPDATE_HOST);
}
