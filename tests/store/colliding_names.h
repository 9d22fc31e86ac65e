// Names that all share one value of libstdc++'s std::hash<std::string_view> (MurmurHash with a
// fixed seed, 64-bit or, where size_t has 32 bits, 32-bit; invertible block by block): the
// input that a fixed hash lets anyone craft. Each name is 16 bytes: the first ones chosen
// freely, the last block computed to bring the hash's state to one fixed value.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace kov::testing {

namespace colliding {

constexpr std::uint64_t kMul = 0xc6a4a7935bd1e995ull;
constexpr std::uint64_t kSeed = 0xc70f6907ull;

constexpr std::uint64_t ShiftMix(std::uint64_t v) { return v ^ (v >> 47); }  // its own inverse

template <typename Word>
constexpr Word Inverse(Word a) {  // of an odd number, modulo 2 to the word's bits
    Word x = a;
    for (int i = 0; i < 6; ++i) x *= 2 - a * x;
    return x;
}

template <typename Word>
Word Load(const char* p) {
    Word v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The 32-bit hash: four bytes at a time, each block mixed as below and folded into the state.
constexpr std::uint32_t kMul32 = 0x5bd1e995u;
constexpr std::uint32_t Mix32(std::uint32_t k) {
    k *= kMul32;
    k ^= k >> 24;
    return k * kMul32;
}
constexpr std::uint32_t Unmix32(std::uint32_t k) {  // Mix32's inverse
    k *= Inverse(kMul32);
    k ^= k >> 24;
    return k * Inverse(kMul32);
}

// The last block that brings the 32-bit state after the first three blocks of name to one value.
inline std::uint32_t LastBlock32(const std::string& name) {
    std::uint32_t state = static_cast<std::uint32_t>(kSeed) ^ 16u;
    for (int block = 0; block < 3; ++block) state = (state * kMul32) ^ Mix32(Load<std::uint32_t>(name.data() + 4 * block));
    return Unmix32(0x01234567u ^ (state * kMul32));
}

}  // namespace colliding

// count names of 16 bytes, none holding a byte of `forbidden` or a NUL.
inline std::vector<std::string> CollidingNames(std::size_t count, std::string_view forbidden) {
    using namespace colliding;
    constexpr std::uint64_t kInverse = Inverse(kMul);
    constexpr std::uint64_t kTarget = 0x0123456789abcdefull;
    const std::uint64_t start = kSeed ^ (16 * kMul);
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::vector<std::string> names;
    for (std::uint64_t n = 0; names.size() < count; ++n) {
        std::string name(16, '\0');
        for (int i = 0, v = static_cast<int>(n); i < 8; ++i, v /= 62) name[static_cast<std::size_t>(i)] = kLetters[v % 62];
        if constexpr (sizeof(std::size_t) == 4) {
            std::memcpy(name.data() + 8, "abcd", 4);
            const std::uint32_t block = LastBlock32(name);
            std::memcpy(name.data() + 12, &block, 4);
        } else {
            const std::uint64_t first = ShiftMix(Load<std::uint64_t>(name.data()) * kMul) * kMul;
            const std::uint64_t state = (start ^ first) * kMul;
            const std::uint64_t second = (kTarget * kInverse) ^ state;  // what the second block must mix to
            const std::uint64_t block = ShiftMix(second * kInverse) * kInverse;
            std::memcpy(name.data() + 8, &block, 8);
        }
        if (name.find('\0') != std::string::npos || name.find_first_of(forbidden) != std::string::npos) continue;
        names.push_back(std::move(name));
    }
    return names;
}

}  // namespace kov::testing
