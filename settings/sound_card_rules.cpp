// Which audio controls can be used for the chosen sound card, at opening and after a change.
#include <array>

#include "settings.h"

namespace kov {

namespace {

constexpr int32_t kSoundBlaster16 = 5;
constexpr int32_t kAutodetection = 0;
constexpr int32_t kNoSoundCard = 1;

constexpr std::array<int32_t, 4> kHardwareGroup = {IDC_PORT, IDC_IRQ, IDC_DMA_8BIT, IDC_DMA_16BIT};
constexpr std::array<int32_t, 10> kBothGroups = {IDC_PORT,          IDC_IRQ,        IDC_DMA_8BIT,   IDC_DMA_16BIT,
                                                 IDC_EFFECT_CHANNELS, IDC_PLAYBACK_RATE, IDC_USE_STEREO,
                                                 IDC_USE_REVERB,    IDC_USE_ECHO,   IDC_USE_HQ_MIXING};
// The playback and effects group, in the order each rule set disables it.
constexpr std::array<int32_t, 6> kPlaybackGroupAtOpening = {IDC_EFFECT_CHANNELS, IDC_PLAYBACK_RATE, IDC_USE_STEREO,
                                                            IDC_USE_REVERB,      IDC_USE_ECHO,      IDC_USE_HQ_MIXING};
constexpr std::array<int32_t, 6> kPlaybackGroupAfterChange = {IDC_PLAYBACK_RATE, IDC_USE_STEREO,    IDC_USE_REVERB,
                                                              IDC_USE_ECHO,      IDC_USE_HQ_MIXING, IDC_EFFECT_CHANNELS};

template <std::size_t N>
void SetEnabled(SettingsPanel& panel, const std::array<int32_t, N>& controls, bool enabled) {
    for (int32_t control : controls) panel.SetEnabled(control, enabled);
}

// Both rule sets start alike: only the 16-bit card keeps the 16-bit DMA list, and with no
// real card chosen the hardware settings do not apply. They differ in when the playback
// and effects group goes too.
bool ApplyHardwareRules(SettingsPanel& panel, int32_t p) {
    if (p == kSoundBlaster16) {
        panel.SetEnabled(IDC_DMA_16BIT, true);
        return false;
    }
    panel.SetEnabled(IDC_DMA_16BIT, false);
    if (p == kAutodetection || p == kNoSoundCard) SetEnabled(panel, kHardwareGroup, false);
    return true;
}

}  // namespace

void ApplyOpeningRules(SettingsPanel& panel, int32_t p) {
    if (ApplyHardwareRules(panel, p) && p == kAutodetection) SetEnabled(panel, kPlaybackGroupAtOpening, false);
}

void ApplyChangeRules(SettingsPanel& panel, int32_t p) {
    SetEnabled(panel, kBothGroups, true);
    if (ApplyHardwareRules(panel, p) && p == kNoSoundCard) SetEnabled(panel, kPlaybackGroupAfterChange, false);
}

void OnSoundCardTypeChanged(ConfigurationStore& store, SettingsPanel& panel) {
    const int32_t p = panel.GetListPosition(IDC_SOUND_CARD_TYPE);
    ApplyChangeRules(panel, p);
    StoreSoundCardType(store, p);
    panel.Redraw();
}

}  // namespace kov
