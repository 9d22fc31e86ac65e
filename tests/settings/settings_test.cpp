// Loading settings into controls and writing user changes back, through a recording panel.
#include <gtest/gtest.h>


#include "recording_panel.h"
#include "settings.h"
#include "settings_table.h"
#include "store_checks.h"

namespace kov {
namespace {

using testing::ChildNames;
using testing::Find;
using testing::ReadText;
using testing::RecordingPanel;
using testing::ValueNames;
using testing::WrittenText;
using Names = std::vector<std::string>;

std::string DefaultFile() { return testing::DefaultFileText(); }

int32_t Stored(ConfigurationStore& store, const char* path, const char* key) {
    return store.GetDword(path, key, -12345);
}

TEST(LoadSettings, MissingFileCreatesEverySettingWithItsDefaultInOrder) {
    ConfigurationStore store;
    RecordingPanel panel;
    EXPECT_EQ(LoadSettings(store, panel), 0);

    EXPECT_EQ(ChildNames(Find(store, "CONFIG_CATEGORY_MACHINE")), (Names{"Audio", "Graphics"}));
    EXPECT_EQ(ChildNames(Find(store, "CONFIG_CATEGORY_MACHINE/Audio")), (Names{"Driver", "Playback", "Effects"}));
    EXPECT_EQ(ValueNames(Find(store, kDriverPath.data())),
              (Names{"driver type", "driver io", "driver irq", "driver dma low", "driver dma hi"}));
    EXPECT_EQ(ValueNames(Find(store, kEffectsPath.data())),
              (Names{"effects chanels", "use reverb     ", "use echo       ", "use hq mixing  "}));
    EXPECT_EQ(WrittenText(store), DefaultFile());

    // Shown: "Autodetection", "port 220", "irq 5", "dma 1", "dma 5", "22050", "8"; boxes on, on, on, off.
    EXPECT_EQ(panel.calls, (Names{"list 1003 0", "list 1004 1", "list 1005 2", "list 1006 1", "list 1007 0",
                                  "list 1010 7", "list 1008 1", "check 1015 1", "check 1014 1", "check 1016 1",
                                  "check 1017 0", "check 1018 1", "check 1019 0"}));
    EXPECT_EQ(ItemsOf(IDC_EFFECT_CHANNELS)[panel.positions[IDC_EFFECT_CHANNELS]], std::string("8"));
}

TEST(LoadSettings, ListsHoldTheirItemsInOrder) {
    const std::map<int32_t, Names> expected = {
        {IDC_SOUND_CARD_TYPE, {"Autodetection                 ", "None", "Sound Blaster", "Sound Blaster 2.0",
                               "Sound Blaster Pro", "Sound Blaster 16"}},
        {IDC_PORT, {"port 210", "port 220", "port 230", "port 240", "port 250", "port 260", "port 270", "port 280"}},
        {IDC_IRQ, {"irq 2", "irq 3", "irq 5", "irq 7", "irq 9", "irq 10"}},
        {IDC_DMA_8BIT, {"dma 0", "dma 1", "dma 3"}},
        {IDC_DMA_16BIT, {"dma 5", "dma 6", "dma 7"}},
        {IDC_PLAYBACK_RATE, {"11025", "22050", "44100"}},
    };
    for (const auto& [control, items] : expected) EXPECT_EQ(Names(ItemsOf(control).begin(), ItemsOf(control).end()), items);
    const auto channels = ItemsOf(IDC_EFFECT_CHANNELS);
    ASSERT_EQ(channels.size(), 32u);
    for (std::size_t i = 0; i < channels.size(); ++i) EXPECT_EQ(channels[i], std::to_string(i + 1));
    EXPECT_EQ(kListItems.size(), 7u);
}

struct MappingCase {
    int32_t control;
    const char* path;
    const char* key;
    int32_t stored;  // loaded: the value in the file
    int32_t shown;   // the list position (-1 none) or the check state shown for it
};

// Stored value to control state, including values outside a list's set.
TEST(Mappings, Load) {
    const MappingCase cases[] = {
        {IDC_SOUND_CARD_TYPE, kDriverPath.data(), "driver type", 0x1FFFF, 0},
        {IDC_SOUND_CARD_TYPE, kDriverPath.data(), "driver type", 0, 1},
        {IDC_SOUND_CARD_TYPE, kDriverPath.data(), "driver type", 0x10000, 2},
        {IDC_SOUND_CARD_TYPE, kDriverPath.data(), "driver type", 0x10001, 3},
        {IDC_SOUND_CARD_TYPE, kDriverPath.data(), "driver type", 0x10002, 4},
        {IDC_SOUND_CARD_TYPE, kDriverPath.data(), "driver type", 0x10003, 5},
        {IDC_SOUND_CARD_TYPE, kDriverPath.data(), "driver type", 0x10004, -1},
        {IDC_SOUND_CARD_TYPE, kDriverPath.data(), "driver type", 2, -1},
        {IDC_PORT, kDriverPath.data(), "driver io", 0x210, 0},
        {IDC_PORT, kDriverPath.data(), "driver io", 0x250, 4},
        {IDC_PORT, kDriverPath.data(), "driver io", 0x25F, 4},
        {IDC_PORT, kDriverPath.data(), "driver io", 0x280, 7},
        {IDC_PORT, kDriverPath.data(), "driver io", 0x200, -1},
        {IDC_PORT, kDriverPath.data(), "driver io", 0x290, -1},
        {IDC_PORT, kDriverPath.data(), "driver io", INT32_MIN, -1},
        {IDC_IRQ, kDriverPath.data(), "driver irq", 2, 0},
        {IDC_IRQ, kDriverPath.data(), "driver irq", 7, 3},
        {IDC_IRQ, kDriverPath.data(), "driver irq", 10, 5},
        {IDC_IRQ, kDriverPath.data(), "driver irq", 4, 4},  // shows "irq 9"
        {IDC_IRQ, kDriverPath.data(), "driver irq", 0, 0},
        {IDC_IRQ, kDriverPath.data(), "driver irq", 11, -1},
        {IDC_DMA_8BIT, kDriverPath.data(), "driver dma low", 0, 0},
        {IDC_DMA_8BIT, kDriverPath.data(), "driver dma low", 3, 2},
        {IDC_DMA_8BIT, kDriverPath.data(), "driver dma low", 2, 2},  // shows "dma 3"
        {IDC_DMA_8BIT, kDriverPath.data(), "driver dma low", 4, -1},
        {IDC_DMA_16BIT, kDriverPath.data(), "driver dma hi", 5, 0},
        {IDC_DMA_16BIT, kDriverPath.data(), "driver dma hi", 7, 2},
        {IDC_DMA_16BIT, kDriverPath.data(), "driver dma hi", 4, -1},
        {IDC_DMA_16BIT, kDriverPath.data(), "driver dma hi", INT32_MIN, -1},
        {IDC_PLAYBACK_RATE, kPlaybackPath.data(), "playback rate", 11025, 0},
        {IDC_PLAYBACK_RATE, kPlaybackPath.data(), "playback rate", 44100, 2},
        {IDC_PLAYBACK_RATE, kPlaybackPath.data(), "playback rate", 2, -1},
        {IDC_EFFECT_CHANNELS, kEffectsPath.data(), "effects chanels", 0, 0},
        {IDC_EFFECT_CHANNELS, kEffectsPath.data(), "effects chanels", 3, 3},
        {IDC_EFFECT_CHANNELS, kEffectsPath.data(), "effects chanels", 12, 12},
        {IDC_EFFECT_CHANNELS, kEffectsPath.data(), "effects chanels", 16, 12},  // both show "13"
        {IDC_EFFECT_CHANNELS, kEffectsPath.data(), "effects chanels", 31, 31},
        {IDC_EFFECT_CHANNELS, kEffectsPath.data(), "effects chanels", 32, -1},
        {IDC_USE_STEREO, kPlaybackPath.data(), "playback channels", 2, 1},
        {IDC_USE_STEREO, kPlaybackPath.data(), "playback channels", 1, 0},
        {IDC_USE_STEREO, kPlaybackPath.data(), "playback channels", 0, 1},  // any non-zero state shows checked
        {IDC_USE_STEREO, kPlaybackPath.data(), "playback channels", INT32_MIN, 1},
        {IDC_USE_REVERB, kEffectsPath.data(), "use reverb     ", 1, 1},
        {IDC_USE_REVERB, kEffectsPath.data(), "use reverb     ", 0, 0},
        {IDC_USE_ECHO, kEffectsPath.data(), "use echo       ", 2, 1},
        {IDC_USE_HQ_MIXING, kEffectsPath.data(), "use hq mixing  ", 1, 1},
        {IDC_SOFTWARE_RENDERING, kGraphicsPath.data(), "rendering device", 0, 1},
        {IDC_GLIDE_RENDERING, kGraphicsPath.data(), "rendering device", 0, 0},
        {IDC_SOFTWARE_RENDERING, kGraphicsPath.data(), "rendering device", 1, 0},
        {IDC_GLIDE_RENDERING, kGraphicsPath.data(), "rendering device", 1, 1},
        {IDC_SOFTWARE_RENDERING, kGraphicsPath.data(), "rendering device", 2, 0},
        {IDC_GLIDE_RENDERING, kGraphicsPath.data(), "rendering device", 2, 1},
    };
    for (const MappingCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.control << " stored " << c.stored);
        ConfigurationStore store;
        store.SetDword(c.path, c.key, c.stored);
        RecordingPanel panel;
        LoadSettings(store, panel);
        const bool isList = FindControl(c.control)->kind == ControlKind::List;
        EXPECT_EQ(isList ? panel.GetListPosition(c.control) : panel.GetCheck(c.control), c.shown);
        EXPECT_EQ(Stored(store, c.path, c.key), c.stored);  // unchanged until the player acts
    }
}

// Control state chosen by the player to the value stored; "shown" is the position or check state.
TEST(Mappings, Write) {
    const MappingCase cases[] = {
        {IDC_SOUND_CARD_TYPE, kDriverPath.data(), "driver type", 0x1FFFF, 0},
        {IDC_SOUND_CARD_TYPE, kDriverPath.data(), "driver type", 0, 1},
        {IDC_SOUND_CARD_TYPE, kDriverPath.data(), "driver type", 0x10000, 2},
        {IDC_SOUND_CARD_TYPE, kDriverPath.data(), "driver type", 0x10001, 3},
        {IDC_SOUND_CARD_TYPE, kDriverPath.data(), "driver type", 0x10002, 4},
        {IDC_SOUND_CARD_TYPE, kDriverPath.data(), "driver type", 0x10003, 5},
        {IDC_PORT, kDriverPath.data(), "driver io", 0x210, 0},
        {IDC_PORT, kDriverPath.data(), "driver io", 0x280, 7},
        {IDC_PORT, kDriverPath.data(), "driver io", 0x200, -1},
        {IDC_IRQ, kDriverPath.data(), "driver irq", 2, 0},
        {IDC_IRQ, kDriverPath.data(), "driver irq", 7, 3},
        {IDC_IRQ, kDriverPath.data(), "driver irq", 10, 5},
        {IDC_IRQ, kDriverPath.data(), "driver irq", -1, -1},
        {IDC_DMA_8BIT, kDriverPath.data(), "driver dma low", 0, 0},
        {IDC_DMA_8BIT, kDriverPath.data(), "driver dma low", 1, 1},
        {IDC_DMA_8BIT, kDriverPath.data(), "driver dma low", 3, 2},
        {IDC_DMA_8BIT, kDriverPath.data(), "driver dma low", -1, -1},
        {IDC_DMA_16BIT, kDriverPath.data(), "driver dma hi", 5, 0},
        {IDC_DMA_16BIT, kDriverPath.data(), "driver dma hi", 7, 2},
        {IDC_DMA_16BIT, kDriverPath.data(), "driver dma hi", 4, -1},
        {IDC_PLAYBACK_RATE, kPlaybackPath.data(), "playback rate", 11025, 0},
        {IDC_PLAYBACK_RATE, kPlaybackPath.data(), "playback rate", 22050, 1},
        {IDC_PLAYBACK_RATE, kPlaybackPath.data(), "playback rate", 44100, 2},
        {IDC_PLAYBACK_RATE, kPlaybackPath.data(), "playback rate", -1, -1},
        {IDC_EFFECT_CHANNELS, kEffectsPath.data(), "effects chanels", 0, 0},
        {IDC_EFFECT_CHANNELS, kEffectsPath.data(), "effects chanels", 3, 3},
        {IDC_EFFECT_CHANNELS, kEffectsPath.data(), "effects chanels", 16, 12},
        {IDC_EFFECT_CHANNELS, kEffectsPath.data(), "effects chanels", 31, 31},
        {IDC_USE_STEREO, kPlaybackPath.data(), "playback channels", 2, 1},
        {IDC_USE_STEREO, kPlaybackPath.data(), "playback channels", 1, 0},
        {IDC_USE_REVERB, kEffectsPath.data(), "use reverb     ", 1, 1},
        {IDC_USE_REVERB, kEffectsPath.data(), "use reverb     ", 0, 0},
        {IDC_USE_ECHO, kEffectsPath.data(), "use echo       ", 1, 1},
        {IDC_USE_ECHO, kEffectsPath.data(), "use echo       ", 0, 0},
        {IDC_USE_HQ_MIXING, kEffectsPath.data(), "use hq mixing  ", 1, 1},
        {IDC_USE_HQ_MIXING, kEffectsPath.data(), "use hq mixing  ", 0, 0},
        {IDC_SOFTWARE_RENDERING, kGraphicsPath.data(), "rendering device", 0, 1},
        {IDC_SOFTWARE_RENDERING, kGraphicsPath.data(), "rendering device", 1, 0},
        {IDC_GLIDE_RENDERING, kGraphicsPath.data(), "rendering device", 1, 1},
        {IDC_GLIDE_RENDERING, kGraphicsPath.data(), "rendering device", 0, 0},
    };
    for (const MappingCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.control << " state " << c.shown);
        ConfigurationStore store;
        RecordingPanel panel;
        LoadSettings(store, panel);
        if (FindControl(c.control)->kind == ControlKind::List)
            panel.positions[c.control] = c.shown;
        else
            panel.checks[c.control] = c.shown;
        OnUserChange(store, panel, c.control);
        EXPECT_EQ(Stored(store, c.path, c.key), c.stored);
    }
}

TEST(Mappings, ChoicesComeBackAtTheNextOpening) {
    const struct {
        int32_t control;
        int32_t position;
    } choices[] = {{IDC_EFFECT_CHANNELS, 12}, {IDC_EFFECT_CHANNELS, 3}, {IDC_DMA_8BIT, 2},
                   {IDC_PORT, 7},             {IDC_IRQ, 3},             {IDC_SOUND_CARD_TYPE, 4}};
    for (const auto& choice : choices) {
        ConfigurationStore store;
        RecordingPanel panel;
        LoadSettings(store, panel);
        panel.UserPicks(store, choice.control, choice.position);
        ConfigurationStore reopened;
        ReadText(reopened, WrittenText(store));
        RecordingPanel again;
        LoadSettings(reopened, again);
        EXPECT_EQ(again.GetListPosition(choice.control), choice.position) << choice.control;
    }
}

TEST(Mappings, SoundCardOutsideTheListStoresNothing) {
    for (int32_t p : {-1, 6, 100}) {
        ConfigurationStore store;
        store.SetDword(kDriverPath.data(), "driver type", 0x10002);
        StoreSoundCardType(store, p);
        EXPECT_EQ(Stored(store, kDriverPath.data(), "driver type"), 0x10002) << p;
    }
}

TEST(UserChange, OtherIdentifiersChangeNothing) {
    ConfigurationStore store;
    RecordingPanel panel;
    LoadSettings(store, panel);
    const std::string before = WrittenText(store);
    panel.calls.clear();
    for (int32_t control : {0, 1, 2, 1009, 1011, 1013, 1020, -1}) OnUserChange(store, panel, control);
    EXPECT_EQ(WrittenText(store), before);
    EXPECT_TRUE(panel.calls.empty());
}

TEST(UserChange, ChangesReachTheWrittenFile) {
    ConfigurationStore store;
    RecordingPanel panel;
    LoadSettings(store, panel);
    panel.UserPicks(store, IDC_IRQ, 3);            // "irq 7"
    panel.UserPicks(store, IDC_PLAYBACK_RATE, 2);  // "44100"
    panel.UserClicks(store, IDC_USE_STEREO);       // off
    panel.UserClicks(store, IDC_USE_HQ_MIXING);    // on
    panel.UserClicks(store, IDC_GLIDE_RENDERING);
    std::string expected = DefaultFile();
    for (const auto& [from, to] : std::map<std::string, std::string>{
             {"\"driver irq\"=dword:00000005", "\"driver irq\"=dword:00000007"},
             {"\"playback rate\"=dword:00005622", "\"playback rate\"=dword:0000ac44"},
             {"\"playback channels\"=dword:00000002", "\"playback channels\"=dword:00000001"},
             {"\"use hq mixing  \"=dword:00000000", "\"use hq mixing  \"=dword:00000001"},
             {"\"rendering device\"=dword:00000000", "\"rendering device\"=dword:00000001"}})
        expected.replace(expected.find(from), from.size(), to);
    EXPECT_EQ(WrittenText(store), expected);

    panel.UserClicks(store, IDC_SOFTWARE_RENDERING);
    EXPECT_EQ(Stored(store, kGraphicsPath.data(), "rendering device"), 0);
    panel.UserClicks(store, IDC_USE_STEREO);
    EXPECT_EQ(Stored(store, kPlaybackPath.data(), "playback channels"), 2);
}

TEST(UserChange, LoadingStoresNothingForOddValuesUntilThePlayerActs) {
    ConfigurationStore store;
    ReadText(store, "[/CONFIG_CATEGORY_MACHINE/Audio/Playback]\n\"playback channels\"=dword:00000005\n");
    RecordingPanel panel;
    LoadSettings(store, panel);
    EXPECT_EQ(panel.GetCheck(IDC_USE_STEREO), 1);
    EXPECT_EQ(Stored(store, kPlaybackPath.data(), "playback channels"), 5);
    panel.UserClicks(store, IDC_USE_STEREO);
    EXPECT_EQ(Stored(store, kPlaybackPath.data(), "playback channels"), 1);
}

}  // namespace
}  // namespace kov
