// The real save, run alone as a player's program would run it, for tests that end it at any
// instant (a kill or a power cut at a chosen call) and then look at what is on disk.
// It says "running" first, at once; --as-windows-xp before the rest runs it as Windows XP would.
//   save_driver save NEW_TEXT_FILE   recovery, reading, then saving the text in kov.ini here
//                                    ("saved", or why not)
//   save_driver recover              what the next start does before reading
//   save_driver inspect OLD NEW      0 when the old or the new bytes are whole on disk, in kov.ini
//                                    or in a journal of it (OLD "-": there was no file)
// KOV_ARM, set by the program to 1 just before the save, tells a shim loaded with it to start
// counting calls (POSIX); on Windows the program itself ends at once before its primitive call
// number KOV_STOP_AT of the save (TerminateProcess, as a crash or the task manager would end it).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "config_file.h"
#include "faults.h"
#include "file_messages.h"
#include "journal.h"

#ifdef _WIN32
#include <windows.h>

#include "win32_paths.h"
#endif

namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path, bool& exists) {
    std::ifstream in(path, std::ios::binary);
    exists = static_cast<bool>(in);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Arm(kov::testing::FaultyFileSystem& layer) {
#ifdef _WIN32
    if (const char* at = std::getenv("KOV_STOP_AT"))
        layer.StopAt(layer.calls() + std::atol(at), [] { TerminateProcess(GetCurrentProcess(), 9); });
#else
    static_cast<void>(layer);
    ::setenv("KOV_ARM", "1", 1);
#endif
}

// Whether some journal in the folder (or below a state folder) holds these old bytes whole.
bool JournalHolds(const fs::path& folder, const std::string& old) {
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ignored)) {
        if (!entry.path().filename().string().ends_with(".journal")) continue;
        bool exists = false;
        const auto journal = kov::detail::DecodeJournal(Contents(entry.path(), exists));
        if (journal && journal->oldBytes == old) return true;
    }
    return false;
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
        bool exists = false;
        const std::string text = Contents(argv[2], exists);
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
    if (mode == "recover") {
        kov::ConfigFile file;
        const kov::RecoveryReport report = file.Recover();
        std::printf("%s\n", report.restored ? "restored" : report.empty() ? "clean" : "kept");
        return report.failure ? 1 : 0;
    }
    if (mode == "inspect" && argc >= 4) {
        bool oldExists = false, newExists = false, exists = false;
        const bool noneBefore = std::string(argv[2]) == "-";
        const std::string old = noneBefore ? std::string() : Contents(argv[2], oldExists);
        const std::string text = Contents(argv[3], newExists);
        const std::string now = Contents(kov::kConfigFileName, exists);
        if ((!exists && noneBefore) || (exists && (now == text || (!noneBefore && now == old)))) return 0;
        // Torn in place: the old bytes are whole in its journal.
        for (int i = 4; i < argc; ++i)
            if (!noneBefore && JournalHolds(argv[i], old)) return 0;
        std::printf("neither whole: kov.ini %s\n", exists ? ("holds " + std::to_string(now.size()) + " other bytes").c_str()
                                                          : "is gone");
        return 1;
    }
    std::fprintf(stderr, "usage: save_driver save NEW | recover | inspect OLD|- NEW [JOURNAL_FOLDER...]\n");
    return 2;
}
