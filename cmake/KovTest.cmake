# kov_add_gtest(name [SHOWS_WINDOWS] SOURCES ... LIBRARIES ...): one GoogleTest executable,
# SHOWS_WINDOWS when it shows windows (under Wine, on the test run's display). Natively its cases
# are registered with CTest one by one; cross-built for Windows it is one test run under Wine
# (listing the cases would run Wine at build time), twice (the second as on Windows XP, by its
# main's --as-windows-xp), with GoogleTest built from Debian's sources.
# The Wine prefix of a test run: made anew by the "wine" fixture.
set(KOV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
if(KOV_BUILD_TESTS AND NOT CMAKE_CROSSCOMPILING)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(KOV_BUILD_TESTS AND CMAKE_CROSSCOMPILING AND NOT TARGET GTest::gtest)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

function(kov_add_gtest name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "SHOWS_WINDOWS" "" "SOURCES;LIBRARIES")
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} GTest::gtest)
  target_compile_definitions(${name} PRIVATE KOV_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
  if(CMAKE_CROSSCOMPILING)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/win32/windows_test_main.cpp)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/file)
    target_link_libraries(${name} PRIVATE kov::file)
    # Once as this Windows is, once as Windows XP would run it: every newer function missing.
    set(run ${name})  # run by CMAKE_CROSSCOMPILING_EMULATOR, Wine
    set(locks wine_state)
    if(arg_SHOWS_WINDOWS)
      set(run ${PROJECT_SOURCE_DIR}/tests/win32/on_wine_display.sh ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
      list(APPEND locks wine_display)
    endif()
    add_test(NAME ${name} COMMAND ${run})
    add_test(NAME ${name}_as_xp COMMAND ${run} --as-windows-xp)
    # The player's own folder of the prefix, where journals go, is the suites' and the kill test's.
    set_tests_properties(${name} ${name}_as_xp PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK "${locks}"
                         ENVIRONMENT "WINEPREFIX=${KOV_WINEPREFIX};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
