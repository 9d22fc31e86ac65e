// The file boundary on Windows: wide-character names, the bytes as they are (no text mode,
// which would stop at a Ctrl-Z byte), "\r\n" written, and a save through a flushed temporary
// file that ReplaceFileW puts in place, keeping the old file's attributes, ACL and owner.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <random>
#include <string_view>

#include "config_file.h"
#include "read_policy.h"
#include "save_outcome.h"
#include "win32_calls.h"

namespace kov {

using detail::Calls;
using detail::Hash;

namespace {

std::string Utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

// The system's own words for an error code, without the trailing period and line end.
std::string Reason(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : L"Error " + std::to_wstring(error);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'.' || text.back() == L' '))
        text.pop_back();
    return Utf8(text);
}

class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = other.handle_;
            other.handle_ = INVALID_HANDLE_VALUE;
        }
        return *this;
    }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Close() {
        const bool closed = !valid() || CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

FileSnapshot Snapshot(const BY_HANDLE_FILE_INFORMATION& info) {
    FileSnapshot snapshot;
    snapshot.device = info.dwVolumeSerialNumber;
    snapshot.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    snapshot.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
    snapshot.modifiedSeconds = static_cast<std::int64_t>(ticks / 10000000);
    snapshot.modifiedNanoseconds = static_cast<std::int64_t>(ticks % 10000000) * 100;
    return snapshot;
}

Handle OpenForReading(const std::wstring& name) {
    // Others may go on reading, writing, renaming or deleting it meanwhile: a change shows in the
    // snapshot, which is compared before a save.
    return Handle(Calls().CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Reads at most limit + 1 bytes; false with the error set when reading fails.
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

// What is under the name now, its bytes read when it can be read whole.
detail::FileState Look(const std::wstring& name) {
    detail::FileState state;
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

FileSnapshot SnapshotOf(const detail::FileState& state) { return detail::SnapshotOf(state, ERROR_FILE_NOT_FOUND); }

bool IsFolder(const std::wstring& name) {
    const DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
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

std::wstring TemporaryName(const std::wstring& folder) {
    static std::mt19937_64 random{std::random_device{}()};
    return folder + L".kov.ini." + std::to_wstring(random() % 100000000) + L".tmp";
}

}  // namespace

ConfigFile::ConfigFile() {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(length, L'\0');
    if (length == 0 || GetCurrentDirectoryW(length, folder.data()) == 0) {
        folderError_ = static_cast<int>(GetLastError());
        displayName_ = std::string(kConfigFileName) + " in the current folder";
        return;
    }
    folder.resize(folder.find(L'\0'));
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    folder_ = folder;
    displayName_ = Utf8(folder_) + kConfigFileName;
}

ConfigFile::~ConfigFile() = default;

namespace {

// What ChangedSinceRead compares: identity, size and time, and the bytes' hash only when the
// bytes were read.
FileSnapshot Observed(const detail::FileState& state, bool withHash) {
    FileSnapshot snapshot = SnapshotOf(state);
    if (!withHash) {
        snapshot.hashed = false;
        snapshot.hash = 0;
    }
    return snapshot;
}

}  // namespace

OpenResult ConfigFile::Read(ConfigurationStore& store) {
    OpenResult result;
    result.outcome = OpenOutcome::Unreadable;
    if (folder_.empty()) {
        result.reason = "the current folder cannot be named: " + Reason(static_cast<DWORD>(folderError_));
        snapshot_ = FileSnapshot{};
        return result;
    }
    const std::wstring name = folder_ + L"kov.ini";
    result = ReadFrom(name, store);
    // A file not read whole is measured by what can be seen of it, for a later change.
    if (result.outcome != OpenOutcome::Read) snapshot_ = Observed(Look(name), false);
    return result;
}

OpenResult ConfigFile::ReadFrom(const std::wstring& name, ConfigurationStore& store) {
    OpenResult result;
    result.outcome = OpenOutcome::Unreadable;
    if (IsFolder(name)) {
        result.reason = "it is a folder, not a file";
        return result;
    }
    Handle file = OpenForReading(name);
    if (!file.valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            result.outcome = OpenOutcome::Missing;
            return result;
        }
        result.reason = Reason(error);
        result.replaceable = GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
        return result;
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        result.reason = "it is a device, not a file";
        return result;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info)) {
        result.reason = Reason(GetLastError());
        return result;
    }
    result.replaceable = true;
    std::string bytes;
    DWORD error = 0;
    if (!ReadWhole(file.get(), bytes, error)) {
        result.reason = Reason(error);
        return result;
    }
    if (bytes.size() > kMaxFileSize) {
        result.reason = detail::TooLargeReason();
        return result;
    }
    snapshot_ = Snapshot(info);
    detail::TakeBytes(store, bytes, result, snapshot_);
    return result;
}

bool ConfigFile::ChangedSinceRead() const {
    if (folder_.empty()) return false;
    return !(Observed(Look(folder_ + L"kov.ini"), snapshot_.hashed) == snapshot_);
}

SaveResult ConfigFile::Save(const std::string& text) {
    const std::wstring name = folder_.empty() ? std::wstring() : folder_ + L"kov.ini";
    const std::string bytes = WithCrLf(text);
    const detail::FileState before = Look(name);
    const auto settle = [&](DWORD error, std::string reason = {}) {
        SaveResult result = detail::Settle(reason.empty() ? Reason(error) : reason, before, Look(name), bytes);
        if (result.outcome == SaveOutcome::NotSavedChanged) snapshot_ = SnapshotOf(Look(name));
        return result;
    };
    if (folder_.empty())
        return settle(0, "the current folder cannot be named: " + Reason(static_cast<DWORD>(folderError_)));
    const DWORD attributes = GetFileAttributesW(name.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return settle(0, "it is a folder, not a file, so it is not replaced");
    // A file marked read-only stays as it is, even for a user who could replace it.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return settle(0, Reason(ERROR_ACCESS_DENIED) + " (the file is read-only)");

    std::wstring temporary;
    Handle file;
    for (int tries = 0; tries < 100 && !file.valid(); ++tries) {
        temporary = TemporaryName(folder_);
        file = Handle(Calls().CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid() && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (!file.valid()) return settle(GetLastError());
    const auto abandon = [&](DWORD error) {
        file.Close();
        SaveResult result = settle(error);
        // The temporary file may be the only copy of the new text; it goes only when the file
        // holds the old bytes or the new text.
        if (result.holds == FileHolds::OldBytes || result.holds == FileHolds::NewText ||
            result.outcome == SaveOutcome::NotSavedUnchanged)
            Calls().DeleteFileW(temporary.c_str());
        return result;
    };
    DWORD error = 0;
    if (!WriteWhole(file.get(), bytes, error)) return abandon(error);
    if (!Calls().FlushFileBuffers(file.get())) return abandon(GetLastError());
    if (!file.Close()) return abandon(GetLastError());
    // ReplaceFileW keeps the old file's attributes, ACL and owner; a new file is only moved.
    const BOOL placed = exists ? Calls().ReplaceFileW(name.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                              nullptr, nullptr)
                               : Calls().MoveFileExW(temporary.c_str(), name.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!placed) return abandon(GetLastError());
    snapshot_ = SnapshotOf(Look(name));
    return detail::SavedResult();
}

}  // namespace kov
