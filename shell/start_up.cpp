#include "shell/start_up.h"

#include "model/app_state.h"
#include "platform/files.h"
#include "platform/startup.h"
#include "platform/ui.h"
#include "stores/locate_stores.h"

void StartUp() {
  startup::CoInitialize();
  startup::InitCommonControls();
  startup::WSAStartup(0x0202);

  bookmarkTree.name = u"Bookmarks";

  LocateFavorites();
  LocateFirefoxBookmarks();

  startupDirectory = files::GetCurrentDirectory();
  appIcon = ui::LoadIcon("ICON_1");
}
