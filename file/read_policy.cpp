// What reading makes of a file, the same on every platform.
#include "read_policy.h"

namespace kov::detail {

Reason NotARegularFile(Kind kind) {
    Reason reason;
    reason.what = Reason::What::NotAFile;
    reason.kind = kind;
    return reason;
}

std::uint64_t Hash(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

void TakeBytes(ConfigurationStore& store, std::string_view bytes, OpenResult& result, FileSnapshot& snapshot) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        result.outcome = OpenOutcome::Unreadable;
        result.reason.what = Reason::What::Utf16;
        return;
    }
    snapshot.hashed = true;
    snapshot.hash = Hash(bytes);
    store.ReadFromString(bytes.data(), bytes.size(), &result.dropped);
    result.outcome = OpenOutcome::Read;
}

}  // namespace kov::detail
