// The real save, run alone as a player's program would run it, for tests that end it at any
// instant (a kill or a power cut at a chosen call) and then look at what is on disk.
// It says "running" first, at once; --as-windows-xp before the rest runs it as Windows XP would.
//   save_driver save NEW_TEXT_FILE   recovery, reading, then saving the text in kov.ini here
//                                    ("saved", or why not)
//   save_driver after-stop OLD NEW STATE   after a stopped save of NEW over OLD ("-": no file
//                                    before) here: the next start, and the checks of
//                                    after_stop.h; 0 when all hold, else what does not
// KOV_ARM, set by the program to 1 just before the save, tells a shim loaded with it to start
// counting calls (POSIX); on Windows the program itself ends at once before its primitive call
// number KOV_STOP_AT of the save (TerminateProcess, as a crash or the task manager would end it).
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "after_stop.h"
#include "config_file.h"
#include "faults.h"
#include "file_messages.h"

#ifdef _WIN32
#include <windows.h>

#include "win32_newer.h"
#endif

namespace {

void Arm(kov::testing::FaultyFileSystem& layer) {
#ifdef _WIN32
    if (const char* at = std::getenv("KOV_STOP_AT"))
        layer.StopAt(layer.calls() + std::atol(at), [] { TerminateProcess(GetCurrentProcess(), 9); });
#else
    static_cast<void>(layer);
    ::setenv("KOV_ARM", "1", 1);
#endif
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    if (argc > 1 && std::string(argv[1]) == "--as-windows-xp") {
        kov::detail::Newer() = {};
        --argc, ++argv;
    }
#endif
    // First, and at once: the program runs (a test tells this from Wine failing to start it).
    std::printf("running\n");
    std::fflush(stdout);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "save" && argc == 3) {
        const std::string text = kov::testing::Contents(argv[2]);
        kov::testing::FaultyFileSystem layer;
        kov::ConfigFile file(layer);
        kov::ConfigurationStore store;
        file.Recover();
        file.Read(store);
        Arm(layer);
        const kov::SaveResult result = file.Save(text, [] { return true; });
        std::printf("%s\n", result.saved() ? "saved" : kov::ReasonWords(result.reason, {file.DisplayName(), file.System()}, true).c_str());
        return result.saved() ? 0 : 1;
    }
    if (mode == "after-stop" && argc == 5) {
        const bool noneBefore = std::string(argv[2]) == "-";
        const std::optional<std::string> old = noneBefore ? std::nullopt : std::optional(kov::testing::Contents(argv[2]));
        const std::string wrong = kov::testing::AfterStop(".", argv[4], old, kov::testing::Contents(argv[3]),
            [] { return !kov::ConfigFile().Recover().failure; });
        if (!wrong.empty()) std::printf("%s\n", wrong.c_str());
        return wrong.empty() ? 0 : 1;
    }
    std::fprintf(stderr, "usage: save_driver [--as-windows-xp] save NEW | after-stop OLD|- NEW STATE_FOLDER\n");
    return 2;
}
