// Fuzzes the settings logic: any bytes as kov.ini, then player changes decoded from the input,
// then a save. Reading the saved text back must show the same controls.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "configuration_store.h"
#include "recording_panel.h"
#include "settings.h"
#include "settings_table.h"
#include "tree_invariants.h"

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "settings_fuzzer: %s\n", what.c_str());
    std::abort();
}

}  // namespace

// Input: two bytes giving the file's length, the file, then two bytes per player action
// (which control, and which item or whether to click).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using kov::testing::RecordingPanel;
    if (size < 2) return 0;
    const size_t fileSize = std::min<size_t>((size_t{data[0]} << 8 | data[1]), size - 2);
    const uint8_t* file = data + 2;
    const uint8_t* actions = file + fileSize;
    const size_t actionBytes = size - 2 - fileSize;

    kov::ConfigurationStore store;
    store.ReadFromString(reinterpret_cast<const char*>(file), fileSize);
    RecordingPanel panel;
    kov::ApplyOpeningRules(panel, kov::LoadSettings(store, panel));

    for (size_t i = 0; i + 1 < actionBytes; i += 2) {
        const kov::ControlBinding& binding = kov::kControls[actions[i] % kov::kControls.size()];
        if (binding.kind == kov::ControlKind::List) {
            // A player picks one of the list's items; a list cannot be emptied by hand.
            const auto count = static_cast<uint32_t>(kov::ItemsOf(binding.control).size());
            panel.UserPicks(store, binding.control, static_cast<int32_t>(actions[i + 1] % count));
        } else {
            panel.UserClicks(store, binding.control);
        }
    }
    if (const std::string problem = kov::testing::TreeProblem(store); !problem.empty()) Fail(problem);

    const std::string saved = store.WriteToString();
    kov::ConfigurationStore reopened;
    reopened.ReadFromString(saved.data(), saved.size());
    RecordingPanel shown;
    kov::LoadSettings(reopened, shown);
    for (const kov::ControlBinding& binding : kov::kControls) {
        const int32_t id = binding.control;
        int32_t expected = panel.GetListPosition(id);
        // The items "13" and "17" both store 16, which shows as "13": the game's files rely on it.
        if (id == kov::IDC_EFFECT_CHANNELS && expected == 16) expected = 12;
        const bool same = binding.kind == kov::ControlKind::List
                              ? expected == shown.GetListPosition(id)
                              : (panel.GetCheck(id) != 0) == (shown.GetCheck(id) != 0);
        if (!same) Fail("control " + std::to_string(id) + " shows otherwise after saving and reopening");
    }
    return 0;
}
