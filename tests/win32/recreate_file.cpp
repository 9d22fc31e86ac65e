// Makes a new, empty file the moment a file disappears from its name, as virus scanners and
// indexers may: two threads try to create it all the time, each closing it at once and sharing
// it fully meanwhile. Usage: recreate_file FILE READY STOP. Writes READY when running, stops when
// STOP exists (or after two minutes), and writes to STOP.count how often it made the file.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) return 2;
    const std::wstring file = argv[1];
    const std::wstring stop = argv[3];
    std::atomic<bool> running{true};
    std::atomic<int> made{0};
    const auto hammer = [&] {
        while (running) {
            HANDLE created = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, CREATE_NEW, 0, nullptr);
            if (created != INVALID_HANDLE_VALUE) {
                CloseHandle(created);
                ++made;
            }
        }
    };
    std::thread first(hammer), second(hammer);
    CloseHandle(CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (int wait = 0; wait < 1200 && GetFileAttributesW(stop.c_str()) == INVALID_FILE_ATTRIBUTES; ++wait) Sleep(100);
    running = false;
    first.join();
    second.join();
    if (FILE* out = _wfopen((stop + L".count").c_str(), L"w")) {
        std::fprintf(out, "%d\n", made.load());
        std::fclose(out);
    }
    return 0;
}
