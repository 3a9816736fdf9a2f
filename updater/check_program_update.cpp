#include "updater/check_program_update.h"

#include <memory>

#include "platform/files.h"
#include "updater/program_request.h"
#include "updater/run_update.h"
#include "updater/update_host.h"

int CheckProgramUpdate(std::u16string_view caption, std::u16string_view appGuid) {
  // The records are large; they live on the heap for the length of the run.
  auto request = std::make_unique<UpdateRequest>();
  auto entry = std::make_unique<UpdateFileEntry>();
  if (!BuildProgramRequest(*request, *entry, caption, appGuid, files::GetModuleFileName(), UpdateHost()))
    return kRunNotRun;
  return RunUpdate(request.get());
}
