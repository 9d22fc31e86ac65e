// The name index against names crafted to collide: loading them stays near-linear.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <set>

#include "colliding_names.h"
#include "configuration_store.h"
#include "name_hash.h"

namespace kov {
namespace {

TEST(NameHash, SipHashGivesThePublishedValues) {
    // SipHash-2-4 with the key 00 01 .. 0f, on messages 00 01 .. (n-1).
    const std::uint64_t k0 = 0x0706050403020100ull, k1 = 0x0f0e0d0c0b0a0908ull;
    std::string message;
    EXPECT_EQ(detail::SipHash(message, k0, k1, 2, 4), 0x726fdb47dd0e0e31ull);
    for (char c = 0; c < 15; ++c) message += c;
    EXPECT_EQ(detail::SipHash(message, k0, k1, 2, 4), 0xa129ca6149be45e5ull);
}

double SecondsToStore(const std::vector<std::string>& names, bool asCategories) {
    ConfigurationStore store;
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& name : names) {
        if (asCategories)
            store.ResolveCategory(nullptr, name.c_str());
        else
            store.SetValue(nullptr, name.c_str(), CONFIG_TYPE_DWORD, 1, 4);
    }
    EXPECT_EQ(asCategories ? store.childCount : store.valueCount, static_cast<int32_t>(names.size() + (asCategories ? 3 : 0)));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(NameHash, NamesCraftedToCollideLoadAsFastAsOrdinaryOnes) {
    constexpr std::size_t kCount = 20000;
    const std::vector<std::string> crafted = testing::CollidingNames(kCount, "/\"\t\n\r");
    std::set<std::size_t> oldHashes;
    for (const std::string& name : crafted) oldHashes.insert(std::hash<std::string_view>{}(name));
    if (oldHashes.size() != 1) GTEST_SKIP() << "this standard library's hash is not the one these names defeat";

    std::set<std::uint64_t> keyed;
    for (const std::string& name : crafted) keyed.insert(detail::NameHash(name));
    EXPECT_EQ(keyed.size(), kCount);

    std::vector<std::string> ordinary;
    for (std::size_t i = 0; i < kCount; ++i) ordinary.push_back("ordinary name " + std::to_string(1000000 + i));
    for (const bool asCategories : {false, true}) {
        SCOPED_TRACE(asCategories ? "categories" : "values");
        const double usual = SecondsToStore(ordinary, asCategories);
        const double attacked = SecondsToStore(crafted, asCategories);
        // A fixed hash makes this quadratic: hundreds of times slower at this count.
        EXPECT_LT(attacked, 5 * usual + 0.05) << attacked << " s against " << usual << " s";
    }
}

}  // namespace
}  // namespace kov
