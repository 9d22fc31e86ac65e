// The one function newer than Windows XP that the static C++ runtime imports (winpthreads'
// millisecond clock, GetTickCount64): given here from GetTickCount, which XP has, in place of
// the import, so that the 32-bit program starts on XP. Linked into the 32-bit program only.
#include <windows.h>

namespace {

ULONGLONG WINAPI TickCount64() {
    // GetTickCount wraps every 49.7 days: the wraps seen are counted (the caller needs only
    // a clock that never goes back).
    static DWORD last = 0;
    static ULONGLONG wraps = 0;
    const DWORD now = GetTickCount();
    if (now < last) ++wraps;
    last = now;
    return (wraps << 32) | now;
}

}  // namespace

// The import's own name, which the runtime's calls go through.
extern "C" {
ULONGLONG(WINAPI* kovTickCount64)() __asm__("__imp__GetTickCount64@0") = TickCount64;
}
