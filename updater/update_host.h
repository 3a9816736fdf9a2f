// Where the update server lives.
#pragma once

#include <string>

// The update server's host (or host:port): the environment variable
// LINNET_UPDATE_HOST when set and not empty, else the build's default.
std::u16string UpdateHost();
