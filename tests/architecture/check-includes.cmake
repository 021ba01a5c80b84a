# Checks the include directions of the source tree: each folder is one layer and includes
# only the folders below it (the README's "Architecture"), and the widget-free folders
# include no Qt header outside Qt Core.
#   cmake -DSOURCE_DIR=<src> -DQT_CORE_HEADERS=<QtCore include dir> -P check-includes.cmake
# Fails, naming every offending line, when an include breaks the rules.
cmake_minimum_required(VERSION 3.22)

# The folders a folder may include, itself included.
set(allowed_net            "net")
set(allowed_files          "files;net")
set(allowed_ui             "ui;net")
set(allowed_dialogs        "dialogs;ui;net")
set(allowed_files/commands "files/commands;files;ui;net")
set(allowed_app            "app;dialogs;files/commands;files;ui;net")
# Folders without widgets: Qt Core is all they may use of Qt.
set(core_folders "net;files")

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
set(broken "")
foreach(source IN LISTS sources)
  get_filename_component(folder "${source}" DIRECTORY)
  if(NOT DEFINED allowed_${folder})
    list(APPEND broken "${source}: the folder ${folder}/ has no place in the layers")
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(line IN LISTS includes)
    if(line MATCHES "#[ \t]*include[ \t]*\"(.+)/[^/]+\"")
      set(target "${CMAKE_MATCH_1}")
      if(NOT target IN_LIST allowed_${folder})
        list(APPEND broken "${source}: ${folder}/ may not include ${target}/ (${line})")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]+)>" AND folder IN_LIST core_folders)
      if(NOT EXISTS "${QT_CORE_HEADERS}/${CMAKE_MATCH_1}")
        list(APPEND broken "${source}: ${folder}/ is widget-free and may use only Qt Core (${line})")
      endif()
    endif()
  endforeach()
endforeach()

list(LENGTH sources count)
if(count EQUAL 0)
  message(FATAL_ERROR "no sources found below ${SOURCE_DIR}")
endif()
if(broken)
  list(JOIN broken "\n  " text)
  message(FATAL_ERROR "Includes that break the layers:\n  ${text}")
endif()
message(STATUS "${count} files keep the layers")
