# kovconfig.exe and its tests for 32-bit Windows, from XP SP3 on. Its tests are built, not run:
# 32-bit Wine does not run on every machine that builds it.
set(KOV_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
