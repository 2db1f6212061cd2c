# The download for Windows users: `cmake --build --preset windows --target
# package` writes velmo-<version>-win32.zip (the host, the framework, the
# plug-in in plugins/ where the host looks, the server, a README and the
# licence) and its SHA-256 beside it. The version is the one velmo.dll's version record gives.
file(STRINGS ${PROJECT_SOURCE_DIR}/plugin/velmo.rc version_line REGEX "VALUE \"FileVersion\"")
string(REGEX REPLACE ".*\"FileVersion\", \"([^\"]*)\".*" "\\1" VELMO_VERSION "${version_line}")
if(NOT VELMO_VERSION MATCHES "^[0-9A-Za-z.]+$")
  message(FATAL_ERROR "No usable FileVersion in plugin/velmo.rc: \"${VELMO_VERSION}\"")
endif()

# The files themselves: install(TARGETS) would add the import libraries.
install(PROGRAMS $<TARGET_FILE:palaver> $<TARGET_FILE:framework> $<TARGET_FILE:orla-server>
        DESTINATION .)
install(PROGRAMS $<TARGET_FILE:velmo> DESTINATION plugins)
# Notepad reads UTF-8 by its byte-order mark (kept in the template) and wants CRLF.
configure_file(${CMAKE_CURRENT_LIST_DIR}/package/README.txt ${CMAKE_BINARY_DIR}/package/README.txt
               @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/package/README.txt ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME velmo)
set(CPACK_PACKAGE_VENDOR velmo)
set(CPACK_PACKAGE_VERSION ${VELMO_VERSION})
set(CPACK_PACKAGE_FILE_NAME velmo-${VELMO_VERSION}-win32)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
