// When an armed call fails, the same on every platform: after `pass` calls that count, the next
// `times` (all when -1) fail; with a file name, only calls on a file whose name ends with it count.
#pragma once

#include <string>
#include <string_view>

namespace kov::testing {

template <typename Char, typename Error>
struct FaultPlan {
    bool armed = false;
    Error error{};
    int pass = 0;
    int times = 0;
    std::basic_string<Char> onlyFile;

    // Whether the file's name matters for this plan (so that it is worth finding out).
    bool WantsName() const { return armed && !onlyFile.empty(); }
    // Whether this call fails; counts it.
    bool Fails(std::basic_string_view<Char> file) {
        if (!armed || (!onlyFile.empty() && !file.ends_with(onlyFile))) return false;
        if (pass > 0) {
            --pass;
            return false;
        }
        if (times == 0) return false;
        if (times > 0) --times;
        return true;
    }
};

}  // namespace kov::testing
