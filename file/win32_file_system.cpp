// The primitives on Windows: names in the extended form (no 260-character limit), bytes as they
// are (no text mode, which would stop at a Ctrl-Z), ReplaceFileW with a backup beside the file,
// the folder held since the start checked by its identity, the Windows folders, and the copy
// Windows' file virtualization keeps of an old 32-bit game's file (the one such a game reads).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <aclapi.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <initializer_list>
#include <type_traits>

#include "file_system.h"
#include "win32_newer.h"
#include "win32_text.h"

namespace kov::detail {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// A file held by another program (the game, an editor, a virus scanner) is waited for about a second.
constexpr int kTries = 10;
constexpr DWORD kPauseMilliseconds = 100;
constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kTicksTo1970 = 116444736000000000;  // from 1601, where Windows counts
constexpr std::wstring_view kExtended = L"\\\\?\\";
constexpr std::wstring_view kExtendedUnc = L"\\\\?\\UNC\\";
// Declared here, as XP's headers (_WIN32_WINNT 0x0501) do not; FILE_ALLOCATION_INFO is one
// LARGE_INTEGER, the size to allocate.
constexpr int kFileAllocationInfo = 5;             // FILE_INFO_BY_HANDLE_CLASS
constexpr DWORD kFileNameNormalizedDosVolume = 0;  // FILE_NAME_NORMALIZED | VOLUME_NAME_DOS

Problem ProblemOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: return Problem::NotFound;
        case ERROR_FILE_EXISTS: case ERROR_ALREADY_EXISTS: return Problem::Exists;
        case ERROR_ACCESS_DENIED: return Problem::AccessDenied;
        case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL: return Problem::NoSpace;
        case ERROR_FILE_TOO_LARGE: return Problem::TooLarge;
        // ERROR_UNABLE_TO_REMOVE_REPLACED: the game holds the old file.
        case ERROR_SHARING_VIOLATION: case ERROR_LOCK_VIOLATION: case ERROR_UNABLE_TO_REMOVE_REPLACED:
            return Problem::HeldByAnother;
        // ERROR_CALL_NOT_IMPLEMENTED: Wine, for the reservation of space.
        case ERROR_NOT_SUPPORTED: case ERROR_CALL_NOT_IMPLEMENTED: case ERROR_INVALID_FUNCTION:
            return Problem::NotSupported;
        case ERROR_WRITE_PROTECT: return Problem::ReadOnlyDisk;
        default: return Problem::Other;
    }
}

Failure Fail(DWORD error) { return {ProblemOf(error), static_cast<long>(error)}; }

// A call tried again while it fails as `held` says: when a file is held open by another program.
template <typename Call, typename Held>
Failure WhileHeld(const Call& call, const Held& held) {
    for (int tries = 1;; ++tries) {
        const Failure failure = call();
        if (!failure || !held(static_cast<DWORD>(failure.code)) || tries >= kTries) return failure;
        Sleep(kPauseMilliseconds);
    }
}
bool Shared(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }
Failure Checked(BOOL done) { return done ? Failure{} : Fail(GetLastError()); }
HANDLE Native(const Held& held) { return reinterpret_cast<HANDLE>(held.native); }

std::shared_ptr<Held> Hold(HANDLE handle, std::string path = {}) {
    return {new Held{reinterpret_cast<std::intptr_t>(handle), std::move(path)}, [](Held* held) {
                if (Native(*held) != INVALID_HANDLE_VALUE) CloseHandle(Native(*held));
                delete held;
            }};
}

// An absolute name in the extended form ("\\?\C:\...", "\\?\UNC\server\share\..."), as it is
// when it already has it.
std::wstring Extended(const std::wstring& absolute) {
    if (absolute.starts_with(kExtended)) return absolute;
    if (absolute.starts_with(L"\\\\")) return std::wstring(kExtendedUnc) + absolute.substr(2);
    return std::wstring(kExtended) + absolute;
}

// The name as a player writes it: without the extended prefix.
std::wstring Plain(std::wstring_view extended) {
    if (extended.starts_with(kExtendedUnc)) return L"\\\\" + std::wstring(extended.substr(kExtendedUnc.size()));
    if (extended.starts_with(kExtended)) return std::wstring(extended.substr(kExtended.size()));
    return std::wstring(extended);
}

std::wstring WithSeparator(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder;
}

// Whether two names are the same name, as Windows compares them (case does not count).
bool SameName(std::wstring_view a, std::wstring_view b) {
    if (const auto ordinal = Newer().compareStringOrdinal)
        return ordinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
    // XP: upper case, character by character, as the file system compares names.
    std::wstring first(a), second(b);
    CharUpperBuffW(first.data(), static_cast<DWORD>(first.size()));
    CharUpperBuffW(second.data(), static_cast<DWORD>(second.size()));
    return first == second;
}

// Empty where Windows has no known folders (XP).
std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    std::wstring folder;
    const auto known = Newer().getKnownFolderPath;
    if (known != nullptr && SUCCEEDED(known(id, 0, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    return folder;
}

// Where Windows keeps an old 32-bit program's copy of a file it may not write: for a name under
// Program Files, Program Files (x86), the Windows folder or ProgramData, the same path below
// %LOCALAPPDATA%\VirtualStore; empty for a name anywhere else, and on XP.
std::wstring VirtualStoreName(const std::wstring& name) {
    const std::wstring local = KnownFolder(FOLDERID_LocalAppData);
    if (local.empty() || name.starts_with(kExtendedUnc)) return {};
    for (const KNOWNFOLDERID* root :
         {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86, &FOLDERID_Windows, &FOLDERID_ProgramData}) {
        const std::wstring known = KnownFolder(*root), folder = WithSeparator(Extended(known));
        if (known.empty() || name.size() <= folder.size() || !SameName(std::wstring_view(name).substr(0, folder.size()), folder))
            continue;
        // The path without its drive ("C:\"), below the store.
        const std::wstring plain = Plain(name);
        return WithSeparator(Extended(local)) + L"VirtualStore\\" + plain.substr(plain.find(L'\\') + 1);
    }
    return {};
}

std::wstring NameOf(const Folder& folder, const std::string& name) { return Extended(Wide(folder->path + name)); }

Failure Opened(HANDLE handle, File& file) {
    if (handle == INVALID_HANDLE_VALUE) return Fail(GetLastError());
    file = Hold(handle);
    return {};
}

// A folder by its absolute name, made (with every folder above it) when asked.
Failure FolderNamed(const std::wstring& absolute, bool make, Folder& folder) {
    const std::wstring name = Extended(absolute);
    for (std::size_t at = name.find(L'\\', std::wstring_view(L"\\\\?\\C:\\").size()); make && at != std::wstring::npos;
         at = name.find(L'\\', at + 1))
        if (!CreateDirectoryW(name.substr(0, at).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return Fail(GetLastError());
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Fail(GetLastError());
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return Fail(ERROR_DIRECTORY);
    folder = Hold(INVALID_HANDLE_VALUE, Utf8(Plain(name)));
    return {};
}

Info InfoFrom(HANDLE file, const BY_HANDLE_FILE_INFORMATION& data) {
    Info info;
    info.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0                     ? Kind::Folder
                : file != INVALID_HANDLE_VALUE && GetFileType(file) != FILE_TYPE_DISK ? Kind::Device
                                                                                      : Kind::Regular;
    info.device = data.dwVolumeSerialNumber;
    info.inode = (static_cast<std::uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow;
    info.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    const FILETIME& written = data.ftLastWriteTime;  // in ticks of 100 ns
    const std::int64_t ticks =
        static_cast<std::int64_t>((std::uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime) - kTicksTo1970;
    info.modifiedSeconds = ticks / kTicksPerSecond;
    info.modifiedNanoseconds = ticks % kTicksPerSecond * 100;
    info.links = data.nNumberOfLinks;
    info.readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    return info;
}

// The identity of what is under a name now, or of a held handle.
bool Identity(HANDLE handle, BY_HANDLE_FILE_INFORMATION& data) {
    return handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &data);
}

// A file or folder opened to look at it (or, with GENERIC_WRITE, to flush it), sharing everything.
HANDLE OpenAny(const std::wstring& name, DWORD access = FILE_READ_ATTRIBUTES) {
    return CreateFileW(name.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// What is under the name made durable.
Failure Flushed(const std::wstring& name) {
    const HANDLE handle = OpenAny(name, GENERIC_WRITE);
    if (handle == INVALID_HANDLE_VALUE) return Fail(GetLastError());
    const Failure failure = Checked(FlushFileBuffers(handle));
    CloseHandle(handle);
    return failure;
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

// Whether the file belongs to another owner than this program's user (a new file would not),
// and that owner's account name, where it has one.
bool OwnedByAnother(const std::wstring& name, std::wstring* account = nullptr) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(name.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return false;  // nothing known of an owner: nothing to keep
    HANDLE token = nullptr;
    union {
        TOKEN_USER user;
        BYTE room[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } me{};
    DWORD size = 0;
    const bool known = OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
                       GetTokenInformation(token, TokenUser, &me, sizeof me, &size);
    if (token != nullptr) CloseHandle(token);
    const bool another = owner != nullptr && known && !EqualSid(owner, me.user.User.Sid);
    wchar_t found[256], domain[256];
    DWORD foundSize = 256, domainSize = 256;
    SID_NAME_USE use;
    if (another && account != nullptr && LookupAccountSidW(nullptr, owner, found, &foundSize, domain, &domainSize, &use))
        *account = found;
    LocalFree(descriptor);
    return another;
}

class Win32FileSystem final : public FileSystem {
public:
    Failure OpenCurrentFolder(Folder& folder) override {
        const DWORD length = GetCurrentDirectoryW(0, nullptr);
        std::wstring name(length, L'\0');
        if (length == 0 || GetCurrentDirectoryW(length, name.data()) == 0) return Fail(GetLastError());
        name.resize(name.find(L'\0'));
        if (name.back() != L'\\') name += L'\\';
        // Held from the start: a save checks that the folder under this name is still this one.
        const HANDLE held = OpenAny(Extended(name));
        if (held == INVALID_HANDLE_VALUE) return Fail(GetLastError());
        folder = Hold(held, Utf8(Plain(name)));
        return {};
    }

    // The Windows folder or one of its system folders: never the game's (a program started where
    // its folder could not be handed over starts here).
    bool IsSystemFolder(const Folder& folder) override {
        wchar_t path[MAX_PATH + 1];
        const auto same = [&](UINT length) {
            return length > 0 && length <= MAX_PATH &&
                   SameName(NameOf(folder, {}), WithSeparator(Extended(std::wstring(path, length))));
        };
        return same(GetWindowsDirectoryW(path, MAX_PATH + 1)) || same(GetSystemDirectoryW(path, MAX_PATH + 1)) ||
               same(GetSystemWow64DirectoryW(path, MAX_PATH + 1));
    }

    FolderState CheckFolder(const Folder& folder) override {
        BY_HANDLE_FILE_INFORMATION held{}, now{};
        if (!Identity(Native(*folder), held)) return FolderState::Moved;
        const HANDLE named = OpenAny(NameOf(folder, {}));
        const bool same = Identity(named, now) && now.dwVolumeSerialNumber == held.dwVolumeSerialNumber &&
                          now.nFileIndexHigh == held.nFileIndexHigh && now.nFileIndexLow == held.nFileIndexLow;
        if (named != INVALID_HANDLE_VALUE) CloseHandle(named);
        return same ? FolderState::Usable : FolderState::Moved;
    }

    Failure OpenStateFolder(bool make, Folder& folder) override {
        wchar_t local[MAX_PATH];  // %LOCALAPPDATA%, on XP too
        return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local))
                   ? FolderNamed(WithSeparator(local) + L"kovconfig\\", make, folder)
                   : Fail(ERROR_PATH_NOT_FOUND);
    }

    Failure OpenVirtualStore(const Folder& folder, bool make, Folder& copy) override {
        const std::wstring name = VirtualStoreName(NameOf(folder, {}));
        return name.empty() ? Fail(ERROR_NOT_SUPPORTED) : FolderNamed(name, make, copy);
    }

    Failure List(const Folder& folder, std::vector<std::string>& names) override {
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW(NameOf(folder, "*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return Fail(GetLastError());
        do {
            const std::wstring_view name = found.cFileName;
            if (name != L"." && name != L"..") names.push_back(Utf8(name));
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return {};
    }

    Failure SyncFolder(const Folder& folder) override {
        Flushed(NameOf(folder, {}));  // where Windows allows it; no file system is known to need it for a rename
        return {};
    }

    // A link is the player's own to make on Windows, and no program here runs with raised rights
    // of Unix's kind: every link is followed.
    Failure Resolve(const Folder& start, const std::string& startName, Folder& folder, std::string& name,
                    Followed&) override {
        folder = start;
        name = startName;
        const HANDLE file = OpenAny(NameOf(start, startName));
        if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND ? Failure{} : Fail(GetLastError());
        // XP has no links to files: the name is the file's own there.
        std::wstring final(32768, L'\0');
        const auto finalName = Newer().getFinalPathNameByHandle;
        const DWORD length = finalName != nullptr ? finalName(file, final.data(), static_cast<DWORD>(final.size()),
                                                              kFileNameNormalizedDosVolume)
                                                  : 0;
        CloseHandle(file);
        if (length == 0 || length >= final.size()) return {};
        final = Plain(final.substr(0, length));
        const std::size_t leaf = final.find_last_of(L'\\') + 1;
        folder = Hold(INVALID_HANDLE_VALUE, Utf8(std::wstring_view(final).substr(0, leaf)));
        name = Utf8(std::wstring_view(final).substr(leaf));
        return {};
    }

    bool RaisedRights() override { return false; }

    Failure Look(const Folder& folder, const std::string& name, Info& info) override {
        // Its attributes even where it cannot be opened to tell its identity.
        BY_HANDLE_FILE_INFORMATION data{};
        data.dwFileAttributes = GetFileAttributesW(NameOf(folder, name).c_str());
        if (data.dwFileAttributes == INVALID_FILE_ATTRIBUTES) return Fail(GetLastError());
        data.nNumberOfLinks = 1;
        const HANDLE file = OpenAny(NameOf(folder, name));
        Identity(file, data);
        info = InfoFrom(file, data);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        return {};
    }

    Failure Open(const Folder& folder, const std::string& name, bool forWriting, File& file) override {
        return WhileHeld(
            [&] {
                return Opened(CreateFileW(NameOf(folder, name).c_str(), GENERIC_READ | (forWriting ? GENERIC_WRITE : 0),
                                          kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
                              file);
            },
            [&](DWORD error) { return forWriting && Shared(error); });
    }

    // Opened for this program alone: the next start sees that a running save holds it.
    Failure CreateNew(const Folder& folder, const std::string& name, bool hidden, File& file) override {
        return Opened(CreateFileW(NameOf(folder, name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL, nullptr),
                      file);
    }

    Failure CreateUnnamed(const Folder&, bool, File&) override { return Fail(ERROR_NOT_SUPPORTED); }
    Failure GiveName(const File&, const Folder&, const std::string&) override { return Fail(ERROR_NOT_SUPPORTED); }

    // No REPLACEFILE_IGNORE_MERGE_ERRORS: an ACL or attributes that cannot be carried over are a
    // reason to write in place, not to drop them. A backup name, so that Wine never deletes the
    // old file before the new one is in place. Tried again only while nothing was moved.
    Failure Replace(const Folder& folder, const std::string& from, const std::string& to, const std::string& backup) override {
        const Failure failure = WhileHeld(
            [&] {
                return Checked(ReplaceFileW(NameOf(folder, to).c_str(), NameOf(folder, from).c_str(),
                                            NameOf(folder, backup).c_str(), 0, nullptr, nullptr));
            },
            [](DWORD error) { return Shared(error) || error == ERROR_UNABLE_TO_REMOVE_REPLACED; });
        if (!failure) DeleteFileW(NameOf(folder, backup).c_str());
        return failure;
    }

    // Windows refuses to move over a file held open: one another program made the moment the old
    // one was moved aside (a virus scanner, an indexer) is waited for.
    Failure Rename(const Folder& folder, const std::string& from, const std::string& to, bool overwrite) override {
        return WhileHeld(
            [&] {
                return Checked(MoveFileExW(NameOf(folder, from).c_str(), NameOf(folder, to).c_str(),
                                           (overwrite ? MOVEFILE_REPLACE_EXISTING : 0) | MOVEFILE_WRITE_THROUGH));
            },
            [&](DWORD error) { return Shared(error) || (overwrite && error == ERROR_ACCESS_DENIED); });
    }

    Failure Remove(const Folder& folder, const std::string& name) override {
        return Checked(DeleteFileW(NameOf(folder, name).c_str()));
    }

    Failure SyncNamed(const Folder& folder, const std::string& name) override { return Flushed(NameOf(folder, name)); }

    LockState Probe(const Folder& folder, const std::string& name) override {
        const HANDLE alone =
            CreateFileW(NameOf(folder, name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (alone == INVALID_HANDLE_VALUE) return ProblemOf(GetLastError()) == Problem::HeldByAnother ? LockState::Held : LockState::Unknown;
        CloseHandle(alone);
        return LockState::Free;
    }

    Failure InfoOf(const File& file, Info& info) override {
        BY_HANDLE_FILE_INFORMATION data{};
        if (!Identity(Native(*file), data)) return Fail(GetLastError());
        info = InfoFrom(Native(*file), data);
        return {};
    }

    Failure Read(const File& file, std::uint64_t offset, char* buffer, std::size_t size, std::size_t& got) override {
        OVERLAPPED at = At(offset);
        DWORD count = 0;  // none at the end
        const bool read = ReadFile(Native(*file), buffer, static_cast<DWORD>(size), &count, &at) || GetLastError() == ERROR_HANDLE_EOF;
        got = count;
        return read ? Failure{} : Fail(GetLastError());
    }

    Failure WriteAt(const File& file, std::uint64_t offset, std::string_view bytes) override {
        while (!bytes.empty()) {
            OVERLAPPED at = At(offset);
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
            if (!WriteFile(Native(*file), bytes.data(), chunk, &written, &at)) return Fail(GetLastError());
            bytes.remove_prefix(written);
            offset += written;
        }
        return {};
    }

    Failure Reserve(const File& file, std::uint64_t size) override {
        LARGE_INTEGER now{};
        // An allocation below the size would cut the file.
        if (!GetFileSizeEx(Native(*file), &now)) return Fail(GetLastError());
        if (size <= static_cast<std::uint64_t>(now.QuadPart)) return {};
        const auto set = Newer().setFileInformationByHandle;
        if (set == nullptr) return Fail(ERROR_NOT_SUPPORTED);  // XP: only an early answer on a full disk is lost
        LARGE_INTEGER reserve{};
        reserve.QuadPart = static_cast<LONGLONG>(size);
        if (set(Native(*file), kFileAllocationInfo, &reserve, sizeof reserve)) return {};
        const DWORD error = GetLastError();
        return error == ERROR_INVALID_PARAMETER ? Fail(ERROR_NOT_SUPPORTED) : Fail(error);
    }

    Failure Sync(const File& file) override { return Checked(FlushFileBuffers(Native(*file))); }

    Failure SetSize(const File& file, std::uint64_t size) override {
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(size);
        return Checked(SetFilePointerEx(Native(*file), end, nullptr, FILE_BEGIN) && SetEndOfFile(Native(*file)));
    }

    Failure Lock(const File&) override { return {}; }  // CreateNew shares it with no one

    // ReplaceFileW carries the attributes, the ACL and the creation time; only an owner other
    // than this program's user cannot be given to a new file.
    Failure CopyMetadata(const Folder& folder, const std::string& name, const File&) override {
        return OwnedByAnother(NameOf(folder, name)) ? Fail(ERROR_ACCESS_DENIED) : Failure{};
    }

    Failure Close(File& file) override {
        const HANDLE handle = Native(*file);
        file->native = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);
        return Checked(CloseHandle(handle));
    }

    std::string OtherOwner(const Folder& folder, const std::string& name) override {
        std::wstring account;
        OwnedByAnother(NameOf(folder, name), &account);
        return Utf8(account);
    }

    // Asked in that language only: with none named, Windows would answer in its own.
    std::string SystemWords(long code, std::string_view language) override {
        LANGID asked = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
        if (language != "en") {
            if (InterfaceLanguage() != language) return {};
            asked = GetUserDefaultUILanguage();
        }
        wchar_t* buffer = nullptr;
        const DWORD length =
            FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(code), asked, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
        std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
        LocalFree(buffer);
        while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'.' || text.back() == L' '))
            text.pop_back();
        return Utf8(text);
    }

    Os System() const override { return Os::Windows; }
};

}  // namespace

NewerFunctions& Newer() {
    static NewerFunctions functions = [] {
        const auto find = [](auto& function, const wchar_t* module, const char* name) {
            const HMODULE loaded = LoadLibraryW(module);  // the system's own
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                loaded != nullptr ? reinterpret_cast<void*>(GetProcAddress(loaded, name)) : nullptr);
        };
        NewerFunctions found{};
        find(found.getFinalPathNameByHandle, L"kernel32.dll", "GetFinalPathNameByHandleW");
        find(found.setFileInformationByHandle, L"kernel32.dll", "SetFileInformationByHandle");
        find(found.compareStringOrdinal, L"kernel32.dll", "CompareStringOrdinal");
        find(found.getKnownFolderPath, L"shell32.dll", "SHGetKnownFolderPath");
        return found;
    }();
    return functions;
}

FileSystem& PlatformFileSystem() { static Win32FileSystem platform; return platform; }

}  // namespace kov::detail
