// Conversions between stored settings and control states.
#include "mappings.h"

#include <array>

namespace kov {

namespace {

constexpr std::array<int32_t, 6> kSoundCardTypes = {0x1FFFF, 0, 0x10000, 0x10001, 0x10002, 0x10003};
constexpr std::array<int32_t, 6> kIrqs = {2, 3, 5, 7, 9, 10};
constexpr std::array<int32_t, 3> kPlaybackRates = {11025, 22050, 44100};

// Stored values come from the file and may be anything: offsets wrap instead of overflowing.
int32_t Offset(int32_t value, int32_t by) {
    return static_cast<int32_t>(static_cast<uint32_t>(value) + static_cast<uint32_t>(by));
}

template <std::size_t N>
std::optional<int32_t> PositionOf(const std::array<int32_t, N>& values, int32_t stored) {
    for (std::size_t i = 0; i < N; ++i)
        if (values[i] == stored) return static_cast<int32_t>(i);
    return std::nullopt;
}

template <std::size_t N>
std::optional<int32_t> ValueAt(const std::array<int32_t, N>& values, int32_t position) {
    if (position < 0 || static_cast<std::size_t>(position) >= N) return std::nullopt;
    return values[static_cast<std::size_t>(position)];
}

}  // namespace

int32_t SoundCardPositionFromType(int32_t stored) { return PositionOf(kSoundCardTypes, stored).value_or(-1); }
std::optional<int32_t> SoundCardTypeFromPosition(int32_t position) { return ValueAt(kSoundCardTypes, position); }

int32_t PortPosition(int32_t stored) { return (stored >> 4) - 33; }
std::optional<int32_t> PortValue(int32_t position) {
    return static_cast<int32_t>(static_cast<uint32_t>(Offset(position, 33)) * 16u);
}

int32_t IrqPosition(int32_t stored) { return PositionOf(kIrqs, stored).value_or(stored); }
std::optional<int32_t> IrqValue(int32_t position) { return ValueAt(kIrqs, position).value_or(position); }

int32_t Dma8Position(int32_t stored) { return stored == 3 ? 2 : stored; }
std::optional<int32_t> Dma8Value(int32_t position) { return position == 2 ? 3 : position; }

int32_t Dma16Position(int32_t stored) { return Offset(stored, -5); }
std::optional<int32_t> Dma16Value(int32_t position) { return Offset(position, 5); }

int32_t PlaybackRatePosition(int32_t stored) { return PositionOf(kPlaybackRates, stored).value_or(-1); }
std::optional<int32_t> PlaybackRateValue(int32_t position) {
    return ValueAt(kPlaybackRates, position).value_or(position);
}

int32_t EffectChannelsPosition(int32_t stored) { return stored == 16 ? 12 : stored; }
std::optional<int32_t> EffectChannelsValue(int32_t position) { return position == 12 ? 16 : position; }

int32_t StereoCheck(int32_t stored) { return Offset(stored, -1); }
std::optional<int32_t> StereoValue(int32_t checked) { return checked != 0 ? 2 : 1; }

int32_t SwitchCheck(int32_t stored) { return stored; }
std::optional<int32_t> SwitchValue(int32_t checked) { return checked != 0 ? 1 : 0; }

int32_t SoftwareRenderingCheck(int32_t stored) { return stored == 0 ? 1 : 0; }
std::optional<int32_t> SoftwareRenderingValue(int32_t checked) { return checked != 0 ? 0 : 1; }

}  // namespace kov
