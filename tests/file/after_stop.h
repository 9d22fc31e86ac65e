// What must hold after a save was stopped at any instant, checked one way for every test that
// stops one: the in-process driver (stop_driver.h) calls it, and the tests that kill the real
// program or cut the power under it (stop_checks.sh) run it through save_driver's "after-stop".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "file_contents.h"
#include "journal.h"

namespace kov::testing {

// The names in a folder but kov.ini and a second link.
inline std::vector<std::string> LeftIn(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored))
        if (entry.path().filename() != "kov.ini" && entry.path().filename() != "second")
            names.push_back(entry.path().filename().string());
    return names;
}

// After a save of text over old (none: no file before) in folder was stopped: the old or the new
// bytes are whole on disk (in kov.ini, or in a journal in folder or state); after the next start
// (recover, false when it could not finish) kov.ini holds exactly one of them, a second link the
// same, and nothing of the program's is left in folder or state. What is wrong; "" when nothing.
inline std::string AfterStop(const fs::path& folder, const fs::path& state, const std::optional<std::string>& old,
                             const std::string& text, const std::function<bool()>& recover) {
    const fs::path kov = folder / "kov.ini";
    const auto oldOrNew = [&] { return Contents(kov) == text || (old ? Contents(kov) == *old : !fs::exists(kov)); };
    bool journaled = false;
    std::error_code ignored;
    for (const fs::path& place : {folder, state})
        for (const auto& entry : fs::recursive_directory_iterator(place, ignored))
            if (const auto journal = detail::DecodeJournal(Contents(entry.path())); journal && journal->oldBytes == old)
                journaled = true;
    if (!oldOrNew() && !journaled) return "neither the old nor the new bytes are whole on disk";
    if (!recover()) return "the next start could not finish";
    if (!oldOrNew()) return "after the next start kov.ini is neither old nor new";
    if (fs::exists(folder / "second") && Contents(folder / "second") != Contents(kov)) return "the links parted";
    for (const fs::path& place : {folder, state})
        if (const std::vector<std::string> left = LeftIn(place); !left.empty()) return "left in " + place.string() + ": " + left[0];
    return {};
}

}  // namespace kov::testing
