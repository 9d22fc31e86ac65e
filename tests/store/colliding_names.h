// Names that all share one value of libstdc++'s std::hash<std::string_view> (a 64-bit
// MurmurHash with a fixed seed, invertible block by block): the input that a fixed hash lets
// anyone craft. Each name is 16 bytes: eight chosen freely, eight computed to bring the hash's
// state back to one fixed value.
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

constexpr std::uint64_t Inverse(std::uint64_t a) {  // of an odd number, modulo 2^64
    std::uint64_t x = a;
    for (int i = 0; i < 6; ++i) x *= 2 - a * x;
    return x;
}

inline std::uint64_t Load(const char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
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
        const std::uint64_t first = ShiftMix(Load(name.data()) * kMul) * kMul;
        const std::uint64_t state = (start ^ first) * kMul;
        const std::uint64_t second = (kTarget * kInverse) ^ state;  // what the second block must mix to
        const std::uint64_t block = ShiftMix(second * kInverse) * kInverse;
        std::memcpy(name.data() + 8, &block, 8);
        if (name.find('\0') != std::string::npos || name.find_first_of(forbidden) != std::string::npos) continue;
        names.push_back(std::move(name));
    }
    return names;
}

}  // namespace kov::testing
