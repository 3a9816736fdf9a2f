# The unit tests that need no Linux front end, cross-built and run under
# wine (scripts/wine-run) by CTest: one test per program, since every case
# run on its own would pay for starting wine again.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run)

add_library(linnet_test_support STATIC ${CMAKE_CURRENT_SOURCE_DIR}/support/temp_dir.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/support/browser_stores.cpp)
target_include_directories(linnet_test_support PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(linnet_test_support PUBLIC gtest linnet_platform)
target_compile_definitions(linnet_test_support PUBLIC
  LINNET_SOURCE_DIR="${CMAKE_SOURCE_DIR}" LINNET_SHARED_DIR="${CMAKE_SOURCE_DIR}/../shared")

# A folder's test program from the files that do not need Linux: those that
# use POSIX calls (symbolic links, modes, fork) or the Linux front ends stay out.
function(linnet_windows_tests name)
  cmake_parse_arguments(ARG "" "EXCLUDE" "FILES;DEPS" ${ARGN})
  set(sources "")
  foreach(file ${ARG_FILES})
    list(APPEND sources ${CMAKE_CURRENT_SOURCE_DIR}/${name}/${file})
  endforeach()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE linnet_test_support gtest_main ${ARG_DEPS})
  if(ARG_EXCLUDE)
    add_test(NAME windows_${name} COMMAND test_${name} --gtest_filter=-${ARG_EXCLUDE})
  else()
    add_test(NAME windows_${name} COMMAND test_${name})
  endif()
  set_tests_properties(windows_${name} PROPERTIES TIMEOUT 600 RESOURCE_LOCK wine)
endfunction()

file(GLOB model_tests RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/model CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/model/*.cpp)
file(GLOB stores_tests RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/stores CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/stores/*.cpp)
# How Linux tells a running browser (symbolic links, fcntl locks, fork);
# win32/browser_locks_test.cpp holds the Windows way.
list(REMOVE_ITEM stores_tests browser_locks_test.cpp)
linnet_windows_tests(model FILES ${model_tests} DEPS linnet_model)
# Cases left out under wine, each because it states what the Linux
# implementation does where the Windows program uses the system's own call:
# - how many U+FFFD a malformed UTF-8 sequence becomes: Windows' conversion
#   agrees with these cases, wine's MultiByteToWideChar counts otherwise;
# - the byte form of INI files: GetPrivateProfileStringW reads a file
#   without a byte-order mark in the ANSI code page, and
#   WritePrivateProfileStringW keeps a key's spelling and writes UTF-16.
# - Firefox's places database: SQLite on Windows is the system's
#   winsqlite3.dll, which wine does not have (the program then refuses the
#   database with a message that says so, which win32/sqlite_test.cpp
#   holds it to).
set(malformed_utf8 "Utf8ToUtf16.ReplacesEachMalformedPieceWithOneReplacementCharacter:ReadBookmarkFile.MalformedUtf8IsReplacedNotDropped")
set(places_database "PlacesReader.*:PlacesWriter.*:BrowserStoreExport.*")
linnet_windows_tests(stores FILES ${stores_tests} DEPS linnet_stores EXCLUDE ${malformed_utf8}:${places_database})
linnet_windows_tests(platform FILES text_test.cpp DEPS linnet_platform EXCLUDE ${malformed_utf8})
linnet_windows_tests(favorites FILES favorites_fixture.cpp favorites_writer_test.cpp profile_test.cpp DEPS linnet_stores
  EXCLUDE "Profile.ReadsValuesTheWayThePlatformDoes:Profile.WritesNewFilesInTheShortcutForm:Profile.UpdatesExistingFilesKeepingEverythingElse")
linnet_windows_tests(updater FILES digest_test.cpp request_file_test.cpp DEPS linnet_updater linnet_stores)
linnet_windows_tests(win32 FILES http_test.cpp browser_locks_test.cpp sqlite_test.cpp threads_test.cpp DEPS linnet_http linnet_stores)
# The HTTP tests talk to the demo site, started on the Linux side by
# scripts/test-windows (LINNET_TEST_BOOKMARKS names the file it wrote).
