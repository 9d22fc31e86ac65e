// The settings dialog and the About box as data.
#include "control_ids.h"
#include "dialog_template.h"

namespace kov {

namespace {

using T = ControlType;
constexpr bool kTab = true;
constexpr bool kNoTab = false;
constexpr bool kGroup = true;
constexpr bool kNoGroup = false;

constexpr ControlTemplate kConfigControls[] = {
    {IDOK, T::DefaultPushButton, {251, 97, 97, 14}, "OK", kTab, kNoGroup},
    {IDCANCEL, T::PushButton, {251, 123, 97, 14}, "Cancel", kTab, kNoGroup},
    {IDC_SOUND_CARD_TYPE, T::DropDownList, {29, 28, 87, 48}, "", kTab, kNoGroup},
    {IDC_PORT, T::DropDownList, {29, 61, 87, 49}, "", kTab, kNoGroup},
    {IDC_STATIC, T::StaticText, {37, 18, 69, 8}, "Sound card type     ", kNoTab, kGroup},
    {IDC_STATIC, T::StaticText, {25, 49, 96, 8}, "Sound card port number      ", kNoTab, kGroup},
    {IDC_IRQ, T::DropDownList, {29, 93, 87, 49}, "", kTab, kNoGroup},
    {IDC_STATIC, T::StaticText, {18, 82, 114, 8}, "Sound card IRQ number            ", kNoTab, kGroup},
    {IDC_STATIC, T::StaticText, {33, 113, 78, 8}, "8bit DMA channel     ", kNoTab, kGroup},
    {IDC_DMA_8BIT, T::DropDownList, {29, 125, 87, 49}, "", kTab, kNoGroup},
    {IDC_STATIC, T::StaticText, {31, 146, 82, 8}, "16bit DMA channel     ", kNoTab, kGroup},
    {IDC_DMA_16BIT, T::DropDownList, {29, 158, 87, 45}, "", kTab, kNoGroup},
    {IDC_PLAYBACK_RATE, T::DropDownList, {146, 28, 87, 49}, "", kTab, kNoGroup},
    {IDC_STATIC, T::StaticText, {147, 18, 84, 8}, "Playback rate            ", kNoTab, kGroup},
    {IDC_EFFECT_CHANNELS, T::DropDownList, {146, 61, 87, 63}, "", kTab, kNoGroup},
    {IDC_STATIC, T::StaticText, {166, 49, 46, 8}, "Channels     ", kNoTab, kGroup},
    {IDC_USE_REVERB, T::CheckBox, {146, 113, 79, 10}, "Use Reverb        ", kTab, kNoGroup},
    {IDC_USE_STEREO, T::CheckBox, {146, 94, 77, 10}, "Use Stereo        ", kTab, kNoGroup},
    {IDC_USE_ECHO, T::CheckBox, {146, 131, 73, 10}, "Use Echo        ", kTab, kNoGroup},
    {IDC_USE_HQ_MIXING, T::CheckBox, {146, 149, 93, 10}, "Use high quality mixing", kTab, kNoGroup},
    {IDC_SOFTWARE_RENDERING, T::RadioButton, {256, 23, 89, 10}, "Software rendering  ", kNoTab, kNoGroup},
    {IDC_GLIDE_RENDERING, T::RadioButton, {256, 44, 83, 10}, "3DFX Voodoo (Glide)", kNoTab, kNoGroup},
    {IDC_STATIC, T::GroupBox, {249, 6, 100, 59}, "3D Gfx    ", kNoTab, kNoGroup},
    {IDC_STATIC, T::GroupBox, {12, 6, 124, 176}, "Sound card     ", kNoTab, kNoGroup},
    {IDC_STATIC, T::GroupBox, {139, 6, 106, 176}, "Sound effects   ", kNoTab, kNoGroup},
};

constexpr ControlTemplate kAboutControls[] = {
    {IDC_STATIC, T::Icon, {16, 18, 20, 20}, "", kNoTab, kNoGroup},
    {IDC_STATIC, T::StaticText, {80, 29, 65, 8}, "Version " KOV_VERSION_TEXT, kNoTab, kNoGroup},
    {IDOK, T::DefaultPushButton, {161, 20, 50, 14}, "OK", kTab, kGroup},
    {IDC_STATIC, T::StaticText, {63, 17, 108, 9}, "Kov settings utility", kNoTab, kNoGroup},
};

}  // namespace

const DialogTemplate kConfigDialogTemplate = {IDD_CONFIG_DIALOG, "Configuration for game Kov    ", 364, 189,
                                              "MS Sans Serif", 8, kConfigControls};
const DialogTemplate kAboutDialogTemplate = {IDD_ABOUT_BOX, "About Config - Kov", 235, 55, "MS Sans Serif", 8, kAboutControls};

}  // namespace kov
