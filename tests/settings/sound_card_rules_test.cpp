// Which audio controls the sound-card choice enables, at opening and after a change.
#include <gtest/gtest.h>

#include "recording_panel.h"
#include "settings.h"
#include "settings_table.h"
#include "store_checks.h"

namespace kov {
namespace {

using testing::RecordingPanel;
using testing::WrittenText;
using Names = std::vector<std::string>;
using Controls = std::set<int32_t>;

const Controls kHardware = {IDC_PORT, IDC_IRQ, IDC_DMA_8BIT, IDC_DMA_16BIT};
const Controls kBoth = {IDC_PORT,           IDC_IRQ,           IDC_DMA_8BIT,   IDC_DMA_16BIT,
                        IDC_EFFECT_CHANNELS, IDC_PLAYBACK_RATE, IDC_USE_STEREO, IDC_USE_REVERB,
                        IDC_USE_ECHO,        IDC_USE_HQ_MIXING};
const Controls kDma16 = {IDC_DMA_16BIT};

TEST(SoundCardRules, DisabledControlsForEveryPosition) {
    const struct {
        int32_t position;
        Controls atOpening;
        Controls afterChange;
    } cases[] = {
        {-1, kDma16, kDma16},       {0, kBoth, kHardware},    {1, kHardware, kBoth},   {2, kDma16, kDma16},
        {3, kDma16, kDma16},        {4, kDma16, kDma16},      {5, {}, {}},             {6, kDma16, kDma16},
        {-7, kDma16, kDma16},
    };
    for (const auto& c : cases) {
        RecordingPanel opened;
        ApplyOpeningRules(opened, c.position);
        EXPECT_EQ(opened.disabled, c.atOpening) << "opening at " << c.position;

        // A change starts from whatever the previous choice left disabled.
        for (int32_t before : {0, 1, 5}) {
            RecordingPanel changed;
            ApplyOpeningRules(changed, before);
            ApplyChangeRules(changed, c.position);
            EXPECT_EQ(changed.disabled, c.afterChange) << "change to " << c.position << " from " << before;
        }
    }
}

TEST(SoundCardRules, ControlsAreSetInTheirOrder) {
    RecordingPanel opening;
    ApplyOpeningRules(opening, 0);
    EXPECT_EQ(opening.calls, (Names{"disable 1007", "disable 1004", "disable 1005", "disable 1006", "disable 1007",
                                    "disable 1010", "disable 1008", "disable 1015", "disable 1014", "disable 1016",
                                    "disable 1017"}));
    RecordingPanel sixteen;
    ApplyOpeningRules(sixteen, 5);
    EXPECT_EQ(sixteen.calls, Names{"enable 1007"});

    RecordingPanel change;
    ApplyChangeRules(change, 1);
    EXPECT_EQ(change.calls, (Names{"enable 1004",  "enable 1005",  "enable 1006",  "enable 1007",  "enable 1010",
                                   "enable 1008",  "enable 1015",  "enable 1014",  "enable 1016",  "enable 1017",
                                   "disable 1007", "disable 1004", "disable 1005", "disable 1006", "disable 1007",
                                   "disable 1008", "disable 1015", "disable 1014", "disable 1016", "disable 1017",
                                   "disable 1010"}));
}

TEST(SoundCardRules, ChangeAppliesRulesStoresTheTypeAndRedraws) {
    ConfigurationStore store;
    RecordingPanel panel;
    ApplyOpeningRules(panel, LoadSettings(store, panel));
    panel.calls.clear();
    panel.UserPicks(store, IDC_SOUND_CARD_TYPE, 4);  // "Sound Blaster Pro"
    EXPECT_EQ(panel.disabled, kDma16);
    EXPECT_EQ(panel.redraws, 1);
    EXPECT_EQ(panel.calls.back(), "redraw");
    EXPECT_EQ(store.GetDword(kDriverPath.data(), "driver type", 0), 0x10002);
}

TEST(SoundCardRules, PlayerJourneys) {
    {
        SCOPED_TRACE("opened on Autodetection");
        ConfigurationStore store;
        RecordingPanel panel;
        ApplyOpeningRules(panel, LoadSettings(store, panel));
        EXPECT_EQ(panel.disabled, kBoth);
        panel.UserPicks(store, IDC_SOUND_CARD_TYPE, 2);
        panel.UserPicks(store, IDC_SOUND_CARD_TYPE, 0);
        EXPECT_EQ(panel.disabled, kHardware);
    }
    {
        SCOPED_TRACE("opened on None");
        ConfigurationStore store;
        store.SetDword(kDriverPath.data(), "driver type", 0);
        RecordingPanel panel;
        ApplyOpeningRules(panel, LoadSettings(store, panel));
        EXPECT_EQ(panel.disabled, kHardware);
        panel.UserPicks(store, IDC_SOUND_CARD_TYPE, 3);
        panel.UserPicks(store, IDC_SOUND_CARD_TYPE, 1);
        EXPECT_EQ(panel.disabled, kBoth);
        panel.UserPicks(store, IDC_SOUND_CARD_TYPE, 5);
        EXPECT_TRUE(panel.disabled.empty());
        EXPECT_EQ(store.GetDword(kDriverPath.data(), "driver type", 0), 0x10003);
    }
    {
        SCOPED_TRACE("unknown stored type");
        ConfigurationStore store;
        store.SetDword(kDriverPath.data(), "driver type", 42);
        RecordingPanel panel;
        const int32_t p = LoadSettings(store, panel);
        EXPECT_EQ(p, -1);
        ApplyOpeningRules(panel, p);
        EXPECT_EQ(panel.disabled, kDma16);
        OnUserChange(store, panel, IDC_SOUND_CARD_TYPE);  // nothing selected: nothing stored
        EXPECT_EQ(store.GetDword(kDriverPath.data(), "driver type", 0), 42);
    }
}

TEST(SoundCardRules, DisabledControlsKeepTheirValuesThroughASave) {
    ConfigurationStore store;
    store.SetDword(kDriverPath.data(), "driver irq", 7);
    store.SetDword(kEffectsPath.data(), "effects chanels", 16);
    RecordingPanel panel;
    ApplyOpeningRules(panel, LoadSettings(store, panel));
    panel.UserPicks(store, IDC_SOUND_CARD_TYPE, 1);  // "None" disables both groups
    ASSERT_EQ(panel.disabled, kBoth);
    const std::string text = WrittenText(store);
    EXPECT_NE(text.find("\"driver irq\"=dword:00000007\n"), std::string::npos);
    EXPECT_NE(text.find("\"effects chanels\"=dword:00000010\n"), std::string::npos);
    EXPECT_NE(text.find("\"driver type\"=dword:00000000\n"), std::string::npos);
}

}  // namespace
}  // namespace kov
