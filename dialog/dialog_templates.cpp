// The settings dialog and the About box as data.
#include "catalogue.h"
#include "control_ids.h"
#include "dialog_template.h"

namespace kov {

namespace {

using T = ControlType;
constexpr bool kTab = true;
constexpr bool kNoTab = false;
constexpr bool kGroup = true;
constexpr bool kNoGroup = false;

// TRANSLATORS: the settings dialog. Each text must fit its control as the dialog draws it: about
// as many characters as the English has without its trailing blanks (a label above a list may
// take a few more; "Channels" no more than 10). A list's label is also its name to screen readers.
constexpr const char* kSoundCardTypeLabel = N_("Sound card type     ");
constexpr const char* kPortLabel = N_("Sound card port number      ");
constexpr const char* kIrqLabel = N_("Sound card IRQ number            ");
constexpr const char* kDma8Label = N_("8bit DMA channel     ");
constexpr const char* kDma16Label = N_("16bit DMA channel     ");
constexpr const char* kPlaybackRateLabel = N_("Playback rate            ");
constexpr const char* kEffectChannelsLabel = N_("Channels     ");

constexpr ControlTemplate kConfigControls[] = {
    {IDOK, T::DefaultPushButton, {251, 97, 97, 14}, N_("OK"), kTab, kNoGroup},
    {IDCANCEL, T::PushButton, {251, 123, 97, 14}, N_("Cancel"), kTab, kNoGroup},
    {IDC_SOUND_CARD_TYPE, T::DropDownList, {29, 28, 87, 48}, "", kTab, kNoGroup},
    {IDC_PORT, T::DropDownList, {29, 61, 87, 49}, "", kTab, kNoGroup},
    {IDC_STATIC, T::StaticText, {37, 18, 69, 8}, kSoundCardTypeLabel, kNoTab, kGroup},
    {IDC_STATIC, T::StaticText, {25, 49, 96, 8}, kPortLabel, kNoTab, kGroup},
    {IDC_IRQ, T::DropDownList, {29, 93, 87, 49}, "", kTab, kNoGroup},
    {IDC_STATIC, T::StaticText, {18, 82, 114, 8}, kIrqLabel, kNoTab, kGroup},
    {IDC_STATIC, T::StaticText, {33, 113, 78, 8}, kDma8Label, kNoTab, kGroup},
    {IDC_DMA_8BIT, T::DropDownList, {29, 125, 87, 49}, "", kTab, kNoGroup},
    {IDC_STATIC, T::StaticText, {31, 146, 82, 8}, kDma16Label, kNoTab, kGroup},
    {IDC_DMA_16BIT, T::DropDownList, {29, 158, 87, 45}, "", kTab, kNoGroup},
    {IDC_PLAYBACK_RATE, T::DropDownList, {146, 28, 87, 49}, "", kTab, kNoGroup},
    {IDC_STATIC, T::StaticText, {147, 18, 84, 8}, kPlaybackRateLabel, kNoTab, kGroup},
    {IDC_EFFECT_CHANNELS, T::DropDownList, {146, 61, 87, 63}, "", kTab, kNoGroup},
    {IDC_STATIC, T::StaticText, {166, 49, 46, 8}, kEffectChannelsLabel, kNoTab, kGroup},
    {IDC_USE_REVERB, T::CheckBox, {146, 113, 79, 10}, N_("Use Reverb        "), kTab, kNoGroup},
    {IDC_USE_STEREO, T::CheckBox, {146, 94, 77, 10}, N_("Use Stereo        "), kTab, kNoGroup},
    {IDC_USE_ECHO, T::CheckBox, {146, 131, 73, 10}, N_("Use Echo        "), kTab, kNoGroup},
    {IDC_USE_HQ_MIXING, T::CheckBox, {146, 149, 93, 10}, N_("Use high quality mixing"), kTab, kNoGroup},
    {IDC_SOFTWARE_RENDERING, T::RadioButton, {256, 23, 89, 10}, N_("Software rendering  "), kNoTab, kNoGroup},
    {IDC_GLIDE_RENDERING, T::RadioButton, {256, 44, 83, 10}, N_("3DFX Voodoo (Glide)"), kNoTab, kNoGroup},
    {IDC_STATIC, T::GroupBox, {249, 6, 100, 59}, N_("3D Gfx    "), kNoTab, kNoGroup},
    {IDC_STATIC, T::GroupBox, {12, 6, 124, 176}, N_("Sound card     "), kNoTab, kNoGroup},
    {IDC_STATIC, T::GroupBox, {139, 6, 106, 176}, N_("Sound effects   "), kNoTab, kNoGroup},
};

// The file line, below the rest, names the file the dialog edits (its folder's kov.ini, a
// KOV.INI, or the copy Windows keeps for a game under Program Files), shortened in the middle
// where it does not fit.
constexpr ControlTemplate kAboutControls[] = {
    {IDC_STATIC, T::Icon, {16, 18, 20, 20}, "", kNoTab, kNoGroup},
    // TRANSLATORS: the About box; {version} is the program's version number.
    {IDC_STATIC, T::StaticText, {80, 29, 65, 8}, N_("Version {version}"), kNoTab, kNoGroup},
    {IDOK, T::DefaultPushButton, {161, 20, 50, 14}, N_("OK"), kTab, kGroup},
    {IDC_STATIC, T::StaticText, {63, 17, 108, 9}, N_("Kov settings utility"), kNoTab, kNoGroup},
    // TRANSLATORS: the About box; {file} is the full name of the settings file the dialog edits.
    {IDC_ABOUT_FILE, T::StaticText, {7, 42, 221, 8}, N_("Settings file: {file}"), kNoTab, kNoGroup},
};

// Which label names which list. The template draws most labels after their lists, so neither
// its order nor Windows' rule (the static text before a control) pairs them.
constexpr ListLabel kListLabelTable[] = {
    {IDC_SOUND_CARD_TYPE, kSoundCardTypeLabel}, {IDC_PORT, kPortLabel},
    {IDC_IRQ, kIrqLabel},                       {IDC_DMA_8BIT, kDma8Label},
    {IDC_DMA_16BIT, kDma16Label},               {IDC_PLAYBACK_RATE, kPlaybackRateLabel},
    {IDC_EFFECT_CHANNELS, kEffectChannelsLabel},
};

}  // namespace

const std::span<const ListLabel> kListLabels(kListLabelTable);

const char* LabelOfList(int32_t list) {
    for (const ListLabel& pair : kListLabels)
        if (pair.list == list) return pair.label;
    return nullptr;
}

const ControlTemplate* GroupOf(const DialogTemplate& dialog, const ControlTemplate& control) {
    for (const ControlTemplate& box : dialog.controls) {
        const DluRect& b = box.rect;
        const DluRect& c = control.rect;
        // By its top edge: a list's rectangle reaches down as far as it drops.
        if (box.type == ControlType::GroupBox && &box != &control && b.left <= c.left &&
            c.left + c.width <= b.left + b.width && b.top <= c.top && c.top < b.top + b.height)
            return &box;
    }
    return nullptr;
}

// TRANSLATORS: the settings dialog's title.
const DialogTemplate kConfigDialogTemplate = {IDD_CONFIG_DIALOG, N_("Configuration for game Kov    "), 364, 189,
                                              "MS Sans Serif", 8, kConfigControls};
// TRANSLATORS: the About box's title.
const DialogTemplate kAboutDialogTemplate = {IDD_ABOUT_BOX, N_("About Config - Kov"), 235, 55, "MS Sans Serif", 8,
                                             kAboutControls};

}  // namespace kov
