// The primitives beneath the save engine: one small layer per platform (POSIX, Win32) and, in
// the tests, one that fails or stops at any of them. Each call does one thing to the disk and
// says how it went, in the platform's own code and in a kind the engine decides on; no policy
// and no message lives here. What each does, and leaves on disk when it fails, is stated once
// below and kept by every layer.
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

enum class FolderState : std::uint8_t { Usable, Deleted, Moved };
// Whose terms the advice to a player is in.
enum class Os : std::uint8_t { Posix, Windows };
enum class LockState : std::uint8_t { Free, Held, Unknown };

// What following the links from a name found on the way.
struct Followed {
    // A link that belongs neither to the user this program runs as nor to the owner of what it
    // points to (for a target yet to be made, of its folder): followed, but reported.
    bool strangersLink = false;
};

// The contract every layer keeps, the failing one of the tests among them. A call that fails
// changes nothing on disk unless its entry says otherwise; a Problem not listed is Other, with
// the platform's code. Names are within the held folder given; links are followed to the file
// they end at unless said otherwise.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The folder the program was started in, held from now on. Fails (AccessDenied, NotFound)
    // when it cannot be held; its path is "" when it cannot be named.
    virtual Failure OpenCurrentFolder(Folder& folder) = 0;
    // Whether a held folder is still the one under its name: Deleted, or Moved (another folder,
    // or none, is under its name now), where the platform can tell.
    virtual FolderState CheckFolder(const Folder& folder) = 0;
    // Whether a held folder is one of the system's own (the Windows folder and its system
    // folders); false where the platform has none.
    virtual bool IsSystemFolder(const Folder& folder) = 0;
    // The player's own folder for this program (for journals that the game's folder takes not),
    // made when asked. NotFound where the player has none, or it is not made.
    virtual Failure OpenStateFolder(bool make, Folder& folder) = 0;
    // Where Windows keeps an old program's copy of what it may not write in folder, made when
    // asked. NotSupported where there is no such thing (not on Windows, not on XP, not a folder
    // Windows virtualizes); NotFound for a folder that has no copy yet.
    virtual Failure OpenVirtualStore(const Folder& folder, bool make, Folder& copy) = 0;
    // The names in the folder, in the folder's own order, without "." and "..".
    virtual Failure List(const Folder& folder, std::vector<std::string>& names) = 0;
    // Makes the folder's names durable; nothing where the file system cannot.
    virtual Failure SyncFolder(const Folder& folder) = 0;

    // The folder and name where the links from name end (name itself when it is no link, or
    // there is nothing under it). Fails with NotFound when a folder on the way is missing.
    virtual Failure Resolve(const Folder& folder, const std::string& name, Folder& endFolder, std::string& endName,
                            Followed& followed) = 0;
    // Whether the program runs with raised rights (root, set-user-id): then a stranger's link
    // is not followed for a write.
    virtual bool RaisedRights() = 0;
    // What is under the name. NotFound when nothing is.
    virtual Failure Look(const Folder& folder, const std::string& name, Info& info) = 0;
    // Opens the file for reading, or for reading and writing, without waiting (a FIFO never
    // blocks), letting others read, write, rename and delete it meanwhile. NotFound,
    // AccessDenied; HeldByAnother when another program holds it so, after waiting about a
    // second for it (Windows).
    virtual Failure Open(const Folder& folder, const std::string& name, bool forWriting, File& file) = 0;
    // A new file under a name nothing has (Exists when something has), for reading and writing
    // by this program alone; hidden (the program's own files) or not (a new kov.ini).
    virtual Failure CreateNew(const Folder& folder, const std::string& name, bool hidden, File& file) = 0;
    // A new file with no name yet; NotSupported where the file system has none.
    virtual Failure CreateUnnamed(const Folder& folder, bool hidden, File& file) = 0;
    // Gives a file with no name a name nothing has (Exists when something has).
    virtual Failure GiveName(const File& file, const Folder& folder, const std::string& name) = 0;
    // Puts the file from under the name to, in one step where the platform can. On Windows the
    // old file is under backup meanwhile, gone once this returns done; a failure may leave it
    // there (the platform's code tells), and a file held by another program is waited for
    // about a second (HeldByAnother after). AccessDenied or NoSpace: both files as they were,
    // refused (what the old file has could not be carried over, no room for the folder to grow).
    virtual Failure Replace(const Folder& folder, const std::string& from, const std::string& to,
                            const std::string& backup) = 0;
    // Moves a file to another name: over what is there when asked (a file another program holds
    // there is waited for about a second, Windows), else Exists when something is there.
    virtual Failure Rename(const Folder& folder, const std::string& from, const std::string& to, bool overwrite) = 0;
    // The name goes (the link, not its target). NotFound.
    virtual Failure Remove(const Folder& folder, const std::string& name) = 0;
    // Makes the file under the name durable, its entry in the folder with it.
    virtual Failure SyncNamed(const Folder& folder, const std::string& name) = 0;
    // Whether another running program holds the file so that this program cannot have it alone:
    // one of this program's own saves (its lock, POSIX), or any program (Windows, where this
    // program's own files are opened for it alone). Unknown when that cannot be told.
    virtual LockState Probe(const Folder& folder, const std::string& name) = 0;

    virtual Failure InfoOf(const File& file, Info& info) = 0;
    // Up to size bytes from offset; got is 0 at the end.
    virtual Failure Read(const File& file, std::uint64_t offset, char* buffer, std::size_t size, std::size_t& got) = 0;
    // All the bytes, from offset. NoSpace, TooLarge: part of them may be written.
    virtual Failure WriteAt(const File& file, std::uint64_t offset, std::string_view bytes) = 0;
    // Space for size bytes without changing the file's size: nothing changes when it has them.
    // NoSpace when the disk has not; NotSupported where the file system cannot reserve.
    virtual Failure Reserve(const File& file, std::uint64_t size) = 0;
    virtual Failure Sync(const File& file) = 0;
    // Cuts or grows the file to size.
    virtual Failure SetSize(const File& file, std::uint64_t size) = 0;
    // Held for as long as the file is open, for Probe to see.
    virtual Failure Lock(const File& file) = 0;
    // Gives the new file what the one under (folder, name) has beyond its bytes, where the
    // platform's Replace does not carry it over itself: owner, mode, extended attributes and
    // ACLs, Windows' attributes and creation time (POSIX); the owner (Windows, whose
    // ReplaceFileW carries the rest). Fails (AccessDenied, NotSupported) when any of it cannot
    // be kept.
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
};

// The layer of the platform the program runs on.
FileSystem& PlatformFileSystem();

}  // namespace kov::detail
