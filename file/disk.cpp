// Steps over the primitives, the same on every platform.
#include "disk.h"

#include <random>

#include "journal.h"
#include "printable_name.h"
#include "read_policy.h"

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

FileState LookWhole(FileSystem& fs, const Folder& folder, const std::string& name) {
    FileState state;
    if (!folder) return state;
    if (const Failure failure = fs.Look(folder, name, state.info)) {
        state.problem = failure.problem;
        return state;
    }
    state.exists = true;
    state.problem = Problem::None;
    File file;
    std::string bytes;
    if (state.info.kind == Kind::Regular && !fs.Open(folder, name, false, file) && !ReadWhole(fs, file, bytes))
        state.bytes = std::move(bytes);
    return state;
}

FileSnapshot SnapshotOf(const FileState& state) {
    FileSnapshot snapshot;
    snapshot.problem = state.problem;
    if (!state.exists) return snapshot;
    snapshot.device = state.info.device;
    snapshot.inode = state.info.inode;
    snapshot.size = state.info.size;
    snapshot.modifiedSeconds = state.info.modifiedSeconds;
    snapshot.modifiedNanoseconds = state.info.modifiedNanoseconds;
    if (state.bytes) {
        snapshot.hashed = true;
        snapshot.hash = Hash(*state.bytes);
    }
    return snapshot;
}

Failure WriteNewFile(FileSystem& fs, const Folder& folder, const std::string& name, std::string_view bytes) {
    File file;
    if (const Failure failure = fs.CreateNew(folder, name, true, file)) return failure;
    Failure failure = fs.WriteAt(file, 0, bytes);
    if (!failure) failure = fs.Sync(file);
    if (const Failure closed = fs.Close(file); !failure) failure = closed;
    if (!failure) failure = fs.SyncFolder(folder);
    if (failure) fs.Remove(folder, name);
    return failure;
}

Failure Overwrite(FileSystem& fs, const File& file, std::string_view bytes, std::uint64_t currentSize) {
    const std::string padded = PaddedOver(bytes, currentSize);
    if (const Failure failure = fs.WriteAt(file, 0, padded)) return failure;
    if (padded.size() != bytes.size()) {
        // The padded text is on disk before the cut, so a power cut never leaves the old tail.
        if (const Failure failure = fs.Sync(file)) return failure;
        if (const Failure failure = fs.SetSize(file, bytes.size())) return failure;
    }
    return fs.Sync(file);
}

Reason Refusal(const Failure& failure, Reason::What what) {
    Reason reason;
    reason.what = what;
    reason.failure = failure;
    return reason;
}

std::string PathOf(const Folder& folder, const std::string& name) {
    return PrintableName((folder ? folder->path : std::string()) + name);
}

std::string TemporaryName(const std::string& fileName) {
    static std::mt19937_64 random{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name = "." + fileName + ".";
    for (int i = 0; i < 8; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    return name;
}

}  // namespace kov::detail
