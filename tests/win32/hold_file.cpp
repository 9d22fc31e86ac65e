// Holds a file open the way a game or an editor may: others may read and write it, but not
// delete or rename it. Usage: hold_file FILE READY RELEASE. Writes READY once the file is held,
// and lets go when RELEASE exists (or after two minutes).
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) return 2;
    HANDLE held = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (int wait = 0; wait < 1200 && GetFileAttributesW(argv[3]) == INVALID_FILE_ATTRIBUTES; ++wait) Sleep(100);
    CloseHandle(held);
    return 0;
}
