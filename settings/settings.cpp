// Loading the settings into the controls and writing user changes back.
#include "settings.h"

#include "settings_table.h"

namespace kov {

namespace {

void Store(ConfigurationStore& store, const ControlBinding& binding, int32_t state) {
    const Setting& setting = kSettings[binding.setting];
    if (const auto value = binding.write(state)) store.SetDword(setting.path, setting.key, *value);
}

}  // namespace

int32_t LoadSettings(ConfigurationStore& store, SettingsPanel& panel) {
    std::array<int32_t, kSettings.size()> stored{};
    for (std::size_t i = 0; i < kSettings.size(); ++i)
        stored[i] = store.GetDword(kSettings[i].path, kSettings[i].key, kSettings[i].defaultValue);

    int32_t soundCardPosition = -1;
    for (const ControlBinding& binding : kControls) {
        const int32_t state = binding.load(stored[binding.setting]);
        if (binding.kind == ControlKind::List)
            panel.SetListPosition(binding.control, state);
        else
            panel.SetCheck(binding.control, state != 0 ? 1 : 0);  // any non-zero state shows checked
        if (binding.control == IDC_SOUND_CARD_TYPE) soundCardPosition = state;
    }
    return soundCardPosition;
}

void OnUserChange(ConfigurationStore& store, SettingsPanel& panel, int32_t control) {
    if (control == IDC_SOUND_CARD_TYPE) {
        OnSoundCardTypeChanged(store, panel);
        return;
    }
    const ControlBinding* binding = FindControl(control);
    if (binding == nullptr) return;
    const int32_t state = binding->kind == ControlKind::List ? panel.GetListPosition(control)
                                                             : (panel.GetCheck(control) != 0 ? 1 : 0);
    Store(store, *binding, state);
}

void StoreSoundCardType(ConfigurationStore& store, int32_t p) { Store(store, *FindControl(IDC_SOUND_CARD_TYPE), p); }

}  // namespace kov
