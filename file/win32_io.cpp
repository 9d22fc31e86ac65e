// Handles and names on Windows.
#include "win32_io.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <random>

#include "journal.h"
#include "read_policy.h"
#include "win32_calls.h"
#include "win32_paths.h"

namespace kov::detail::win32 {

Handle& Handle::operator=(Handle&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = INVALID_HANDLE_VALUE;
    }
    return *this;
}

bool Handle::Close() {
    const bool closed = !valid() || CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
}

std::uint64_t Index(const BY_HANDLE_FILE_INFORMATION& info) {
    return (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
}

FileSnapshot Snapshot(const BY_HANDLE_FILE_INFORMATION& info) {
    FileSnapshot snapshot;
    snapshot.device = info.dwVolumeSerialNumber;
    snapshot.inode = Index(info);
    snapshot.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
    snapshot.modifiedSeconds = static_cast<std::int64_t>(ticks / 10000000);
    snapshot.modifiedNanoseconds = static_cast<std::int64_t>(ticks % 10000000) * 100;
    return snapshot;
}

FileSnapshot SnapshotOf(const FileState& state) { return detail::SnapshotOf(state, ERROR_FILE_NOT_FOUND); }

Handle OpenForReading(const std::wstring& name) {
    return Handle(Calls().CreateFileW(name.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool ReadWhole(HANDLE file, std::string& bytes, DWORD& error) {
    char block[64 * 1024];
    for (;;) {
        DWORD count = 0;
        if (!Calls().ReadFile(file, block, sizeof block, &count, nullptr)) {
            error = GetLastError();
            return false;
        }
        if (count == 0) return true;
        bytes.append(block, count);
        if (bytes.size() > kMaxFileSize) return true;
    }
}

bool WriteWhole(HANDLE file, std::string_view bytes, DWORD& error) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!Calls().WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
            error = GetLastError();
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool Exists(const std::wstring& name) { return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

FileState Look(const std::wstring& name) {
    FileState state;
    if (name.empty()) return state;
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return state;
    state.exists = true;
    Handle file = OpenForReading(name);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &info)) return state;
    state.identity = Snapshot(info);
    std::string bytes;
    DWORD error = 0;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && ReadWhole(file.get(), bytes, error) && bytes.size() <= kMaxFileSize)
        state.bytes = std::move(bytes);
    return state;
}

DWORD Overwrite(HANDLE file, std::string_view bytes, std::uint64_t currentSize) {
    const std::string padded = PaddedOver(bytes, currentSize);
    DWORD error = 0;
    if (!SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return GetLastError();
    if (!WriteWhole(file, padded, error)) return error;
    if (padded.size() != bytes.size()) {
        // The padded text is on disk before the cut, so a power cut never leaves the old tail.
        if (!Calls().FlushFileBuffers(file)) return GetLastError();
        FILE_END_OF_FILE_INFO end{};
        end.EndOfFile.QuadPart = static_cast<LONGLONG>(bytes.size());
        if (!Calls().SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end)) return GetLastError();
    }
    return Calls().FlushFileBuffers(file) ? 0 : GetLastError();
}

bool HeldByAnother(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

std::string ReasonFor(DWORD error) {
    if (HeldByAnother(error))
        return "another program has it open (the game, or an editor): close that program and press OK again";
    return Reason(error);
}

std::wstring TemporaryName(const std::wstring& file) {
    static std::mt19937_64 random{std::random_device{}()};
    static constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::wstring name = FolderOf(file) + L"." + LeafOf(file) + L".";
    for (int i = 0; i < 8; ++i) name += kLetters[random() % (std::size(kLetters) - 1)];
    return name;
}

std::wstring BackupName(const std::wstring& file) { return FolderOf(file) + L"." + LeafOf(file) + L".backup"; }

std::string Resolve(const std::wstring& name, Target& target) {
    target.name = name;
    Handle file(Calls().CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return {};
        return ReasonFor(error);
    }
    if (!GetFileInformationByHandle(file.get(), &target.info)) return Reason(GetLastError());
    target.exists = true;
    std::wstring final(32768, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(file.get(), final.data(), static_cast<DWORD>(final.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length > 0 && length < final.size()) target.name = Extended(final.substr(0, length));
    return {};
}

DWORD MakeFolders(const std::wstring& name) {
    const std::wstring folder = FolderOf(name);
    for (std::size_t at = folder.find(L'\\', std::wstring_view(L"\\\\?\\C:\\").size()); at != std::wstring::npos;
         at = folder.find(L'\\', at + 1)) {
        const std::wstring part = folder.substr(0, at);
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return GetLastError();
    }
    return 0;
}

std::wstring StateFolder() {
    wchar_t* path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    if (folder.empty()) return folder;
    if (folder.back() != L'\\') folder += L'\\';
    return Extended(folder) + L"kovconfig\\";
}

void FlushFolder(const std::wstring& folder) {
    Handle handle(CreateFileW(folder.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                              nullptr));
    if (handle.valid()) Calls().FlushFileBuffers(handle.get());  // not every file system allows it
}

}  // namespace kov::detail::win32
