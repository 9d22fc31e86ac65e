# kovconfig.exe and its tests for 64-bit Windows; the tests run under Wine.
set(KOV_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
find_program(KOV_WINE NAMES wine wine64 PATHS /usr/lib/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KOV_WINE})
