// Conversions between a stored setting and its control's state, as small pure functions.
// Load functions give a list position (-1 or past the last item: no selection) or a check
// state; write functions give the value to store, or nothing when nothing is to be stored.
#pragma once

#include <cstdint>
#include <optional>

namespace kov {

using LoadMapping = int32_t (*)(int32_t stored);
using WriteMapping = std::optional<int32_t> (*)(int32_t state);

int32_t SoundCardPositionFromType(int32_t stored);
std::optional<int32_t> SoundCardTypeFromPosition(int32_t position);
int32_t PortPosition(int32_t stored);
std::optional<int32_t> PortValue(int32_t position);
int32_t IrqPosition(int32_t stored);
std::optional<int32_t> IrqValue(int32_t position);
int32_t Dma8Position(int32_t stored);
std::optional<int32_t> Dma8Value(int32_t position);
int32_t Dma16Position(int32_t stored);
std::optional<int32_t> Dma16Value(int32_t position);
int32_t PlaybackRatePosition(int32_t stored);
std::optional<int32_t> PlaybackRateValue(int32_t position);
int32_t EffectChannelsPosition(int32_t stored);
std::optional<int32_t> EffectChannelsValue(int32_t position);
// "playback channels": 2 is stereo, 1 mono.
int32_t StereoCheck(int32_t stored);
std::optional<int32_t> StereoValue(int32_t checked);
// On/off switches stored as 1 and 0: the effect switches and the 3DFX radio.
int32_t SwitchCheck(int32_t stored);
std::optional<int32_t> SwitchValue(int32_t checked);
// "rendering device" 0 is software rendering.
int32_t SoftwareRenderingCheck(int32_t stored);
std::optional<int32_t> SoftwareRenderingValue(int32_t checked);

}  // namespace kov
