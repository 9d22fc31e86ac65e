// Identifiers of the dialog's controls, shared by the settings logic and the dialog.
#pragma once

#include <cstdint>

namespace kov {

inline constexpr int32_t IDC_SOUND_CARD_TYPE = 1003;
inline constexpr int32_t IDC_PORT = 1004;
inline constexpr int32_t IDC_IRQ = 1005;
inline constexpr int32_t IDC_DMA_8BIT = 1006;
inline constexpr int32_t IDC_DMA_16BIT = 1007;
inline constexpr int32_t IDC_PLAYBACK_RATE = 1008;
inline constexpr int32_t IDC_EFFECT_CHANNELS = 1010;
inline constexpr int32_t IDC_USE_REVERB = 1014;
inline constexpr int32_t IDC_USE_STEREO = 1015;
inline constexpr int32_t IDC_USE_ECHO = 1016;
inline constexpr int32_t IDC_USE_HQ_MIXING = 1017;
inline constexpr int32_t IDC_SOFTWARE_RENDERING = 1018;
inline constexpr int32_t IDC_GLIDE_RENDERING = 1019;

}  // namespace kov
