# The wall of ui/core/: its files include only the C++ standard library,
# ui/core/ itself and the headers of link/ that are window-free themselves
# (whose own includes pass the same test), so the rules build on every
# preset and no Windows header creeps in through a header that compiles on
# its own. Run by the build (cmake -P) whenever a file of ui/core/ changes:
#   cmake -DROOT=<source dir> -DSTAMP=<file written on success> -P ui_core_wall.cmake
cmake_minimum_required(VERSION 3.20)

# Fails naming file and the include unless every include of file (a path
# under ROOT) is allowed; a link/ header is followed into its own includes.
function(check_includes file via)
  get_property(checked GLOBAL PROPERTY ui_core_wall_checked)
  if(file IN_LIST checked)
    return()
  endif()
  set_property(GLOBAL APPEND PROPERTY ui_core_wall_checked ${file})
  file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([<\"][^>\"]*[>\"]).*" "\\1" name "${line}")
    if(name MATCHES "^<[a-z_]+>$" OR name MATCHES "^\"ui/core/[a-z0-9_]+\\.h\"$")
      continue()
    endif()
    if(name MATCHES "^\"(link/[a-z0-9_]+\\.h)\"$")
      check_includes(${CMAKE_MATCH_1} "${via}${file} -> ")
      continue()
    endif()
    message(FATAL_ERROR "ui/core/ takes only the C++ standard library, ui/core/ and window-free "
                        "headers of link/: ${via}${file} includes ${name}")
  endforeach()
endfunction()

file(GLOB core_files RELATIVE ${ROOT} ${ROOT}/ui/core/*.h ${ROOT}/ui/core/*.cpp)
foreach(file IN LISTS core_files)
  check_includes(${file} "")
endforeach()
file(WRITE ${STAMP} "")
