// What the file boundary's tests share on every platform: a fresh current folder per test,
// reading and writing files byte for byte, the text as the platform's file holds it, and links.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <utility>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>  // getpid, on Windows too
#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>
#else
#include <sys/stat.h>
#endif

#include "file_contents.h"
#include "file_types.h"
#ifdef _WIN32
#include "win32_newer.h"
#endif

namespace kov {

// A reason as the tests name it: what, and the kind of file or the problem it carries
// ("NotAFile Folder", "Refused NoSpace", "TooLarge"); also how a failing check shows it.
inline std::string Named(const Reason& reason) {
    static constexpr const char* kWhat[] = {"None", "Refused", "NotAFile", "TooLarge", "Utf16", "MarkedReadOnly",
                                            "StrangersLink", "FolderNotOpened", "WindowsFolder", "FolderDeleted", "FolderMoved",
                                            "ReplacedMeanwhile", "NoJournal", "NotSynced", "Declined"};
    static constexpr const char* kProblem[] = {"None", "NotFound", "Exists", "AccessDenied", "NoSpace", "TooLarge",
                                               "HeldByAnother", "NotSupported", "ReadOnlyDisk", "Other"};
    static constexpr const char* kKind[] = {"None", "Regular", "Folder", "Fifo", "Device", "Socket", "Other"};
    std::string name = kWhat[static_cast<int>(reason.what)];
    if (reason.what == Reason::What::NotAFile) name += std::string(" ") + kKind[static_cast<int>(reason.kind)];
    if (reason.failure) name += std::string(" ") + kProblem[static_cast<int>(reason.failure.problem)];
    return name;
}
inline std::ostream& operator<<(std::ostream& out, const Reason& reason) { return out << Named(reason); }

}  // namespace kov

namespace kov::testing {

namespace fs = std::filesystem;

#ifdef _WIN32
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif

// Whether the store holds a value of that name in that category.
inline bool HasValue(ConfigurationStore& store, const char* path, const char* name) {
    int32_t data = 0;
    uint32_t length = sizeof data;
    return store.GetValue(store.ResolveCategory(nullptr, path), name, &data, &length) == CONFIG_OK;
}

// Whether the program runs as Windows XP would: no function newer than XP to be found (on XP,
// or in the "_as_xp" tests).
inline bool AsWindowsXp() {
#ifdef _WIN32
    return detail::Newer().getKnownFolderPath == nullptr;
#else
    return false;
#endif
}

#ifdef _WIN32
// A folder Windows knows (FOLDERID_...); empty where it has none.
inline std::wstring Known(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    SHGetKnownFolderPath(id, 0, nullptr, &path);
    std::wstring folder = path != nullptr ? path : L"";
    CoTaskMemFree(path);
    return folder;
}
#endif

// The player's own folder for this program, where journals go when the game's folder takes none.
inline fs::path StateFolder() {
#ifdef _WIN32
    return fs::path(Known(FOLDERID_LocalAppData)) / L"kovconfig";
#else
    return fs::path(std::getenv("XDG_STATE_HOME")) / "kovconfig";
#endif
}

// The text as the file holds it: Windows' files have "\r\n" line ends.
inline std::string OnDisk(const std::string& text) {
    if (!kWindows) return text;
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

#ifdef _WIN32
// The Unix name of a Windows name under Wine; empty elsewhere.
inline std::string UnixName(const fs::path& path) {
    using Convert = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = convert != nullptr ? convert(fs::absolute(path).c_str()) : nullptr;
    if (name == nullptr) return {};
    std::string unix = name;
    HeapFree(GetProcessHeap(), 0, name);
    return unix;
}

// Under Wine, a Linux system call made directly: Wine makes no Unix links itself, deletes a
// link's target rather than the link, and cannot wait for the Unix programs it starts.
#ifdef __x86_64__
inline long LinuxCall(long number, const char* first, const char* second = nullptr) {
    long result;
    __asm__ volatile("syscall" : "=a"(result) : "a"(number), "D"(first), "S"(second) : "rcx", "r11", "memory");
    return result;
}
inline long LinuxSymlink(const char* target, const char* link) { return LinuxCall(88, target, link); }
inline long LinuxUnlink(const char* name) { return LinuxCall(87, name); }
#else  // i386's own entry and numbers
inline long LinuxCall(long number, const char* first, const char* second = nullptr) {
    long result;
    __asm__ volatile("int $0x80" : "=a"(result) : "a"(number), "b"(first), "c"(second) : "memory");
    return result;
}
inline long LinuxSymlink(const char* target, const char* link) { return LinuxCall(83, target, link); }
inline long LinuxUnlink(const char* name) { return LinuxCall(10, name); }
#endif
#endif

// A symbolic link, as the player's system makes one: under Wine, a Unix link.
inline bool MakeSymbolicLink(const std::string& target, const std::string& link) {
#ifdef _WIN32
    if (const std::string name = UnixName(link); !name.empty()) {
        std::string unixTarget = fs::path(target).is_absolute() ? UnixName(target) : target;
        for (char& c : unixTarget) c = c == '\\' ? '/' : c;
        return LinuxSymlink(unixTarget.c_str(), name.c_str()) == 0;
    }
    return CreateSymbolicLinkW(fs::path(link).c_str(), fs::path(target).c_str(),
                               SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
#else
    return ::symlink(target.c_str(), link.c_str()) == 0;
#endif
}

#ifdef _WIN32
// What Windows knows of the file at the end of a name's links (the standard library's link
// count and identity are not filled in here).
inline BY_HANDLE_FILE_INFORMATION FileInfo(const fs::path& path) {
    const HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    if (file != INVALID_HANDLE_VALUE && !GetFileInformationByHandle(file, &info)) info = {};
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return info;
}
#endif

// How many names the file has.
inline std::size_t LinkCount(const fs::path& path) {
#ifdef _WIN32
    return FileInfo(path).nNumberOfLinks;
#else
    return fs::hard_link_count(path);
#endif
}

// The file's identity as the file boundary records it: device and inode (volume and file ID).
inline std::pair<std::uint64_t, std::uint64_t> Identity(const fs::path& path) {
#ifdef _WIN32
    const BY_HANDLE_FILE_INFORMATION info = FileInfo(path);
    return {info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
#else
    struct stat status {};
    ::stat(path.c_str(), &status);
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
#endif
}

// Whether two names lead to one file.
inline bool SameFile(const fs::path& a, const fs::path& b) { return LinkCount(a) > 0 && Identity(a) == Identity(b); }

// Removes a folder and all in it. Files go before folders, so that a link never outlives its
// target (Wine cannot see such a link, nor remove it).
inline void RemoveTree(const fs::path& folder) {
    std::error_code ignored;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
    std::vector<fs::path> folders;
    for (const auto& entry : fs::directory_iterator(folder, ignored)) {
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) {
            folders.push_back(entry.path());
            continue;
        }
#ifdef _WIN32
        if (const std::string name = UnixName(entry.path()); !name.empty()) {
            LinuxUnlink(name.c_str());
            continue;
        }
#endif
        fs::remove(entry.path(), ignored);
    }
    for (const fs::path& inner : folders) RemoveTree(inner);
    fs::remove(folder, ignored);
}

// Each test in a new folder that is the current one.
class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = test->name();
        std::replace(name.begin(), name.end(), '/', '-');  // a parameterized test's
        folder_ = fs::temp_directory_path() / ("kovconfig-" + name + "-" + std::to_string(::getpid()));
        RemoveTree(folder_);
        fs::create_directories(folder_);
        fs::current_path(folder_);
    }
    void TearDown() override {
        fs::current_path(previous_);
        RemoveTree(folder_);
    }
public:
    // What is in the folder besides kov.ini: a save must leave nothing behind.
    std::vector<std::string> Others() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            if (entry.path().filename() != "kov.ini") names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

protected:
    fs::path folder_;
    fs::path previous_;
};

}  // namespace kov::testing
