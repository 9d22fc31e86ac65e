// A SettingsPanel double that behaves like the real lists and buttons and records every call.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "settings.h"
#include "settings_table.h"

namespace kov::testing {

class RecordingPanel : public SettingsPanel {
public:
    void SetListPosition(int32_t control, int32_t position) override {
        const auto count = static_cast<int32_t>(ItemsOf(control).size());
        positions[control] = position >= 0 && position < count ? position : -1;
        calls.push_back("list " + std::to_string(control) + " " + std::to_string(position));
    }
    int32_t GetListPosition(int32_t control) override {
        const auto found = positions.find(control);
        return found != positions.end() ? found->second : -1;
    }
    void SetCheck(int32_t control, int32_t state) override {
        checks[control] = state;
        calls.push_back("check " + std::to_string(control) + " " + std::to_string(state));
    }
    int32_t GetCheck(int32_t control) override { return checks[control]; }
    void SetEnabled(int32_t control, bool enabled) override {
        (enabled ? disabled.erase(control) : disabled.insert(control).second);
        calls.push_back((enabled ? "enable " : "disable ") + std::to_string(control));
    }
    void Redraw() override {
        ++redraws;
        calls.push_back("redraw");
    }

    // What a player does: the control changes, then the dialog reports it.
    void UserPicks(ConfigurationStore& store, int32_t control, int32_t position) {
        positions[control] = position;
        OnUserChange(store, *this, control);
    }
    void UserClicks(ConfigurationStore& store, int32_t control) {
        if (control == IDC_SOFTWARE_RENDERING || control == IDC_GLIDE_RENDERING) {
            checks[IDC_SOFTWARE_RENDERING] = control == IDC_SOFTWARE_RENDERING;
            checks[IDC_GLIDE_RENDERING] = control == IDC_GLIDE_RENDERING;
        } else {
            checks[control] = checks[control] != 0 ? 0 : 1;
        }
        OnUserChange(store, *this, control);
    }

    std::map<int32_t, int32_t> positions;
    std::map<int32_t, int32_t> checks;
    std::set<int32_t> disabled;
    int redraws = 0;
    std::vector<std::string> calls;
};

}  // namespace kov::testing
