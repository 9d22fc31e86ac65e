// The rollback journal on Windows.
#include "journal_win32.h"

#include <optional>
#include <vector>

#include "read_policy.h"
#include "win32_calls.h"
#include "win32_paths.h"

namespace kov::detail::win32 {

namespace {

// Creates and flushes one journal file.
DWORD WriteJournalAt(const std::wstring& name, const std::string& bytes) {
    Handle file(Calls().CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (!file.valid()) return GetLastError();
    DWORD error = 0;
    if (!WriteWhole(file.get(), bytes, error) || !Calls().FlushFileBuffers(file.get())) {
        if (error == 0) error = GetLastError();
        file.Close();
        Calls().DeleteFileW(name.c_str());
        return error;
    }
    if (!file.Close()) return GetLastError();
    FlushFolder(FolderOf(name));
    return 0;
}

std::optional<std::string> ReadAll(const std::wstring& name) {
    Handle file = OpenForReading(name);
    std::string bytes;
    DWORD error = 0;
    if (!file.valid() || !ReadWhole(file.get(), bytes, error)) return std::nullopt;
    return bytes;
}

// The journal's name beside a file, as every platform names it.
std::wstring JournalBeside(const std::wstring& file) {
    return FolderOf(file) + Wide(JournalNameBeside(Utf8(LeafOf(file))));
}

void Remove(const std::wstring& name) {
    if (Calls().DeleteFileW(name.c_str())) FlushFolder(FolderOf(name));
}

// One journal found at start, finished against the target or kept.
void Finish(const Target& target, const std::wstring& name, RecoveryReport& report) {
    const std::optional<std::string> bytes = ReadAll(name);
    if (!bytes) return;
    const std::optional<Journal> journal = DecodeJournal(*bytes);
    // Cut short while it was written: its save never touched the file.
    if (!journal) return Remove(name);
    if (!target.exists || journal->device != target.info.dwVolumeSerialNumber || journal->inode != Index(target.info)) {
        report.keptJournals.push_back(Utf8(Plain(name)));
        return;
    }
    Handle file(Calls().CreateFileW(target.name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string now;
    DWORD error = 0;
    if (!file.valid()) error = GetLastError();
    else if (ReadWhole(file.get(), now, error)) {
        switch (StateAgainst(*journal, now)) {
            case JournalState::OldBytes:
            case JournalState::NewBytes:
                return Remove(name);
            case JournalState::NewPadded: {
                // Written whole but for the cut: finished.
                FILE_END_OF_FILE_INFO end{};
                end.EndOfFile.QuadPart = static_cast<LONGLONG>(journal->newSize);
                if (Calls().SetFileInformationByHandle(file.get(), FileEndOfFileInfo, &end, sizeof end) &&
                    Calls().FlushFileBuffers(file.get()))
                    return Remove(name);
                error = GetLastError();
                break;
            }
            case JournalState::Neither: {
                error = Overwrite(file.get(), journal->oldBytes, now.size());
                std::string back;
                DWORD readError = 0;
                if (error == 0 && SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN) &&
                    ReadWhole(file.get(), back, readError) && back == journal->oldBytes) {
                    report.restored = true;
                    return Remove(name);
                }
                if (error == 0) error = readError != 0 ? readError : ERROR_WRITE_FAULT;
                break;
            }
        }
    }
    report.failure = ReasonFor(error);
    report.failedJournal = Utf8(Plain(name));
}

// This program's own temporary files beside the file that no running save holds, and a backup
// of a replacement that a crash left: put back when the file is gone, else removed.
void Tidy(const Target& target) {
    const std::wstring folder = FolderOf(target.name);
    const std::string leaf = Utf8(LeafOf(target.name));
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L".*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !IsTemporaryNameOf(Utf8(found.cFileName), leaf))
                continue;
            const std::wstring name = folder + found.cFileName;
            // A running save holds its temporary file open while it writes it.
            Handle alone(Calls().CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            if (alone.valid()) {
                alone.Close();
                Calls().DeleteFileW(name.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    const std::wstring backup = BackupName(target.name);
    const FileState kept = Look(backup);
    if (!kept.exists) return;
    const FileState file = Look(target.name);
    // Gone between the two renames of a replacement: the old file comes back. An empty file in
    // its place is another program's, made the moment the old one was moved aside.
    if (!file.exists || (file.bytes && file.bytes->empty() && kept.bytes && !kept.bytes->empty())) {
        Calls().MoveFileExW(backup.c_str(), target.name.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        return;
    }
    // The file is whole (a replacement only renames whole files): the backup is a spare copy.
    Remove(backup);
}

}  // namespace

bool WriteJournal(const Target& target, const Journal& journal, JournalFile& written, std::string& whyNot) {
    const std::string bytes = EncodeJournal(journal);
    const std::wstring beside = JournalBeside(target.name);
    DWORD error = WriteJournalAt(beside, bytes);
    if (error == 0) {
        written.name = beside;
        return true;
    }
    // The folder takes no new file: the user's own folder for this program does.
    const std::wstring state = StateFolder();
    if (!state.empty()) {
        const std::wstring name = state + Wide(JournalNameInStateFolder(journal.device, journal.inode));
        if ((error = MakeFolders(name)) == 0 && (error = WriteJournalAt(name, bytes)) == 0) {
            written.name = name;
            return true;
        }
    }
    whyNot = Reason(error);
    return false;
}

bool RemoveJournal(const JournalFile& journal) {
    if (!Calls().DeleteFileW(journal.name.c_str())) return false;
    FlushFolder(FolderOf(journal.name));
    return true;
}

RecoveryReport Recover(const Target& target) {
    RecoveryReport report;
    Tidy(target);
    Target now;
    if (!Resolve(target.name, now).empty()) return report;  // as the tidying left it
    Finish(now, JournalBeside(now.name), report);
    const std::wstring state = StateFolder();
    WIN32_FIND_DATAW found;
    HANDLE search = state.empty() ? INVALID_HANDLE_VALUE : FindFirstFileW((state + L"*.journal").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return report;
    std::vector<std::wstring> names;
    do {
        if (IsJournalNameInStateFolder(Utf8(found.cFileName))) names.push_back(state + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    const std::string path = Utf8(Plain(now.name));
    for (const std::wstring& name : names) {
        const std::optional<std::string> bytes = ReadAll(name);
        const std::optional<Journal> journal = bytes ? DecodeJournal(*bytes) : std::nullopt;
        const bool ours = journal ? journal->path == path
                                  : now.exists && Utf8(LeafOf(name)) == JournalNameInStateFolder(
                                                                            now.info.dwVolumeSerialNumber, Index(now.info));
        if (ours) Finish(now, name, report);
    }
    return report;
}

}  // namespace kov::detail::win32
