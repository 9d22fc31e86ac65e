// The file boundary on Windows: wide-character names in the extended form (no 260-character
// limit), the bytes as they are (no text mode, which would stop at a Ctrl-Z byte), "\r\n"
// written. A save goes to a flushed temporary file that ReplaceFileW puts in place with a backup
// beside it, each documented failure recovered from what is on disk; where replacing would lose
// something (other hard links, another owner, a folder that takes no new file, attributes that
// cannot be merged) the file is written in place. Links are followed to the final file, the
// starting folder is held and checked, and an old game's VirtualStore copy is the file it reads.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <aclapi.h>

#include <chrono>
#include <random>
#include <string_view>
#include <thread>
#include <vector>

#include "config_file.h"
#include "journal_win32.h"
#include "read_policy.h"
#include "save_outcome.h"
#include "win32_calls.h"
#include "win32_io.h"
#include "win32_paths.h"

namespace kov {

using detail::Calls;
using detail::Extended;
using detail::Hash;
using detail::Plain;
using detail::Reason;
using detail::Utf8;
using namespace detail::win32;

namespace {

// How long a file held by another program (the game, an editor, a virus scanner) is waited for.
constexpr auto kPatience = std::chrono::milliseconds(1000);
constexpr auto kRetryPause = std::chrono::milliseconds(100);
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

std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// The user this program runs as, to compare with a file's owner.
std::vector<BYTE> CurrentUser() {
    HANDLE token = nullptr;
    std::vector<BYTE> user;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return user;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    user.resize(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, user.data(), size, &size)) user.clear();
    CloseHandle(token);
    return user;
}

// Whether the file belongs to another owner than this program's user: a new file would not.
bool OwnedByAnother(const std::wstring& name) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (Calls().GetNamedSecurityInfoW(name.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION,
                                      &owner, nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;  // nothing known of an owner: nothing to keep
    const std::vector<BYTE> user = CurrentUser();
    const bool another = owner != nullptr && !user.empty() &&
                         !EqualSid(owner, reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid);
    LocalFree(descriptor);
    return another;
}

enum class Outcome { Saved, Failed, NotPossible, Declined };

struct Attempt {
    Outcome outcome;
    std::string reason;      // Failed: why
    DWORD error = 0;         // Failed, NotPossible: the system's code, when there is one
    std::string oldBytesAt;  // Failed: where the old bytes are kept, when not in the file
};

Attempt Failed(DWORD error) { return {Outcome::Failed, ReasonFor(error), error, {}}; }
Attempt NotPossible(DWORD error = 0) { return {Outcome::NotPossible, {}, error, {}}; }

// The temporary file, holding the bytes and flushed, or why not.
Attempt WriteTemporary(const std::wstring& file, const std::string& bytes, std::wstring& temporary) {
    Handle out;
    for (int tries = 0; tries < 100 && !out.valid(); ++tries) {
        temporary = TemporaryName(file);
        out = Handle(Calls().CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_HIDDEN, nullptr));
        if (!out.valid() && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (!out.valid()) {
        const DWORD error = GetLastError();
        // A folder that takes no new file: the file itself can still take the text.
        return error == ERROR_ACCESS_DENIED ? NotPossible(error) : Failed(error);
    }
    DWORD error = 0;
    bool written = WriteWhole(out.get(), bytes, error);
    if (written && !Calls().FlushFileBuffers(out.get())) {
        error = GetLastError();
        written = false;
    }
    if (!out.Close() && written) {
        error = GetLastError();
        written = false;
    }
    if (written) return {Outcome::Saved, {}, 0, {}};
    Calls().DeleteFileW(temporary.c_str());
    return Failed(error);
}

// A new file: the temporary file moved to its name, never over a file that appeared meanwhile.
Attempt Create(const Target& target, const std::string& bytes) {
    std::wstring temporary;
    Attempt attempt = WriteTemporary(target.name, bytes, temporary);
    if (attempt.outcome != Outcome::Saved) return attempt;
    if (Calls().MoveFileExW(temporary.c_str(), target.name.c_str(), MOVEFILE_WRITE_THROUGH)) {
        SetFileAttributesW(target.name.c_str(), FILE_ATTRIBUTE_NORMAL);
        return attempt;
    }
    const DWORD error = GetLastError();
    Calls().DeleteFileW(temporary.c_str());
    return Failed(error);
}

enum class Holds { Old, New, Neither };

// After ReplaceFileW failed, puts what is on disk right: the file holds its old bytes or the new
// text wherever that can be done, and no copy is deleted while it is the only one.
Holds Recover(const std::wstring& name, const std::wstring& temporary, const std::wstring& backup,
              const detail::FileState& before, const std::string& bytes) {
    const auto holdsOld = [&](const detail::FileState& state) {
        return state.exists && (before.bytes ? state.bytes == before.bytes
                                             : state.identity.inode == before.identity.inode &&
                                                   state.identity.size == before.identity.size);
    };
    const auto put = [&](const std::wstring& from, DWORD flags) {
        return Exists(from) && Calls().MoveFileExW(from.c_str(), name.c_str(), flags | MOVEFILE_WRITE_THROUGH);
    };
    const detail::FileState now = Look(name);
    if (now.bytes == bytes) {
        Calls().DeleteFileW(temporary.c_str());
        if (holdsOld(Look(backup))) Calls().DeleteFileW(backup.c_str());
        return Holds::New;
    }
    if (holdsOld(now)) {
        Calls().DeleteFileW(temporary.c_str());
        if (holdsOld(Look(backup))) Calls().DeleteFileW(backup.c_str());  // a second copy
        return Holds::Old;
    }
    // No file under the name (1176), or one that another program made the moment the old one
    // was moved aside: the new text goes there, else the old bytes come back.
    const DWORD replace = now.exists ? MOVEFILE_REPLACE_EXISTING : 0;
    if (put(temporary, replace)) {
        if (holdsOld(Look(backup))) Calls().DeleteFileW(backup.c_str());
        return Holds::New;
    }
    if (holdsOld(Look(backup)) && put(backup, replace)) {
        Calls().DeleteFileW(temporary.c_str());
        return Holds::Old;
    }
    Calls().DeleteFileW(temporary.c_str());
    return Holds::Neither;
}

// The temporary file put in place by ReplaceFileW, with a backup beside it, retried while
// another program holds the file. NotPossible when replacing would lose something the old file
// has, or when it cannot be done without losing attributes or an ACL.
Attempt Replace(const Target& target, const std::string& bytes, const detail::FileState& before) {
    if (target.info.nNumberOfLinks > 1 || OwnedByAnother(target.name)) return NotPossible();
    std::wstring temporary;
    Attempt attempt = WriteTemporary(target.name, bytes, temporary);
    if (attempt.outcome != Outcome::Saved) return attempt;
    const std::wstring backup = BackupName(target.name);
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
        // No REPLACEFILE_IGNORE_MERGE_ERRORS: an ACL or attributes that cannot be carried over
        // are a reason to write in place, not to drop them.
        if (Calls().ReplaceFileW(target.name.c_str(), temporary.c_str(), backup.c_str(), 0, nullptr, nullptr)) {
            Calls().DeleteFileW(backup.c_str());
            return attempt;
        }
        const DWORD error = GetLastError();
        const Holds holds = Recover(target.name, temporary, backup, before, bytes);
        if (holds == Holds::New) return attempt;
        const bool retry = HeldByAnother(error) || error == ERROR_UNABLE_TO_REMOVE_REPLACED ||
                           error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
        if (holds == Holds::Old && retry && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(kRetryPause);
            if (Exists(temporary) || WriteTemporary(target.name, bytes, temporary).outcome == Outcome::Saved) continue;
        }
        Calls().DeleteFileW(temporary.c_str());
        // Refused without WRITE_DAC (an ACL that cannot be carried over), or otherwise denied, with
        // the file intact: the file itself can take the text.
        if (holds == Holds::Old && error == ERROR_ACCESS_DENIED) return NotPossible(error);
        Attempt failed = Failed(error);
        if (holds == Holds::Neither && Exists(backup)) failed.oldBytesAt = Utf8(Plain(backup));
        return failed;
    }
}

// Over the old bytes, keeping the file itself (its links, owner, ACL and everything else). A
// journal of the old bytes is written and flushed first; the new size is reserved without
// changing the file's size; the old bytes are written back if any step fails, and the journal
// goes only when the file holds the old bytes or the new text whole.
Attempt WriteInPlace(const Target& target, const std::string& bytes, const std::function<bool()>& allowUnprotected) {
    Handle file;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
        file = Handle(Calls().CreateFileW(target.name.c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.valid() || !HeldByAnother(GetLastError()) || std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(kRetryPause);
    }
    if (!file.valid()) return Failed(GetLastError());
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info)) return Failed(GetLastError());
    if (Index(info) != Index(target.info) || info.dwVolumeSerialNumber != target.info.dwVolumeSerialNumber)
        return {Outcome::Failed, "it was replaced by something else while saving", 0, {}};
    std::string old;
    DWORD error = 0;
    if (!ReadWhole(file.get(), old, error)) return Failed(error);
    if (old.size() > kMaxFileSize) return Failed(ERROR_FILE_TOO_LARGE);

    const detail::Journal journal{info.dwVolumeSerialNumber, Index(info), Utf8(Plain(target.name)), old.size(),
                                  Hash(old), bytes.size(), Hash(bytes), old};
    JournalFile written;
    std::string whyNot;
    const bool journaled = WriteJournal(target, journal, written, whyNot);
    if (!journaled && !allowUnprotected)
        return {Outcome::Failed, "no record of the old settings could be written first (" + whyNot + ")", 0, {}};
    if (!journaled && !allowUnprotected()) return {Outcome::Declined, {}, 0, {}};

    // Done with the file, whatever it holds: the journal goes only when the file holds the old
    // bytes or the new text whole, and on disk.
    const auto end = [&](Attempt attempt) {
        if (!journaled) return attempt;
        std::string now;
        DWORD ignored = 0;
        const bool whole = SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN) &&
                           ReadWhole(file.get(), now, ignored) && (now == old || now == bytes) &&
                           Calls().FlushFileBuffers(file.get());
        if (whole && RemoveJournal(written)) return attempt;
        if (attempt.outcome == Outcome::Failed) attempt.oldBytesAt = Utf8(Plain(written.name));
        return attempt;
    };
    const auto restore = [&](DWORD failure) {
        LARGE_INTEGER size{};
        if (GetFileSizeEx(file.get(), &size)) Overwrite(file.get(), old, static_cast<std::uint64_t>(size.QuadPart));
        return end(Failed(failure));
    };
    if (bytes.size() > old.size()) {
        // Reserved without changing the file's size, so that a full disk fails before any write.
        FILE_ALLOCATION_INFO reserve{};
        reserve.AllocationSize.QuadPart = static_cast<LONGLONG>(bytes.size());
        if (!Calls().SetFileInformationByHandle(file.get(), FileAllocationInfo, &reserve, sizeof reserve) &&
            GetLastError() == ERROR_DISK_FULL)
            return end(Failed(ERROR_DISK_FULL));
    }
    if (const DWORD failure = Overwrite(file.get(), bytes, old.size())) return restore(failure);
    return end({Outcome::Saved, {}, 0, {}});
}

}  // namespace

ConfigFile::ConfigFile() {
    displayName_ = std::string(kConfigFileName) + " in the current folder";
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(length, L'\0');
    if (length == 0 || GetCurrentDirectoryW(length, folder.data()) == 0) {
        folderError_ = static_cast<int>(GetLastError());
        folderProblem_ = "the current folder cannot be named: " + Reason(static_cast<DWORD>(folderError_));
        return;
    }
    folder.resize(folder.find(L'\0'));
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    folder_ = Extended(folder);
    file_ = folder_ + L"kov.ini";
    displayName_ = Utf8(Plain(file_));
    if (detail::IsWindowsFolder(folder_)) {
        folderProblem_ = "it was started in the Windows folder (" + Utf8(Plain(folder_.substr(0, folder_.size() - 1))) +
                         "), not in the game's folder. Start it in the game's folder, where the game keeps kov.ini";
        return;
    }
    // Held from the start: a save checks that the folder under this name is still this one.
    HANDLE held = CreateFileW(folder_.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    if (held != INVALID_HANDLE_VALUE && GetFileInformationByHandle(held, &info)) {
        folderHandle_ = held;
        folderVolume_ = info.dwVolumeSerialNumber;
        folderIndex_ = Index(info);
    } else if (held != INVALID_HANDLE_VALUE) {
        CloseHandle(held);
    }
    // An old game that Windows virtualizes reads its own copy whenever there is one.
    if (const std::wstring copy = detail::VirtualStoreName(file_); !copy.empty() && Exists(copy)) {
        file_ = copy;
        displayName_ = Utf8(Plain(file_));
    }
}

ConfigFile::~ConfigFile() {
    if (folderHandle_ != nullptr) CloseHandle(folderHandle_);
}

std::string ConfigFile::FolderProblem() const {
    if (!folderProblem_.empty()) return folderProblem_;
    if (folderHandle_ == nullptr) return {};
    Handle now(CreateFileW(folder_.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!now.valid() || !GetFileInformationByHandle(now.get(), &info) || info.dwVolumeSerialNumber != folderVolume_ ||
        Index(info) != folderIndex_)
        return "the folder it was in was moved, renamed or replaced after the dialog opened, and the settings are "
               "not saved into another folder";
    return {};
}

RecoveryReport ConfigFile::Recover() {
    if (!folderProblem_.empty()) return {};
    Target target;
    if (!Resolve(file_, target).empty()) return {};
    return detail::win32::Recover(target);
}

OpenResult ConfigFile::Read(ConfigurationStore& store) {
    OpenResult result;
    if (!folderProblem_.empty()) {
        result.outcome = OpenOutcome::NoFolder;
        result.reason = folderProblem_;
        snapshot_ = FileSnapshot{};
        return result;
    }
    result = ReadFrom(file_, store);
    // A file not read whole is measured by what can be seen of it, for a later change.
    if (result.outcome != OpenOutcome::Read) snapshot_ = Observed(Look(file_), false);
    return result;
}

OpenResult ConfigFile::ReadFrom(const std::wstring& name, ConfigurationStore& store) {
    OpenResult result;
    result.outcome = OpenOutcome::Unreadable;
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        result.reason = "it is a folder, not a file";
        return result;
    }
    // A save may replace it only when it is not marked read-only.
    result.readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    Handle file = OpenForReading(name);
    if (!file.valid()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            result.outcome = OpenOutcome::Missing;
            return result;
        }
        result.reason = ReasonFor(error);
        result.replaceable = attributes != INVALID_FILE_ATTRIBUTES && !result.readOnly;
        return result;
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        result.reason = "it is a device, not a file";
        result.readOnly = false;
        return result;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info)) {
        result.reason = Reason(GetLastError());
        return result;
    }
    result.replaceable = !result.readOnly;
    std::string bytes;
    DWORD error = 0;
    if (!ReadWhole(file.get(), bytes, error)) {
        result.reason = ReasonFor(error);
        return result;
    }
    if (bytes.size() > kMaxFileSize) {
        result.reason = detail::TooLargeReason();
        return result;
    }
    FileSnapshot snapshot = Snapshot(info);
    detail::TakeBytes(store, bytes, result, snapshot);
    snapshot_ = snapshot;
    return result;
}

bool ConfigFile::ChangedSinceRead() const {
    // A folder that is no longer the one the dialog opened in is not saved into: no question.
    if (!FolderProblem().empty()) return false;
    return !(Observed(Look(file_), snapshot_.hashed) == snapshot_);
}

SaveResult ConfigFile::Save(const std::string& text, const std::function<bool()>& allowUnprotected) {
    const std::string bytes = WithCrLf(text);
    Target target;
    std::string problem = FolderProblem();
    if (problem.empty()) problem = Resolve(file_, target);
    const std::wstring& looked = target.name.empty() ? file_ : target.name;
    const detail::FileState before = Look(looked);
    const auto settle = [&](std::string reason, std::string oldBytesAt = {}) {
        SaveResult result = detail::Settle(std::move(reason), before, Look(looked), bytes, std::move(oldBytesAt));
        // What the file holds now is this save's doing, not another program's.
        if (result.outcome == SaveOutcome::NotSavedChanged) snapshot_ = SnapshotOf(Look(file_));
        return result;
    };
    if (!problem.empty()) return settle(problem);
    if (target.exists) {
        if ((target.info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return settle("it is a folder, not a file, so it is not replaced");
        // A file marked read-only stays as it is, even for a user who could replace it.
        if ((target.info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0)
            return settle(Reason(ERROR_ACCESS_DENIED) + " (the file is read-only)");
    }
    Attempt attempt = target.exists ? Replace(target, bytes, before) : Create(target, bytes);
    if (attempt.outcome == Outcome::NotPossible)
        attempt = target.exists ? WriteInPlace(target, bytes, allowUnprotected) : Failed(attempt.error);
    if (attempt.outcome == Outcome::Declined) {
        SaveResult declined = settle("the player chose not to save without a record of the old settings");
        declined.declined = true;
        return declined;
    }
    // Refused where an old game's writes are virtualized: its copy is where Windows puts them.
    if (attempt.outcome == Outcome::Failed && attempt.error == ERROR_ACCESS_DENIED) {
        Target copy;
        copy.name = detail::VirtualStoreName(file_);
        if (!copy.name.empty() && !Exists(copy.name)) {
            if (const DWORD error = MakeFolders(copy.name)) return settle(Reason(error));
            if (Create(copy, bytes).outcome == Outcome::Saved) {
                file_ = copy.name;
                displayName_ = Utf8(Plain(file_));
                snapshot_ = SnapshotOf(Look(file_));
                return detail::SavedResult();
            }
        }
    }
    if (attempt.outcome == Outcome::Failed) return settle(attempt.reason, attempt.oldBytesAt);
    snapshot_ = SnapshotOf(Look(file_));
    return detail::SavedResult();
}

}  // namespace kov
