# Works out the version every file of a build carries, from the commit it is built from, and writes it as a
# header for the resource script and as plain text for the packaging script. Run at every build; the files
# are rewritten only when the version changes, so a new commit recompiles the resource and relinks, nothing else.
#
# A tag vMAJOR.MINOR names a release; the commits since it are the third field. Without such a tag the
# version is 0.0.<commits in the history>. The text form adds the abbreviated commit id, and "modified" for a
# tree with uncommitted changes. A tree without git builds as 0.0.0.
#
# Usage: cmake -DSOURCE_DIR=... -DHEADER=... -DTEXT=... -P version.cmake
set(major 0)
set(minor 0)
set(build 0)
set(commit "")
set(modified "")

find_package(Git QUIET)
if(GIT_FOUND AND EXISTS "${SOURCE_DIR}/.git")
  execute_process(COMMAND "${GIT_EXECUTABLE}" describe --tags --long --match "v[0-9]*.[0-9]*"
                  WORKING_DIRECTORY "${SOURCE_DIR}" OUTPUT_VARIABLE described RESULT_VARIABLE described_status
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(described_status EQUAL 0 AND described MATCHES "^v([0-9]+)\\.([0-9]+)[^-]*-([0-9]+)-g([0-9a-f]+)$")
    set(major ${CMAKE_MATCH_1})
    set(minor ${CMAKE_MATCH_2})
    set(build ${CMAKE_MATCH_3})
    set(commit ${CMAKE_MATCH_4})
  else()
    execute_process(COMMAND "${GIT_EXECUTABLE}" rev-list --count HEAD WORKING_DIRECTORY "${SOURCE_DIR}"
                    OUTPUT_VARIABLE count RESULT_VARIABLE count_status OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse --short=8 HEAD WORKING_DIRECTORY "${SOURCE_DIR}"
                    OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(count_status EQUAL 0 AND count MATCHES "^[0-9]+$")
      set(build ${count})
    endif()
  endif()
  execute_process(COMMAND "${GIT_EXECUTABLE}" diff --quiet HEAD -- WORKING_DIRECTORY "${SOURCE_DIR}"
                  RESULT_VARIABLE diff_status ERROR_QUIET)
  if(diff_status EQUAL 1)
    set(modified " modified")
  endif()
endif()

# Windows Installer compares three fields of at most 255.255.65535.
if(major GREATER 255 OR minor GREATER 255 OR build GREATER 65535)
  message(FATAL_ERROR "version ${major}.${minor}.${build} does not fit Windows Installer's limits")
endif()

set(numbers "${major}.${minor}.${build}")
set(text "${numbers}.0")
if(commit)
  string(APPEND text " (${commit}${modified})")
endif()

set(header_text "// Written by cmake/version.cmake from the commit the build comes from.
#define CARDEL_VERSION_NUMBERS ${major},${minor},${build},0
#define CARDEL_VERSION_TEXT \"${text}\"
")
set(plain_text "${numbers}\n")

foreach(pair "HEADER;header_text" "TEXT;plain_text")
  list(GET pair 0 file_var)
  list(GET pair 1 content_var)
  set(old "")
  if(EXISTS "${${file_var}}")
    file(READ "${${file_var}}" old)
  endif()
  if(NOT old STREQUAL "${${content_var}}")
    file(WRITE "${${file_var}}" "${${content_var}}")
  endif()
endforeach()
