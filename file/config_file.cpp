// The file boundary's policy, the same on every platform: which file is the game's, reading it
// whole or not at all, noticing another program's changes, and a save's strategy, settled from
// what the disk holds.
#include "config_file.h"

#include "catalogue.h"
#include "file_state.h"
#include "recovery.h"
#include "save_outcome.h"
#include "save_strategies.h"

namespace kov {

using namespace detail;

namespace {

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t at = 0; at < a.size(); ++at)
        if (lower(a[at]) != lower(b[at])) return false;
    return true;
}

// kov.ini, or else the name in the folder that matches it ignoring ASCII case (KOV.INI from a
// CD), as the game finds it under Wine: the first in the folder's order when there are several.
// Taken from the folder even where the file system ignores case itself, so that a save keeps it.
std::string FoundName(FileSystem& fs, const Folder& folder) {
    std::vector<std::string> names;
    if (fs.List(folder, names)) return kConfigFileName;
    for (const std::string& name : names)
        if (name == kConfigFileName) return name;
    for (const std::string& name : names)
        if (SameIgnoringAsciiCase(name, kConfigFileName)) return name;
    return kConfigFileName;
}

// Why something that is not a regular file is not read or replaced.
Reason NotARegularFile(Kind kind) {
    Reason reason(Reason::What::NotAFile);
    reason.kind = kind;
    return reason;
}

// Windows' files have "\r\n" line ends.
std::string WithLineEnds(const std::string& text, Os os) {
    if (os != Os::Windows) return text;
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace

ConfigFile::ConfigFile() : ConfigFile(PlatformFileSystem()) {}

ConfigFile::ConfigFile(FileSystem& fileSystem) : fs_(fileSystem), name_(kConfigFileName), displayName_(kConfigFileName) {
    if (const Failure failure = fs_.OpenCurrentFolder(start_)) {
        startProblem_ = Explained(Reason(Reason::What::FolderNotOpened, failure), nullptr, {}, false);
        return;
    }
    folder_ = start_;
    if (!start_->path.empty()) displayName_ = PathOf(start_, name_);
    // Never the Windows folder (Wine starts a program there when the game's path is too long).
    if (fs_.IsSystemFolder(start_)) {
        startProblem_.what = Reason::What::WindowsFolder;
        startProblem_.path = PathOf(start_, {});
        if (!startProblem_.path.empty()) startProblem_.path.pop_back();  // its separator
        return;
    }
    name_ = FoundName(fs_, start_);
    // An old game that Windows virtualizes reads its own copy whenever there is one.
    Folder copy;
    Info info;
    if (!fs_.OpenVirtualStore(start_, false, copy) && !fs_.Look(copy, name_, info)) folder_ = copy;
    if (!folder_->path.empty()) displayName_ = PathOf(folder_, name_);
}

Reason ConfigFile::FolderProblem() const {
    if (startProblem_) return startProblem_;
    Reason problem;
    switch (fs_.CheckFolder(start_)) {
        case FolderState::Deleted: problem.what = Reason::What::FolderDeleted; break;
        case FolderState::Moved: problem.what = Reason::What::FolderMoved; break;
        default: break;
    }
    return problem;
}

Reason ConfigFile::Explained(Reason reason, const Folder& folder, const std::string& name, bool exists) const {
    const Failure& failure = reason.failure;
    if (failure.problem == Problem::Other && failure.code != 0)
        reason.systemWords = fs_.SystemWords(failure.code, CurrentLanguage());
    // Whose it is: the file's owner, or the folder's where there is no file.
    if (reason.what == Reason::What::Refused && failure.problem == Problem::AccessDenied && folder)
        reason.owner = fs_.OtherOwner(folder, exists ? name : "");
    return reason;
}

RecoveryReport ConfigFile::Recover() {
    if (startProblem_) return {};
    RecoveryReport report = FinishInterruptedSaves(fs_, folder_, name_);
    if (report.failure) report.failure = Explained(report.failure, nullptr, {}, false);
    return report;
}

OpenResult ConfigFile::Read(ConfigurationStore& store) {
    OpenResult result;
    read_ = {};
    if (startProblem_) {
        result.outcome = OpenOutcome::NoFolder;
        result.reason = startProblem_;
        return result;
    }
    result.outcome = OpenOutcome::Unreadable;
    // A file not read whole is remembered by what can be seen of it, for a later change.
    if (const Failure failure = fs_.Look(folder_, name_, read_.info)) {
        read_.problem = failure.problem;
        if (failure.problem == Problem::NotFound) result.outcome = OpenOutcome::Missing;
        result.reason = Explained(Reason(Reason::What::Refused, failure), folder_, name_, false);
        return result;
    }
    read_.exists = true;
    read_.problem = Problem::None;
    // Whether OK could save over it, as the save itself will decide.
    const auto judge = [&](const Info& info) {
        result.overwritable = info.kind != Kind::Regular           ? Overwritable::NotARegularFile
                              : info.readOnly || info.writeRefused ? Overwritable::ReadOnly
                                                                   : Overwritable::Yes;
        if (info.kind != Kind::Regular) result.reason = NotARegularFile(info.kind);
        return info.kind == Kind::Regular;
    };
    if (!judge(read_.info)) return result;
    File file;
    Failure failure = fs_.Open(folder_, name_, false, file);
    if (!failure) failure = fs_.InfoOf(file, read_.info);
    if (failure) {
        result.reason = Explained(Reason(Reason::What::Refused, failure), folder_, name_, true);
        return result;
    }
    if (!judge(read_.info)) return result;  // exchanged for something else since the look
    std::string bytes;
    if (read_.info.size > kMaxFileSize || (failure = ReadWhole(fs_, file, bytes))) {
        result.reason = read_.info.size > kMaxFileSize || failure.problem == Problem::TooLarge
                            ? Reason(Reason::What::TooLarge)
                            : Explained(Reason(Reason::What::Refused, failure), folder_, name_, true);
        return result;
    }
    read_.bytes = bytes;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        result.reason = Reason(Reason::What::Utf16);
        return result;
    }
    store.ReadFromString(bytes.data(), bytes.size(), &result.dropped);
    result.outcome = OpenOutcome::Read;
    return result;
}

bool ConfigFile::ChangedSinceRead() const {
    // Not a question while the folder cannot be saved into: the save says why.
    if (FolderProblem()) return false;
    return !Unchanged(read_, LookAt(fs_, folder_, name_, read_.bytes.has_value()));
}

SaveResult ConfigFile::Save(const std::string& text, const std::function<bool()>& allowUnprotected) {
    const std::string bytes = WithLineEnds(text, fs_.System());
    Target target{folder_, name_, {}};
    Reason problem = FolderProblem();
    if (!problem) {
        // With raised rights, a link laid by another user is no way to a file to write: it may
        // be a trap for the privileged program.
        Followed followed;
        if (const Failure failure = fs_.Resolve(folder_, name_, target.folder, target.name, followed))
            problem = Reason(Reason::What::Refused, failure);
        else if (followed.strangersLink && fs_.RaisedRights())
            problem = Reason(Reason::What::StrangersLink);
    }
    target.before = LookAt(fs_, target.folder, target.name);
    const auto settle = [&](Reason reason, std::string oldBytesAt = {}) {
        reason = Explained(std::move(reason), target.folder, target.name, target.exists());
        SaveResult result =
            Settle(std::move(reason), target.before, LookAt(fs_, target.folder, target.name), bytes, std::move(oldBytesAt));
        // What the file holds now is this save's doing, not another program's.
        if (result.outcome == SaveOutcome::NotSavedChanged) read_ = LookAt(fs_, folder_, name_);
        return result;
    };
    if (problem) return settle(problem);
    const Info& info = target.before.info;
    if (target.exists()) {
        if (info.kind != Kind::Regular) return settle(NotARegularFile(info.kind));
        // A file marked read-only stays as it is, even for a user who could replace it.
        if (info.readOnly) return settle(Reason(Reason::What::MarkedReadOnly));
        if (info.writeRefused) return settle(Reason(Reason::What::Refused, info.writeRefused));
    }
    Attempt attempt = ReplaceWhole(fs_, target, bytes);
    if (attempt.result == Attempt::NotThisWay)
        attempt = target.exists() ? WriteInPlace(fs_, target, bytes, allowUnprotected)
                                  : Attempt{Attempt::Failed, attempt.reason, {}};
    if (attempt.result == Attempt::Declined) return settle(attempt.reason);
    // Refused where an old game's writes are virtualized: its copy is where Windows puts them.
    if (attempt.result == Attempt::Failed && attempt.reason.failure.problem == Problem::AccessDenied &&
        attempt.reason.what == Reason::What::Refused && folder_ == start_) {
        Folder copy;
        if (SaveInVirtualStore(fs_, start_, name_, bytes, copy).result == Attempt::Done) {
            folder_ = copy;
            displayName_ = PathOf(folder_, name_);
            attempt = {Attempt::Done, {}, {}};
        }
    }
    if (attempt.result == Attempt::Failed) return settle(attempt.reason, attempt.oldBytesAt);
    read_ = LookAt(fs_, folder_, name_);
    SaveResult saved;
    saved.outcome = SaveOutcome::Saved;
    saved.holds = FileHolds::NewText;
    return saved;
}

}  // namespace kov
