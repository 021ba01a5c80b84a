# Builds the Debian package from a finished build and checks what apt would see: the control
# fields, the library dependencies dpkg-shlibdeps found, and every file with its owner and
# mode. The package goes to OUT_DIR, never beside a package built by `make package`.
# Usage: cmake -DCPACK=... -DBUILD_DIR=... -DOUT_DIR=... -DVERSION=1.0.0 -DAPP_ID=...
#              -DICON_SIZES=16,32,... -P check-deb.cmake

foreach(var CPACK BUILD_DIR OUT_DIR VERSION APP_ID ICON_SIZES)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} not given")
  endif()
endforeach()
string(REPLACE "," ";" ICON_SIZES "${ICON_SIZES}")

foreach(tool dpkg dpkg-deb dpkg-shlibdeps file)
  string(MAKE_C_IDENTIFIER "${tool}" id)
  find_program(${id}_EXE ${tool})
  if(NOT ${id}_EXE)
    message(FATAL_ERROR "${tool} not found: install the Debian packages dpkg-dev and file (make test-deps)")
  endif()
endforeach()
execute_process(COMMAND "${dpkg_EXE}" --print-architecture OUTPUT_VARIABLE arch OUTPUT_STRIP_TRAILING_WHITESPACE)

file(REMOVE_RECURSE "${OUT_DIR}")
execute_process(COMMAND "${CPACK}" -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${OUT_DIR}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
message("${out}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed (${rc})")
endif()
set(deb "${OUT_DIR}/kolvane_${VERSION}_${arch}.deb")
if(NOT EXISTS "${deb}")
  file(GLOB made "${OUT_DIR}/*.deb")
  message(FATAL_ERROR "no ${deb}; cpack made: ${made}")
endif()

set(failures "")

# Control fields: name each one and the pattern its whole value must match.
execute_process(COMMAND "${dpkg_deb_EXE}" -I "${deb}" RESULT_VARIABLE rc OUTPUT_VARIABLE info)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -I failed on ${deb}")
endif()
message("${info}")
string(REPLACE "." "\\." version_re "${VERSION}")
set(fields
    "Package|kolvane"
    "Version|${version_re}"
    "Architecture|${arch}"
    "Section|hamradio"
    "Priority|optional"
    "Maintainer|[^<>]+ <[^@<> ]+@[^@<> ]+>"
    "Homepage|https://[^ ]+"
    "Installed-Size|[1-9][0-9]*"
    "Description|Net Control log for amateur-radio nets"
    "Depends|.*libc6 \\(>= [^)]+\\).*"
    "Recommends|qt6-wayland")
foreach(entry IN LISTS fields)
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 name)
  list(GET entry 1 pattern)
  if(NOT info MATCHES "\n ${name}: ([^\n]*)")
    list(APPEND failures "control field ${name} missing")
    continue()
  endif()
  set(value "${CMAKE_MATCH_1}")
  if(NOT value MATCHES "^${pattern}$")
    list(APPEND failures "control field ${name} is '${value}'")
  endif()
endforeach()
if(info MATCHES "\n Depends: ([^\n]*)")
  set(depends "${CMAKE_MATCH_1}")
  # Each library the program links, with the least version its symbols need: what
  # dpkg-shlibdeps writes, and a hand-kept list would not.
  foreach(lib libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libstdc\\+\\+6)
    if(NOT depends MATCHES "(^|, )${lib} \\(>= [^)]+\\)")
      list(APPEND failures "Depends lacks a versioned ${lib}")
    endif()
  endforeach()
  # The X11 platform plugin, which no library dependency brings in.
  if(NOT depends MATCHES "(^|, )qt6-qpa-plugins(,|$)")
    list(APPEND failures "Depends lacks qt6-qpa-plugins")
  endif()
endif()
# The long description follows the synopsis, indented one space.
if(NOT info MATCHES "\n Description: [^\n]*\n  Kolvane is for")
  list(APPEND failures "no long description")
endif()
if(NOT info MATCHES " md5sums *\n")
  list(APPEND failures "no md5sums")
endif()

# The file list: exactly these files, owned by root, 0755 for the program and 0644 for the
# rest, and every folder 0755. Nothing may land outside /usr or under /usr/local.
set(expected
    "-rwxr-xr-x|./usr/bin/kolvane"
    "-rw-r--r--|./usr/share/applications/${APP_ID}.desktop"
    "-rw-r--r--|./usr/share/metainfo/${APP_ID}.metainfo.xml"
    "-rw-r--r--|./usr/share/icons/hicolor/scalable/apps/${APP_ID}.svg"
    "-rw-r--r--|./usr/share/doc/kolvane/copyright"
    "-rw-r--r--|./usr/share/doc/kolvane/changelog.gz"
    "-rw-r--r--|./usr/share/man/man1/kolvane.1.gz")
foreach(size IN LISTS ICON_SIZES)
  list(APPEND expected "-rw-r--r--|./usr/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png")
endforeach()
execute_process(COMMAND "${dpkg_deb_EXE}" -c "${deb}" RESULT_VARIABLE rc OUTPUT_VARIABLE listing)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -c failed on ${deb}")
endif()
message("${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(found "")
foreach(line IN LISTS lines)
  if(line STREQUAL "")
    continue()
  endif()
  if(NOT line MATCHES "^([-dlrwxs]+) +([^ ]+) +[0-9]+ +[0-9-]+ +[0-9:]+ +(.*)$")
    list(APPEND failures "unreadable listing line: ${line}")
    continue()
  endif()
  set(mode "${CMAKE_MATCH_1}")
  set(owner "${CMAKE_MATCH_2}")
  set(path "${CMAKE_MATCH_3}")
  if(NOT owner STREQUAL "root/root")
    list(APPEND failures "${path} is owned by ${owner}")
  endif()
  if(NOT path MATCHES "^\\./(usr/.*)?$" OR path MATCHES "^\\./usr/local")
    list(APPEND failures "outside /usr: ${path}")
  endif()
  if(mode MATCHES "^d")
    if(NOT mode STREQUAL "drwxr-xr-x")
      list(APPEND failures "folder ${path} is ${mode}")
    endif()
  else()
    list(APPEND found "${mode}|${path}")
  endif()
endforeach()
list(SORT expected)
list(SORT found)
if(NOT found STREQUAL expected)
  set(missing ${expected})
  list(REMOVE_ITEM missing ${found})
  set(extra ${found})
  list(REMOVE_ITEM extra ${expected})
  list(APPEND failures "files differ; missing or wrong mode: ${missing}; unexpected: ${extra}")
endif()

# A shipped program carries no debugging symbols.
set(unpacked "${OUT_DIR}/unpacked")
execute_process(COMMAND "${dpkg_deb_EXE}" -x "${deb}" "${unpacked}" RESULT_VARIABLE rc)
execute_process(COMMAND "${file_EXE}" -b "${unpacked}/usr/bin/kolvane" OUTPUT_VARIABLE kind)
if(NOT rc EQUAL 0 OR NOT kind MATCHES "ELF.*, stripped")
  list(APPEND failures "usr/bin/kolvane is not a stripped program: ${kind}")
endif()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "package check failed for ${deb}:\n  ${text}")
endif()
file(REMOVE_RECURSE "${OUT_DIR}")
message(STATUS "${deb} has the fields, the dependencies and the files of the package")
