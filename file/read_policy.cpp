// What reading makes of a file, the same on every platform.
#include "read_policy.h"

namespace kov::detail {

std::string TooLargeReason() {
    return "it is larger than " + std::to_string(kMaxFileSize >> 20) + " MiB, far more than a settings file holds";
}

std::string NotARegularFile(Kind kind) {
    switch (kind) {
        case Kind::Folder: return "it is a folder, not a file";
        case Kind::Fifo: return "it is a named pipe (FIFO), not a file";
        case Kind::Device: return "it is a device, not a file";
        case Kind::Socket: return "it is a socket, not a file";
        default: return "it is not a regular file";
    }
}

std::uint64_t Hash(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

void TakeBytes(ConfigurationStore& store, std::string_view bytes, OpenResult& result, FileSnapshot& snapshot) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        result.outcome = OpenOutcome::Unreadable;
        result.reason = "it is not a text file this program can read (it is in UTF-16)";
        return;
    }
    snapshot.hashed = true;
    snapshot.hash = Hash(bytes);
    store.ReadFromString(bytes.data(), bytes.size(), &result.dropped);
    result.outcome = OpenOutcome::Read;
}

}  // namespace kov::detail
