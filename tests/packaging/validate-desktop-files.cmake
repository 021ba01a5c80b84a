# Runs the desktop-file and AppStream validators on the launcher and the metainfo file.
# Usage: cmake -DSOURCE_DIR=<packaging dir> -DAPP_ID=<id> -P validate-desktop-files.cmake
# A missing validator is a failure, not a skip: `make test-deps` installs both.

foreach(var SOURCE_DIR APP_ID)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} not given")
  endif()
endforeach()

set(desktop "${SOURCE_DIR}/${APP_ID}.desktop")
set(metainfo "${SOURCE_DIR}/${APP_ID}.metainfo.xml")

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(APPSTREAMCLI appstreamcli)
if(NOT DESKTOP_FILE_VALIDATE)
  message(FATAL_ERROR "desktop-file-validate not found: install the Debian package desktop-file-utils (make test-deps)")
endif()
if(NOT APPSTREAMCLI)
  message(FATAL_ERROR "appstreamcli not found: install the Debian package appstream (make test-deps)")
endif()

# desktop-file-validate exits 0 on warnings; a warning here is a defect all the same.
# Hints (suggestions for more categories) are allowed.
execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${desktop}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
message("${out}")
if(NOT rc EQUAL 0 OR out MATCHES "(error|warning):")
  message(FATAL_ERROR "desktop-file-validate rejected ${desktop}")
endif()

# --strict fails on anything above a pedantic hint.
execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net --strict "${metainfo}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
message("${out}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "appstreamcli rejected ${metainfo}")
endif()

# The two files must name each other and the installed icon consistently.
file(READ "${desktop}" desktop_text)
file(READ "${metainfo}" metainfo_text)
if(NOT metainfo_text MATCHES "<id>${APP_ID}</id>")
  message(FATAL_ERROR "metainfo id is not ${APP_ID}")
endif()
if(NOT metainfo_text MATCHES "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>")
  message(FATAL_ERROR "metainfo does not launch ${APP_ID}.desktop")
endif()
if(NOT desktop_text MATCHES "\nIcon=${APP_ID}\n")
  message(FATAL_ERROR "launcher icon is not ${APP_ID}")
endif()
if(NOT desktop_text MATCHES "\nCategories=Utility;HamRadio;\n")
  message(FATAL_ERROR "launcher categories are not Utility;HamRadio;")
endif()
message(STATUS "launcher and metainfo are valid")
