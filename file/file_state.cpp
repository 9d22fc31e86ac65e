// Looks at the disk through the primitives, the same on every platform.
#include "file_state.h"

#include "printable_name.h"

namespace kov::detail {

Failure ReadWhole(FileSystem& fs, const File& file, std::string& bytes, std::uint64_t limit) {
    char block[64 * 1024];
    for (;;) {
        std::size_t got = 0;
        if (const Failure failure = fs.Read(file, bytes.size(), block, sizeof block, got)) return failure;
        if (got == 0) return {};
        bytes.append(block, got);
        if (bytes.size() > limit) return {Problem::TooLarge, 0};
    }
}

Failure ReadWhole(FileSystem& fs, const Folder& folder, const std::string& name, std::string& bytes,
                  std::uint64_t limit) {
    File file;
    const Failure failure = fs.Open(folder, name, false, file);
    return failure ? failure : ReadWhole(fs, file, bytes, limit);
}

FileState LookAt(FileSystem& fs, const Folder& folder, const std::string& name, bool withBytes) {
    FileState state;
    if (!folder) return state;
    if (const Failure failure = fs.Look(folder, name, state.info)) {
        state.problem = failure.problem;
        return state;
    }
    state.exists = true;
    state.problem = Problem::None;
    std::string bytes;
    if (withBytes && state.info.kind == Kind::Regular && !ReadWhole(fs, folder, name, bytes)) state.bytes = std::move(bytes);
    return state;
}

bool Unchanged(const FileState& before, const FileState& now) {
    if (before.exists != now.exists) return false;
    if (!before.exists) return before.problem == now.problem;
    const Info& a = before.info;
    const Info& b = now.info;
    return a.device == b.device && a.inode == b.inode && a.size == b.size && a.modifiedSeconds == b.modifiedSeconds &&
           a.modifiedNanoseconds == b.modifiedNanoseconds && (!before.bytes || before.bytes == now.bytes);
}

std::string PathOf(const Folder& folder, const std::string& name) {
    return PrintableName((folder ? folder->path : std::string()) + name);
}

Failure RemoveDurably(FileSystem& fs, const Folder& folder, const std::string& name) {
    const Failure failure = fs.Remove(folder, name);
    return failure ? failure : fs.SyncFolder(folder);
}

}  // namespace kov::detail
