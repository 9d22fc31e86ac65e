// The settings table's data.
#include "settings_table.h"

#include <algorithm>

#include "catalogue.h"

namespace kov {

namespace {

// The lists' words are marked for the catalogue and shown in the player's language; the
// numbers-only lists are not.
// TRANSLATORS: items of the sound card type list; each must fit a list about 18 characters wide.
constexpr const char* kSoundCardItems[] = {N_("Autodetection                 "), N_("None"), N_("Sound Blaster"),
                                           N_("Sound Blaster 2.0"), N_("Sound Blaster Pro"), N_("Sound Blaster 16")};
// TRANSLATORS: items of the sound card port list (hexadecimal addresses).
constexpr const char* kPortItems[] = {N_("port 210"), N_("port 220"), N_("port 230"), N_("port 240"),
                                      N_("port 250"), N_("port 260"), N_("port 270"), N_("port 280")};
// TRANSLATORS: items of the sound card interrupt (IRQ) list.
constexpr const char* kIrqItems[] = {N_("irq 2"), N_("irq 3"), N_("irq 5"), N_("irq 7"), N_("irq 9"), N_("irq 10")};
// TRANSLATORS: items of the DMA channel lists.
constexpr const char* kDma8Items[] = {N_("dma 0"), N_("dma 1"), N_("dma 3")};
constexpr const char* kDma16Items[] = {N_("dma 5"), N_("dma 6"), N_("dma 7")};
constexpr const char* kPlaybackRateItems[] = {"11025", "22050", "44100"};
constexpr const char* kEffectChannelItems[] = {"1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11",
                                               "12", "13", "14", "15", "16", "17", "18", "19", "20", "21", "22",
                                               "23", "24", "25", "26", "27", "28", "29", "30", "31", "32"};

enum SettingIndex : std::size_t {
    kDriverType,
    kDriverIo,
    kDriverIrq,
    kDriverDmaLow,
    kDriverDmaHi,
    kPlaybackRate,
    kPlaybackChannels,
    kEffectChannels,
    kUseReverb,
    kUseEcho,
    kUseHqMixing,
    kRenderingDevice,
};

}  // namespace

const std::array<ListItems, 7> kListItems = {{
    {IDC_SOUND_CARD_TYPE, kSoundCardItems},
    {IDC_PORT, kPortItems},
    {IDC_IRQ, kIrqItems},
    {IDC_DMA_8BIT, kDma8Items},
    {IDC_DMA_16BIT, kDma16Items},
    {IDC_PLAYBACK_RATE, kPlaybackRateItems},
    {IDC_EFFECT_CHANNELS, kEffectChannelItems},
}};

const std::array<Setting, 12> kSettings = {{
    {kDriverPath.data(), "driver type", 0x1FFFF},
    {kDriverPath.data(), "driver io", 0x220},
    {kDriverPath.data(), "driver irq", 5},
    {kDriverPath.data(), "driver dma low", 1},
    {kDriverPath.data(), "driver dma hi", 5},
    {kPlaybackPath.data(), "playback rate", 22050},
    {kPlaybackPath.data(), "playback channels", 2},
    {kEffectsPath.data(), "effects chanels", 7},
    {kEffectsPath.data(), "use reverb     ", 1},
    {kEffectsPath.data(), "use echo       ", 1},
    {kEffectsPath.data(), "use hq mixing  ", 0},
    {kGraphicsPath.data(), "rendering device", 0},
}};

const std::array<ControlBinding, 13> kControls = {{
    {IDC_SOUND_CARD_TYPE, ControlKind::List, kDriverType, SoundCardPositionFromType, SoundCardTypeFromPosition},
    {IDC_PORT, ControlKind::List, kDriverIo, PortPosition, PortValue},
    {IDC_IRQ, ControlKind::List, kDriverIrq, IrqPosition, IrqValue},
    {IDC_DMA_8BIT, ControlKind::List, kDriverDmaLow, Dma8Position, Dma8Value},
    {IDC_DMA_16BIT, ControlKind::List, kDriverDmaHi, Dma16Position, Dma16Value},
    {IDC_EFFECT_CHANNELS, ControlKind::List, kEffectChannels, EffectChannelsPosition, EffectChannelsValue},
    {IDC_PLAYBACK_RATE, ControlKind::List, kPlaybackRate, PlaybackRatePosition, PlaybackRateValue},
    {IDC_USE_STEREO, ControlKind::Check, kPlaybackChannels, StereoCheck, StereoValue},
    {IDC_USE_REVERB, ControlKind::Check, kUseReverb, SwitchCheck, SwitchValue},
    {IDC_USE_ECHO, ControlKind::Check, kUseEcho, SwitchCheck, SwitchValue},
    {IDC_USE_HQ_MIXING, ControlKind::Check, kUseHqMixing, SwitchCheck, SwitchValue},
    {IDC_SOFTWARE_RENDERING, ControlKind::Check, kRenderingDevice, SoftwareRenderingCheck, SoftwareRenderingValue},
    {IDC_GLIDE_RENDERING, ControlKind::Check, kRenderingDevice, SwitchCheck, SwitchValue},
}};

const ControlBinding* FindControl(int32_t control) {
    const auto found = std::find_if(kControls.begin(), kControls.end(),
                                    [control](const ControlBinding& b) { return b.control == control; });
    return found != kControls.end() ? &*found : nullptr;
}

std::span<const char* const> ItemsOf(int32_t control) {
    for (const ListItems& list : kListItems)
        if (list.control == control) return list.items;
    return {};
}

}  // namespace kov
