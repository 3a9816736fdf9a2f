# The Windows platform layer: platform/win32/, each service a thin forwarder
# to the Windows calls the program makes (WinINet, the real dialogs and
# common controls, the registry, the shell). Everything is linked
# statically, so that no MinGW library has to travel with the program.
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
add_link_options(-static)

linnet_library(linnet_platform DIRS platform/win32 platform/portable DEPS Threads::Threads
               ole32 comctl32 shell32 advapi32 ws2_32 user32)

# Headers of Debian's that build for any system: JSON for Modern C++ (all of
# it is in its headers) and the declarations of SQLite (whose library
# Windows brings itself, taken at run time). The cross compiler sees only
# these, through a folder of links, never the rest of /usr/include.
set(LINNET_PORTABLE_HEADERS ${CMAKE_BINARY_DIR}/portable-headers)
foreach(header nlohmann sqlite3.h)
  if(NOT EXISTS /usr/include/${header})
    message(FATAL_ERROR "/usr/include/${header} is missing: scripts/setup installs it")
  endif()
  file(MAKE_DIRECTORY ${LINNET_PORTABLE_HEADERS})
  file(CREATE_LINK /usr/include/${header} ${LINNET_PORTABLE_HEADERS}/${header} SYMBOLIC)
endforeach()
target_include_directories(linnet_platform SYSTEM PUBLIC ${LINNET_PORTABLE_HEADERS})
linnet_library(linnet_http     DIRS platform/win32/http DEPS linnet_platform wininet)
# The script language and the transcript (platform/portable/ui/) are the
# same on every platform: the Windows script driver hands them the real
# dialogs.
linnet_library(linnet_ui       DIRS platform/win32/ui platform/portable/ui DEPS linnet_platform linnet_resources
               comctl32 comdlg32 shell32 user32 gdi32)
set(LINNET_FRONT_ENDS "")

# The resource script is generated from resources/ by a small program built
# for this machine (the cross compiler's programs cannot run here).
include(ExternalProject)
set(LINNET_HOST_TOOLS ${CMAKE_BINARY_DIR}/host-tools)
set(LINNET_RESOURCE_TOOL ${LINNET_HOST_TOOLS}/linnet_resource_script)
ExternalProject_Add(linnet_resource_tool
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools/resource_script
  BINARY_DIR ${LINNET_HOST_TOOLS}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=c++
             -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${LINNET_RESOURCE_TOOL})

set(LINNET_RESOURCE_DIR ${CMAKE_BINARY_DIR}/resources)
file(MAKE_DIRECTORY ${LINNET_RESOURCE_DIR})
add_custom_command(
  OUTPUT ${LINNET_RESOURCE_DIR}/linnet.rc ${LINNET_RESOURCE_DIR}/linnet.ico ${LINNET_RESOURCE_DIR}/linnet.manifest
  COMMAND ${LINNET_RESOURCE_TOOL} ${LINNET_RESOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources/manifest.xml
  DEPENDS linnet_resource_tool ${LINNET_RESOURCE_TOOL} ${CMAKE_SOURCE_DIR}/resources/manifest.xml
  COMMENT "Generating the resource script from resources/")
add_custom_target(linnet_resource_script DEPENDS ${LINNET_RESOURCE_DIR}/linnet.rc)

# A Windows GUI program with the generated dialogs, icon group and manifest.
function(linnet_windows_program target)
  target_sources(${target} PRIVATE ${LINNET_RESOURCE_DIR}/linnet.rc)
  set_source_files_properties(${LINNET_RESOURCE_DIR}/linnet.rc PROPERTIES
    OBJECT_DEPENDS "${LINNET_RESOURCE_DIR}/linnet.ico;${LINNET_RESOURCE_DIR}/linnet.manifest")
  add_dependencies(${target} linnet_resource_script)
  target_link_options(${target} PRIVATE -mwindows)
endfunction()
