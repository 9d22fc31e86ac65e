// What the Windows side of the file boundary does with handles and names, shared by the save and
// by the recovery at start: reading and writing whole, flushing, writing over a file in place,
// looking at a file, following links to the file a save writes, and this program's own names.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "config_file.h"
#include "save_outcome.h"

namespace kov::detail::win32 {

inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle& operator=(Handle&& other) noexcept;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Close();

private:
    HANDLE handle_;
};

std::uint64_t Index(const BY_HANDLE_FILE_INFORMATION& info);
FileSnapshot Snapshot(const BY_HANDLE_FILE_INFORMATION& info);
FileSnapshot SnapshotOf(const FileState& state);

// Others may go on reading, writing, renaming or deleting it meanwhile.
Handle OpenForReading(const std::wstring& name);
// Reads at most kMaxFileSize + 1 bytes from the handle's position; false with the error set.
bool ReadWhole(HANDLE file, std::string& bytes, DWORD& error);
bool WriteWhole(HANDLE file, std::string_view bytes, DWORD& error);
bool Exists(const std::wstring& name);
// What is under the name now, its bytes read when it can be read whole.
FileState Look(const std::wstring& name);

// Puts bytes over an open file in place, currently currentSize long, so that at no moment does it
// read as a mixture: nothing changes its size before the bytes are written, and a shorter text
// goes out padded with line ends to the current size in the same write, cut to its own size
// after. 0, or the error.
DWORD Overwrite(HANDLE file, std::string_view bytes, std::uint64_t currentSize);

// Sharing or lock violations: another program holds the file.
bool HeldByAnother(DWORD error);
// The reason for an error, worded for the player when another program holds the file.
std::string ReasonFor(DWORD error);

// This program's own files beside a file, hidden, named after it: the temporary file of a save,
// the backup of a replacement.
std::wstring TemporaryName(const std::wstring& file);
std::wstring BackupName(const std::wstring& file);

// What a save writes to: the final file of any links (extended name).
struct Target {
    std::wstring name;
    bool exists = false;
    BY_HANDLE_FILE_INFORMATION info{};
};
// Follows links from name to the file they end at; empty, or why not.
std::string Resolve(const std::wstring& name, Target& target);

// Makes the folders of a name, each that is missing; 0 or the error.
DWORD MakeFolders(const std::wstring& name);
// This program's folder of the user's own: %LOCALAPPDATA%\kovconfig\ (extended, with its
// separator); empty when there is none.
std::wstring StateFolder();
// Makes the names in a folder durable where Windows allows it.
void FlushFolder(const std::wstring& folder);

}  // namespace kov::detail::win32
