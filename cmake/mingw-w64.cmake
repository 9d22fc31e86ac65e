# Cross-building kovconfig.exe and its tests for Windows with Debian's mingw-w64 (posix thread
# model, which GoogleTest needs), statically linked so that nothing but the system's own
# libraries is looked for at run time. Included by the toolchain file of each processor, which
# sets KOV_MINGW_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KOV_MINGW_PROCESSOR})
set(CMAKE_C_COMPILER ${KOV_MINGW_PROCESSOR}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${KOV_MINGW_PROCESSOR}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${KOV_MINGW_PROCESSOR}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KOV_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# No time stamp in the PE header: the same commit links to the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")
# GCC 12 warns falsely about overlapping copies inside std::string when optimising (GCC bug 105329).
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
