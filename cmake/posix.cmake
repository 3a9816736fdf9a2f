# The Linux platform layer: platform/posix/ with the HTTP client on libcurl,
# the dialog layer with its script front end, and the terminal front end.
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
set(LINNET_FRONT_ENDS linnet_terminal)

# The generator of the Windows resource script, built here too so that its
# test runs with the Linux suite.
linnet_library(linnet_resource_script DIRS tools/resource_script DEPS linnet_resources)
