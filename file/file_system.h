// The primitives beneath the save engine: one small layer per platform (POSIX, Win32) and, in
// the tests, one that fails or stops at any of them. Each call does one thing to the disk and
// says how it went, in the platform's own code and in a kind the engine decides on; no policy
// and no message lives here. Names are relative to a folder the layer holds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kov::detail {

// What went wrong, as far as the engine's decisions go.
enum class Problem : std::uint8_t {
    None,
    NotFound,       // no such file or folder
    Exists,         // the name is taken
    AccessDenied,   // no permission, or a folder that takes no new file
    NoSpace,        // the disk (or the user's quota) is full
    TooLarge,       // beyond a size limit of the file system or the process
    HeldByAnother,  // another program holds the file (a sharing or lock violation)
    NotSupported,   // this file system cannot do that
    ReadOnlyDisk,   // the file system is mounted read-only
    UntrustedLink,  // a link made by another user, which a program with raised rights does not follow
    Other,
};

struct Failure {
    Problem problem = Problem::None;
    long code = 0;  // the platform's own code (errno, GetLastError), for its words
    explicit operator bool() const { return problem != Problem::None; }
};

enum class Kind : std::uint8_t { None, Regular, Folder, Fifo, Device, Socket, Other };

// What a look at a file shows (links followed).
struct Info {
    Kind kind = Kind::None;
    std::uint64_t device = 0;  // identity: device and inode, or volume serial and file ID
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;  // since 1970
    std::int64_t modifiedNanoseconds = 0;
    std::uint32_t links = 1;
    bool readOnly = false;  // marked read-only: no write permission for its owner, or the read-only attribute
    Failure writeRefused;   // why this program may not write to it, where that can be told beforehand
};

// A folder or a file held open by a layer; closed when the last holder lets go.
struct Held {
    std::intptr_t native = -1;
    std::string path;  // a folder's absolute name ending in a separator ("" when it cannot be named)
};
using Folder = std::shared_ptr<const Held>;
using File = std::shared_ptr<Held>;

enum class FolderState : std::uint8_t { Usable, Deleted, Moved, SystemFolder };
// Whose terms the advice to a player is in.
enum class Os : std::uint8_t { Posix, Windows };
enum class LockState : std::uint8_t { Free, Held, Unknown };

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The folder the program was started in.
    virtual Failure OpenCurrentFolder(Folder& folder) = 0;
    // Whether a held folder is still the one under its name, and not one never to be written.
    virtual FolderState CheckFolder(const Folder& folder) = 0;
    // The user's own folder for this program (journals that the game's folder takes not), made
    // when asked.
    virtual Failure OpenStateFolder(bool make, Folder& folder) = 0;
    // Where Windows keeps an old program's copy of what it may not write in folder (NotSupported
    // where there is no such thing, NotFound for a folder that has none), made when asked.
    virtual Failure OpenVirtualStore(const Folder& folder, bool make, Folder& copy) = 0;
    virtual Failure List(const Folder& folder, std::vector<std::string>& names) = 0;
    // Makes the folder's names durable (a no-op where the file system cannot).
    virtual Failure SyncFolder(const Folder& folder) = 0;

    // Follows any links from name to the file they end at: its folder and name.
    virtual Failure Resolve(const Folder& folder, const std::string& name, Folder& endFolder, std::string& endName) = 0;
    virtual Failure Look(const Folder& folder, const std::string& name, Info& info) = 0;
    // Opens without waiting (a FIFO never blocks) and, on Windows, lets others read, write,
    // rename and delete meanwhile. forWriting: reading and writing.
    virtual Failure Open(const Folder& folder, const std::string& name, bool forWriting, File& file) = 0;
    // A file no other has that name; hidden (for the program's own files) or as a new kov.ini.
    virtual Failure CreateNew(const Folder& folder, const std::string& name, bool hidden, File& file) = 0;
    // A file with no name yet (NotSupported where the file system has none).
    virtual Failure CreateUnnamed(const Folder& folder, bool hidden, File& file) = 0;
    virtual Failure GiveName(const File& file, const Folder& folder, const std::string& name) = 0;
    // from put under the name to, the file there moved to backup (where the platform keeps one).
    virtual Failure Replace(const Folder& folder, const std::string& from, const std::string& to,
                            const std::string& backup) = 0;
    virtual Failure Rename(const Folder& folder, const std::string& from, const std::string& to, bool overwrite) = 0;
    virtual Failure Remove(const Folder& folder, const std::string& name) = 0;
    // Makes the file under the name durable, its entry in the folder with it.
    virtual Failure SyncNamed(const Folder& folder, const std::string& name) = 0;
    // Whether a running program holds the file under a lock of this program's kind.
    virtual LockState Probe(const Folder& folder, const std::string& name) = 0;

    virtual Failure InfoOf(const File& file, Info& info) = 0;
    virtual Failure Read(const File& file, std::uint64_t offset, char* buffer, std::size_t size, std::size_t& got) = 0;
    virtual Failure WriteAt(const File& file, std::uint64_t offset, std::string_view bytes) = 0;
    // Space for size bytes, without changing the file's size.
    virtual Failure Reserve(const File& file, std::uint64_t size) = 0;
    virtual Failure Sync(const File& file) = 0;
    virtual Failure SetSize(const File& file, std::uint64_t size) = 0;
    // Held for as long as the file is open, for Probe to see.
    virtual Failure Lock(const File& file) = 0;
    // Gives the new file what the one under (folder, name) has beyond its bytes, where a
    // replacement does not carry it (owner, mode, extended attributes, Windows' attributes and
    // creation time); fails when any of it cannot be kept.
    virtual Failure CopyMetadata(const Folder& folder, const std::string& name, const File& to) = 0;
    // The close's own result counts: some file systems report a write's failure only here.
    virtual Failure Close(File& file) = 0;

    // The user who owns the file (or, for an empty name, the folder), when it is another user
    // than the one this program runs as; empty otherwise, or when it cannot be told.
    virtual std::string OtherOwner(const Folder& folder, const std::string& name) = 0;
    // The system's own words for a failure's code in the language of that code ("pl", "en"),
    // without a final period; empty when the system has none in that language.
    virtual std::string SystemWords(long code, std::string_view language) = 0;
    virtual Os System() const = 0;
    // Line ends as the platform's files have them.
    virtual std::string_view LineEnd() const = 0;
    virtual void Pause(int milliseconds) = 0;
    // Seconds since 1970, to tell a file's age.
    virtual std::int64_t Now() = 0;
};

// The layer of the platform the program runs on.
FileSystem& PlatformFileSystem();

}  // namespace kov::detail
