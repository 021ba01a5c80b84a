# Installs the build into a fresh temporary prefix and checks that every file lands where
# the desktop expects it.
# Usage: cmake -DBUILD_DIR=... -DPREFIX=... -DAPP_ID=... -DICON_SIZES=16,32,...
#              -DBINDIR=bin -DDATADIR=share -DDOCDIR=share/doc/kolvane -P check-install.cmake

foreach(var BUILD_DIR PREFIX APP_ID ICON_SIZES BINDIR DATADIR DOCDIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} not given")
  endif()
endforeach()
string(REPLACE "," ";" ICON_SIZES "${ICON_SIZES}")

# An absolute install directory ignores --prefix; such a build cannot be checked here.
foreach(dir BINDIR DATADIR DOCDIR)
  if(IS_ABSOLUTE "${${dir}}")
    message(FATAL_ERROR "CMAKE_INSTALL_${dir} is absolute (${${dir}}); configure with relative install dirs")
  endif()
endforeach()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
message("${out}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc})")
endif()

set(failures "")
macro(expect_file path)
  if(NOT EXISTS "${PREFIX}/${path}" OR IS_DIRECTORY "${PREFIX}/${path}")
    list(APPEND failures "missing: ${path}")
  endif()
endmacro()

set(icons "${DATADIR}/icons/hicolor")
expect_file("${BINDIR}/kolvane")
expect_file("${DATADIR}/applications/${APP_ID}.desktop")
expect_file("${DATADIR}/metainfo/${APP_ID}.metainfo.xml")
expect_file("${icons}/scalable/apps/${APP_ID}.svg")
expect_file("${DOCDIR}/copyright")

# Each PNG must really have the size of the folder it is in: the icon theme trusts the folder.
foreach(size IN LISTS ICON_SIZES)
  set(png "${icons}/${size}x${size}/apps/${APP_ID}.png")
  expect_file("${png}")
  if(EXISTS "${PREFIX}/${png}")
    file(READ "${PREFIX}/${png}" head LIMIT 24 HEX)
    string(SUBSTRING "${head}" 0 16 signature)
    string(SUBSTRING "${head}" 32 8 width_hex)
    string(SUBSTRING "${head}" 40 8 height_hex)
    math(EXPR width "0x${width_hex}")
    math(EXPR height "0x${height_hex}")
    if(NOT signature STREQUAL "89504e470d0a1a0a")
      list(APPEND failures "not a PNG: ${png}")
    elseif(NOT width EQUAL size OR NOT height EQUAL size)
      list(APPEND failures "${png} is ${width}x${height}")
    endif()
  endif()
endforeach()

# The installed program must be runnable, not just present.
if(EXISTS "${PREFIX}/${BINDIR}/kolvane")
  execute_process(COMMAND test -x "${PREFIX}/${BINDIR}/kolvane" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    list(APPEND failures "not executable: ${BINDIR}/kolvane")
  endif()
endif()

# The metainfo must find its launcher in the installed tree.
find_program(APPSTREAMCLI appstreamcli)
if(NOT APPSTREAMCLI)
  list(APPEND failures "appstreamcli not found: install the Debian package appstream (make test-deps)")
else()
  execute_process(COMMAND "${APPSTREAMCLI}" validate-tree --no-net --strict "${PREFIX}"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message("${out}")
    list(APPEND failures "appstreamcli validate-tree failed on the installed tree")
  endif()
endif()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "install check failed:\n  ${text}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
message(STATUS "install into a temporary prefix placed every file")
