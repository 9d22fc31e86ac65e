// A layer of primitives over the platform's that makes chosen ones fail the way a disk, a
// virus scanner or the game would, or stops everything from one call on, as a kill before that
// call would: the file boundary's contract is driven through it on every platform.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "file_system.h"

namespace kov::testing {

enum class Step {
    Open,        // opening or creating a file
    Read,
    Write,
    Sync,        // a file's sync (fsync, FlushFileBuffers)
    Replace,     // putting the new file in the old one's place: renameat, ReplaceFileW
    Rename,      // a file moved to another name: renameat, MoveFileExW
    SyncFolder,
    Reserve,
    CopyMetadata,
    Close,
    Count,
};

enum class Fault { DiskFull, IoError, AccessDenied };

detail::Failure FailureOf(Fault fault);

class FaultyFileSystem : public detail::FileSystem {
public:
    explicit FaultyFileSystem(detail::FileSystem& real = detail::PlatformFileSystem()) : real_(real) {}

    // After `pass` calls of the step succeed, the next `times` (all when -1) fail. With onlyFile,
    // only calls on a name that ends with it count.
    void Fail(Step step, Fault fault, int pass = 0, int times = 1, const char* onlyFile = nullptr);
    // The same with the platform's own failure; on names that the filter takes (all, without one),
    // running before first (to move a file aside, say).
    void Fail(Step step, detail::Failure failure, int pass, int times, std::function<bool(const std::string&)> only = {},
              std::function<void(const std::string&)> before = {});
    // Every call from the n-th on (counting all, from 1) reaches nothing, as after a kill; or,
    // with an end, that ends the program before it.
    void StopAt(long n, std::function<void()> end = {}) {
        stopAt_ = n;
        end_ = std::move(end);
    }
    long calls() const { return calls_; }
    bool stopped() const { return stopAt_ > 0 && calls_ >= stopAt_; }
    void Clear();

    detail::Failure OpenCurrentFolder(detail::Folder& folder) override;
    detail::FolderState CheckFolder(const detail::Folder& folder) override;
    detail::Failure OpenStateFolder(bool make, detail::Folder& folder) override;
    detail::Failure OpenVirtualStore(const detail::Folder& folder, bool make, detail::Folder& copy) override;
    detail::Failure List(const detail::Folder& folder, std::vector<std::string>& names) override;
    detail::Failure SyncFolder(const detail::Folder& folder) override;
    detail::Failure Resolve(const detail::Folder& folder, const std::string& name, detail::Folder& endFolder,
                            std::string& endName, detail::Followed& followed) override;
    bool IsSystemFolder(const detail::Folder& folder) override { return real_.IsSystemFolder(folder); }
    bool RaisedRights() override { return real_.RaisedRights(); }
    detail::Failure Look(const detail::Folder& folder, const std::string& name, detail::Info& info) override;
    detail::Failure Open(const detail::Folder& folder, const std::string& name, bool forWriting, detail::File& file) override;
    detail::Failure CreateNew(const detail::Folder& folder, const std::string& name, bool hidden, detail::File& file) override;
    detail::Failure CreateUnnamed(const detail::Folder& folder, bool hidden, detail::File& file) override;
    detail::Failure GiveName(const detail::File& file, const detail::Folder& folder, const std::string& name) override;
    detail::Failure Replace(const detail::Folder& folder, const std::string& from, const std::string& to,
                            const std::string& backup) override;
    detail::Failure Rename(const detail::Folder& folder, const std::string& from, const std::string& to, bool overwrite) override;
    detail::Failure Remove(const detail::Folder& folder, const std::string& name) override;
    detail::Failure SyncNamed(const detail::Folder& folder, const std::string& name) override;
    detail::LockState Probe(const detail::Folder& folder, const std::string& name) override;
    detail::Failure InfoOf(const detail::File& file, detail::Info& info) override;
    detail::Failure Read(const detail::File& file, std::uint64_t offset, char* buffer, std::size_t size, std::size_t& got) override;
    detail::Failure WriteAt(const detail::File& file, std::uint64_t offset, std::string_view bytes) override;
    detail::Failure Reserve(const detail::File& file, std::uint64_t size) override;
    detail::Failure Sync(const detail::File& file) override;
    detail::Failure SetSize(const detail::File& file, std::uint64_t size) override;
    detail::Failure Lock(const detail::File& file) override;
    detail::Failure CopyMetadata(const detail::Folder& folder, const std::string& name, const detail::File& to) override;
    detail::Failure Close(detail::File& file) override;
    std::string OtherOwner(const detail::Folder& folder, const std::string& name) override {
        return real_.OtherOwner(folder, name);
    }
    std::string SystemWords(long code, std::string_view language) override { return real_.SystemWords(code, language); }
    detail::Os System() const override { return real_.System(); }

private:
    struct Plan {
        bool armed = false;
        detail::Failure failure;
        int pass = 0;
        int times = 0;
        std::function<bool(const std::string&)> only;
        std::function<void(const std::string&)> before;
    };
    // Whether this call is to fail (or reach nothing, once stopped), and how; counts it.
    bool Fails(Step step, const std::string& name, detail::Failure& failure);
    // The call, unless it is to fail.
    template <typename Call>
    detail::Failure Pass(Step step, const std::string& name, const Call& call);
    // The call that opens file, unless it is to fail; the file is then known by name.
    template <typename Call>
    detail::Failure Opened(const std::string& name, detail::File& file, const Call& call);
    std::string NameOf(const detail::File& file) const;

    detail::FileSystem& real_;
    Plan plans_[static_cast<int>(Step::Count)];
    long calls_ = 0;
    long stopAt_ = 0;
    std::function<void()> end_;
    std::map<const detail::Held*, std::string> names_;  // of the files open, for the filters
};

}  // namespace kov::testing
