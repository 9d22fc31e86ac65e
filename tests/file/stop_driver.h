// Stops the real save before each of its calls in turn, as a kill would, through the layer that
// fails or stops at any primitive, and checks what each stop left (after_stop.h). One driver for
// every platform and file system.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config_file.h"
#include "faults.h"
#include "after_stop.h"
#include "file_test_support.h"

namespace kov::testing {

struct StopScenario {
    const char* what;
    bool oldFile;     // false: no file before
    bool growing;     // from the small text to the large one, or back
    bool linked;      // a second hard link: written in place
    bool noNewFiles;  // the folder takes no new file: in place, the journal in the player's own folder
};

inline constexpr StopScenario kStopScenarios[] = {
    {"an ordinary file, replaced", true, true, false, false},
    {"a second hard link, growing", true, true, true, false},
    {"a second hard link, shrinking", true, false, true, false},
    {"no file before", false, true, false, false},
    {"a folder that takes no new file", true, true, false, true},
};

inline std::string StopText(bool large) {
    if (!large) return "[]\n\n[/CONFIG_CATEGORY_USER]\n\"mine\"=dword:00000001\n\n";
    std::string text = "[]\n\n[/CONFIG_CATEGORY_MACHINE/Audio/Driver]\n";
    for (int i = 1; i <= 40; ++i) text += "\"value " + std::to_string(i) + "\"=dword:0000000" + std::to_string(i % 10) + "\n";
    return text;
}

// False once a stop left what it must not (the failures say what and where).
inline bool ExpectEveryStopRecovers(FaultyFileSystem& faulty, const StopScenario& c, const fs::path& folder,
                                    const fs::path& state) {
    const std::string oldText = StopText(!c.growing), newText = StopText(c.growing);
    const std::optional<std::string> old = c.oldFile ? std::optional(OnDisk(oldText)) : std::nullopt;
    const std::string text = OnDisk(newText);
    // New files in the game's folder: temporary files, the journal beside kov.ini, an unnamed file.
    const auto inGameFolder = [](const std::string& name) {
        return name.find(".kov.ini.") != std::string::npos || name.ends_with("/") || name.ends_with("\\");
    };
    for (long n = 1;; ++n) {
        SCOPED_TRACE(std::string(c.what) + ", stopped before call " + std::to_string(n));
        for (const auto& entry : fs::directory_iterator(folder)) RemoveTree(entry.path());
        RemoveTree(state);
        if (old) Write(folder / "kov.ini", *old);
        if (c.linked) fs::create_hard_link(folder / "kov.ini", folder / "second");
        if (c.noNewFiles) faulty.Fail(Step::Open, FailureOf(Fault::AccessDenied), 0, -1, inGameFolder);
        {
            ConfigFile file(faulty);
            ConfigurationStore store;
            file.Recover();
            file.Read(store);
            faulty.StopAt(faulty.calls() + n);
            file.Save(newText, [] { return true; });
        }
        const bool stopped = faulty.stopped();
        faulty.Clear();
        if (!stopped) {
            EXPECT_EQ(Contents(folder / "kov.ini"), text) << "the save that ran to its end";
            return !::testing::Test::HasFailure();
        }
        EXPECT_EQ(AfterStop(folder, state, old, text, [] { return !ConfigFile().Recover().failure; }), "");
        if (::testing::Test::HasFailure()) return false;  // one stop's account is enough
    }
}

}  // namespace kov::testing
