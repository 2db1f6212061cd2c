# The walls of ui/'s rooms: what each room's files may include, in one table.
# A room may use the rooms above it, never one below; core/ takes no window
# system at all, so its rules build on every preset. Run by every build
# (cmake -P) whenever a file of ui/ or a header of link/ changes:
#   cmake -DROOT=<source dir> -DSTAMP=<file written on success> -P ui_walls.cmake
# A break fails the build naming the chain of includes that led to it.
cmake_minimum_required(VERSION 3.20)

# room      what its files may include besides the C++ standard library and
#           the room itself:
#   rooms     ui/<room>/ headers
#   link      any link/ header; link-window-free: link/ headers whose own
#             includes pass core's test, followed through
#   framework the framework's headers; system: the platform's <...h> headers
#   messages  ui/ui_messages.h; res: res/ (ids, images)
set(ui_walls
  "core      link-window-free"
  "console   core link framework system messages"
  "seams     core console link framework system messages"
  "controls  core console link framework system messages"
  "pages     core console seams controls link framework system messages res"
  "host      core console seams controls pages link framework system messages res")

# Fails unless every include of file (a path under ROOT) is one its room may
# take; a window-free link/ header is followed into its own includes.
function(check_includes file room allowed via)
  set(key "${room}:${file}")
  get_property(checked GLOBAL PROPERTY ui_walls_checked)
  if(key IN_LIST checked)
    return()
  endif()
  set_property(GLOBAL APPEND PROPERTY ui_walls_checked ${key})
  file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([<\"][^>\"]*[>\"]).*" "\\1" name "${line}")
    set(ok FALSE)
    set(target "")
    if(name MATCHES "^<[a-z_]+>$")
      set(target std)
    elseif(name MATCHES "^<[A-Za-z0-9_/]+\\.h>$")
      set(target system)
    elseif(name MATCHES "^\"ui/([a-z]+)/[a-z0-9_]+\\.h\"$")
      set(target ${CMAKE_MATCH_1})
    elseif(name STREQUAL "\"ui/ui_messages.h\"")
      set(target messages)
    elseif(name MATCHES "^\"(link|framework|res)/")
      set(target ${CMAKE_MATCH_1})
    endif()
    if(target STREQUAL "std" OR target STREQUAL room OR target IN_LIST allowed)
      set(ok TRUE)
    elseif(target STREQUAL "link" AND "link-window-free" IN_LIST allowed AND
           name MATCHES "^\"(link/[a-z0-9_]+\\.h)\"$")
      check_includes(${CMAKE_MATCH_1} ${room} "${allowed}" "${via}${file} -> ")
      set(ok TRUE)
    endif()
    if(NOT ok)
      message(FATAL_ERROR "ui/${room}/ may include only the standard library, itself and: "
                          "${allowed} (cmake/ui_walls.cmake): ${via}${file} includes ${name}")
    endif()
  endforeach()
endfunction()

foreach(row IN LISTS ui_walls)
  string(REGEX REPLACE " +" ";" row "${row}")
  list(POP_FRONT row room)
  file(GLOB files RELATIVE ${ROOT} ${ROOT}/ui/${room}/*.h ${ROOT}/ui/${room}/*.cpp)
  foreach(file IN LISTS files)
    check_includes(${file} ${room} "${row}" "")
  endforeach()
endforeach()
# A room on disk that the table does not name has no wall: refuse it.
file(GLOB rooms LIST_DIRECTORIES true RELATIVE ${ROOT}/ui ${ROOT}/ui/*)
foreach(room IN LISTS rooms)
  if(IS_DIRECTORY ${ROOT}/ui/${room} AND NOT ui_walls MATCHES "(^|;)${room} ")
    message(FATAL_ERROR "ui/${room}/ has no row in cmake/ui_walls.cmake's table")
  endif()
endforeach()
file(WRITE ${STAMP} "")
