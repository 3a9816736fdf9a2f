# The Linux platform layer: platform/posix/ with the HTTP client on libcurl,
# the dialog layer with its script front end, the terminal front end and the
# desktop one (Qt 6 Widgets).
find_package(CURL REQUIRED)
find_package(SQLite3 REQUIRED)
find_package(OpenSSL REQUIRED)
find_package(nlohmann_json 3 REQUIRED)
set(CURSES_NEED_WIDE TRUE)
find_package(Curses REQUIRED)

linnet_library(linnet_platform  DIRS platform/posix platform/portable
               DEPS Threads::Threads SQLite::SQLite3 OpenSSL::Crypto nlohmann_json::nlohmann_json)
linnet_library(linnet_http      DIRS platform/posix/http DEPS linnet_platform CURL::libcurl)
linnet_library(linnet_ui        DIRS platform/posix/ui platform/portable/ui DEPS linnet_platform linnet_resources)
linnet_library(linnet_terminal  DIRS platform/posix/terminal DEPS linnet_ui ${CURSES_LIBRARIES})
if(TARGET linnet_terminal AND CURSES_INCLUDE_DIRS)
  get_target_property(_kind linnet_terminal TYPE)
  if(NOT _kind STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(linnet_terminal PRIVATE ${CURSES_INCLUDE_DIRS})
    # Nothing calls into the front end (it registers itself), so make the
    # linker keep its object file.
    target_link_options(linnet_terminal INTERFACE "LINKER:--undefined=linnet_terminal_front_end_linked")
  endif()
endif()
# The desktop front end needs Qt 6 Widgets (scripts/setup installs it);
# without Qt the program is built with the script and terminal front ends.
find_package(Qt6 QUIET COMPONENTS Widgets)
if(Qt6Widgets_FOUND)
  linnet_library(linnet_desktop DIRS platform/posix/desktop DEPS linnet_ui Qt6::Widgets)
  # Like the terminal's, this front end registers itself.
  target_link_options(linnet_desktop INTERFACE "LINKER:--undefined=linnet_desktop_front_end_linked")
else()
  message(WARNING "Qt 6 Widgets (Debian: qt6-base-dev) not found: building without the desktop front end")
  add_library(linnet_desktop INTERFACE)
endif()
set(LINNET_FRONT_ENDS linnet_terminal linnet_desktop)

# The generator of the Windows resource script, built here too so that its
# test runs with the Linux suite.
linnet_library(linnet_resource_script DIRS tools/resource_script DEPS linnet_resources)
