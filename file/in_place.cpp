// Writing over a file in place.
#include "in_place.h"

namespace kov::detail {

std::string PaddedOver(std::string_view text, std::size_t oldSize) {
    std::string bytes(text);
    if (bytes.size() < oldSize) bytes.append(oldSize - bytes.size(), '\n');
    return bytes;
}

Failure Overwrite(FileSystem& fs, const File& file, std::string_view bytes, std::uint64_t oldSize) {
    const std::string padded = PaddedOver(bytes, oldSize);
    if (const Failure failure = fs.WriteAt(file, 0, padded)) return failure;
    if (padded.size() != bytes.size()) {
        // The padded text is on disk before the cut, so a power cut never leaves the old tail.
        if (const Failure failure = fs.Sync(file)) return failure;
        if (const Failure failure = fs.SetSize(file, bytes.size())) return failure;
    }
    return fs.Sync(file);
}

}  // namespace kov::detail
