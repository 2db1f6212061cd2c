# Helpers shared by every folder's CMakeLists.txt.

# GoogleTest natively from the system; for Windows built from the sources that
# libgtest-dev ships, with the cross compiler.
macro(velmo_add_test_libraries)
  if(CMAKE_CROSSCOMPILING)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    add_library(velmo_gtest INTERFACE)
    target_link_libraries(velmo_gtest INTERFACE gtest gmock)
    add_library(velmo_gtest_main INTERFACE)
    target_link_libraries(velmo_gtest_main INTERFACE gtest_main gmock)
  else()
    find_package(GTest REQUIRED)
    find_package(benchmark REQUIRED)
    find_package(Threads REQUIRED)
    add_library(velmo_gtest INTERFACE)
    target_link_libraries(velmo_gtest INTERFACE GTest::gtest GTest::gmock Threads::Threads)
    add_library(velmo_gtest_main INTERFACE)
    target_link_libraries(velmo_gtest_main INTERFACE GTest::gtest_main GTest::gmock Threads::Threads)
  endif()
endmacro()

# One CTest entry per test program. Windows programs run under Wine through
# the emulator and share the Wine session that the fixture starts and stops.
# Each has a time-out of its own, far above the slowest program (about a
# minute under the sanitizers), so a hang fails that test instead of waiting
# out CTest's 1500-second default.
set(VELMO_TEST_TIMEOUT 300 CACHE STRING "Seconds each test program may run")
function(velmo_add_test target)
  add_test(NAME ${target} COMMAND ${target} ${ARGN})
  set_tests_properties(${target} PROPERTIES TIMEOUT ${VELMO_TEST_TIMEOUT})
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine)
  endif()
endfunction()

# The Wine session (prefix, persistent wineserver, virtual display) is started
# once before the first Windows test and torn down after the last.
function(velmo_add_wine_fixture)
  set(session ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh)
  add_test(NAME wine_session_start COMMAND ${session} start ${CMAKE_BINARY_DIR}/wine)
  add_test(NAME wine_session_stop COMMAND ${session} stop ${CMAKE_BINARY_DIR}/wine)
  set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 600)
  set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 120)
endfunction()
