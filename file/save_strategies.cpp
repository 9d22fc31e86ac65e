// The ways a save puts the new text in place, over the primitives of any platform.
#include "save_strategies.h"

#include "journal.h"

namespace kov::detail {

namespace {

// A file held by another program (the game, an editor, a virus scanner) is waited for about a second.
constexpr int kTries = 10;
constexpr int kPauseMilliseconds = 100;

Attempt Failed(const Failure& failure, Reason::What what = Reason::What::Refused) {
    return {Attempt::Failed, Refusal(failure, what), {}};
}
Attempt NotThisWay(const Failure& failure) { return {Attempt::NotThisWay, Refusal(failure), {}}; }
Attempt Saved() { return {Attempt::Saved, {}, {}}; }
Attempt Replaced() { return {Attempt::Failed, Reason(Reason::What::ReplacedMeanwhile), {}}; }

// The new file beside the target: unnamed where the file system has such files (a crash then
// leaves nothing), else under a temporary name (empty while it has none); locked while it lives,
// so that the next start tells a running save's file from a crashed one's.
struct Temporary {
    File file;
    std::string name;
};

Failure CreateTemporary(FileSystem& fs, const Target& target, Temporary& made) {
    const bool hidden = target.exists();  // a new kov.ini is made as an ordinary file
    Failure failure = fs.CreateUnnamed(target.folder, hidden, made.file);
    if (failure.problem == Problem::NotSupported) {
        for (int tries = 0; tries < 100; ++tries) {
            made.name = TemporaryName(target.name);
            failure = fs.CreateNew(target.folder, made.name, hidden, made.file);
            if (failure.problem != Problem::Exists) break;
        }
        if (failure) made.name.clear();
    }
    return failure ? failure : fs.Lock(made.file);
}

// Gives an unnamed file its temporary name, just before it is put in place.
Failure NameTemporary(FileSystem& fs, const Target& target, Temporary& made) {
    Failure failure{Problem::Exists, 0};
    for (int tries = 0; tries < 100 && failure.problem == Problem::Exists; ++tries) {
        const std::string name = TemporaryName(target.name);
        failure = fs.GiveName(made.file, target.folder, name);
        if (!failure) made.name = name;
    }
    return failure;
}

// A file moved to the target's name, over whatever is there: a program that makes a file there
// the moment the old one is moved aside (a virus scanner, an indexer) may hold it a moment, and
// Windows refuses to move over a file held open, so that is tried again for about a second.
Failure MoveOver(FileSystem& fs, const Folder& folder, const std::string& from, const std::string& to) {
    for (int tries = 1;; ++tries) {
        const Failure failure = fs.Rename(folder, from, to, true);
        const bool held = failure.problem == Problem::HeldByAnother || failure.problem == Problem::AccessDenied;
        if (!held || tries >= kTries) return failure;
        fs.Pause(kPauseMilliseconds);
    }
}

// After a replacement failed: puts what is on disk right, from what it holds. The file gets the
// new text, or its old bytes back, wherever that can be done, and no copy of the old bytes is
// removed while it is the only one.
FileHolds PutRight(FileSystem& fs, const Target& target, const std::string& temporary, const std::string& backup,
                   std::string_view bytes) {
    const FileState& before = target.before;
    const auto holdsOld = [&](const FileState& state) {
        return state.exists && (before.bytes ? state.bytes == before.bytes
                                             : state.info.inode == before.info.inode && state.info.size == before.info.size);
    };
    const auto dropSpareBackup = [&] {
        if (holdsOld(LookWhole(fs, target.folder, backup))) fs.Remove(target.folder, backup);
    };
    const FileState now = LookWhole(fs, target.folder, target.name);
    if (now.bytes && *now.bytes == bytes) {
        fs.Remove(target.folder, temporary);
        dropSpareBackup();
        return FileHolds::NewText;
    }
    if (holdsOld(now)) {
        dropSpareBackup();
        return FileHolds::OldBytes;
    }
    // No file under the name, or one that another program made the moment the old one was
    // moved aside: the new text goes there, else the old bytes come back.
    if (!MoveOver(fs, target.folder, temporary, target.name)) {
        dropSpareBackup();
        return FileHolds::NewText;
    }
    fs.Remove(target.folder, temporary);
    if (holdsOld(LookWhole(fs, target.folder, backup)) && !MoveOver(fs, target.folder, backup, target.name))
        return FileHolds::OldBytes;
    return FileHolds::Other;
}

// The temporary file put under the target's name, tried again while another program holds the file.
Attempt PutOver(FileSystem& fs, const Target& target, const std::string& temporary, std::string_view bytes) {
    const std::string backup = BackupName(target.name);
    for (int tries = 1;; ++tries) {
        const Failure failure = fs.Replace(target.folder, temporary, target.name, backup);
        if (!failure) {
            fs.Remove(target.folder, backup);
            return Saved();
        }
        const FileHolds holds = PutRight(fs, target, temporary, backup, bytes);
        if (holds == FileHolds::NewText) return Saved();
        Info info;
        if (holds == FileHolds::OldBytes && failure.problem == Problem::HeldByAnother && tries < kTries &&
            !fs.Look(target.folder, temporary, info)) {
            fs.Pause(kPauseMilliseconds);
            continue;
        }
        fs.Remove(target.folder, temporary);
        // Refused with the file as it was (an ACL that cannot be carried over, no room for the
        // folder to grow): the file itself can take the text.
        if (holds == FileHolds::OldBytes &&
            (failure.problem == Problem::AccessDenied || failure.problem == Problem::NoSpace))
            return NotThisWay(failure);
        Attempt failed = Failed(failure);
        if (holds != FileHolds::OldBytes && !fs.Look(target.folder, backup, info))
            failed.oldBytesAt = PathOf(target.folder, backup);
        return failed;
    }
}

// A journal on disk, to be removed once the write it protects is done.
struct JournalPlace {
    Folder folder;
    std::string name;
};

// Beside the target when its folder takes new files, else in the state folder; false, with
// why not, when it can be written nowhere.
bool WriteJournal(FileSystem& fs, const Target& target, const Journal& journal, JournalPlace& written,
                  Failure& whyNot) {
    const std::string encoded = EncodeJournal(journal);
    written = {target.folder, JournalNameBeside(target.name)};
    Failure failure = WriteNewFile(fs, written.folder, written.name, encoded);
    if (!failure) return true;
    written.name = JournalNameInStateFolder(journal.device, journal.inode);
    failure = fs.OpenStateFolder(true, written.folder);
    if (!failure) failure = WriteNewFile(fs, written.folder, written.name, encoded);
    if (!failure) return true;
    whyNot = failure;
    return false;
}

Failure RemoveJournal(FileSystem& fs, const JournalPlace& journal) {
    const Failure failure = fs.Remove(journal.folder, journal.name);
    return failure ? failure : fs.SyncFolder(journal.folder);
}

}  // namespace

std::string BackupName(const std::string& fileName) { return "." + fileName + ".backup"; }

Attempt ReplaceWhole(FileSystem& fs, const Target& target, std::string_view bytes) {
    if (target.exists() && target.before.info.links > 1) return NotThisWay({});
    Temporary made;
    const auto discard = [&](const Attempt& attempt) {
        made.file.reset();
        if (!made.name.empty()) fs.Remove(target.folder, made.name);
        return attempt;
    };
    Failure failure = CreateTemporary(fs, target, made);
    if (failure) return made.file ? discard(Failed(failure)) : NotThisWay(failure);
    if (target.exists() && (failure = fs.CopyMetadata(target.folder, target.name, made.file)))
        return discard(NotThisWay(failure));
    if ((failure = fs.WriteAt(made.file, 0, bytes)) || (failure = fs.Sync(made.file))) {
        // No room for a second copy: the file's own space may still take the text.
        const bool full = failure.problem == Problem::NoSpace && target.exists();
        return discard(full ? NotThisWay(failure) : Failed(failure));
    }
    if (made.name.empty() && (failure = NameTemporary(fs, target, made))) return discard(Failed(failure));
    if ((failure = fs.Close(made.file))) return discard(Failed(failure));
    if (!target.exists()) {
        // Never over a file that another program made meanwhile.
        if ((failure = fs.Rename(target.folder, made.name, target.name, false))) return discard(Failed(failure));
    } else if (const Attempt put = PutOver(fs, target, made.name, bytes); put.result != Attempt::Saved) {
        return put;
    }
    // Durable when OK returns: the file's own entry (which a folder sync leaves unwritten on
    // FAT), then the folder's names.
    if ((failure = fs.SyncNamed(target.folder, target.name)) || (failure = fs.SyncFolder(target.folder)))
        return Failed(failure, Reason::What::NotSynced);
    return Saved();
}

Attempt WriteInPlace(FileSystem& fs, const Target& target, std::string_view bytes,
                     const std::function<bool()>& allowUnprotected) {
    File file;
    Failure failure;
    for (int tries = 1;; ++tries) {
        failure = fs.Open(target.folder, target.name, true, file);
        if (failure.problem != Problem::HeldByAnother || tries >= kTries) break;
        fs.Pause(kPauseMilliseconds);
    }
    if (failure) return Failed(failure);
    Info info;
    if ((failure = fs.InfoOf(file, info))) return Failed(failure);
    if (info.kind != Kind::Regular || info.device != target.before.info.device || info.inode != target.before.info.inode)
        return Replaced();
    std::string old;
    if ((failure = ReadWhole(fs, file, old))) return Failed(failure);

    JournalPlace written;
    Failure whyNot;
    const bool journaled =
        WriteJournal(fs, target, JournalOf(info, target.folder->path + target.name, old, bytes), written, whyNot);
    if (!journaled && !allowUnprotected) return Failed(whyNot, Reason::What::NoJournal);
    if (!journaled && !allowUnprotected()) return {Attempt::PlayerDeclined, Reason(Reason::What::Declined), {}};

    // Done with the file, whatever it holds: the journal goes only when the file holds the old
    // bytes or the new text whole, and on disk.
    const auto end = [&](Attempt attempt) {
        if (!journaled) return attempt;
        std::string now;
        const bool whole = !ReadWhole(fs, file, now) && (now == old || now == bytes) && !fs.Sync(file);
        if (whole && !RemoveJournal(fs, written)) return attempt;
        if (attempt.result == Attempt::Failed) attempt.oldBytesAt = PathOf(written.folder, written.name);
        return attempt;
    };
    if (bytes.size() > old.size()) {
        // Reserved without a change of size: a full disk says so here, before anything is written.
        failure = fs.Reserve(file, bytes.size());
        if (failure && failure.problem != Problem::NotSupported) return end(Failed(failure));
    }
    if ((failure = Overwrite(fs, file, bytes, old.size()))) {
        Info now;
        if (!fs.InfoOf(file, now)) Overwrite(fs, file, old, now.size);
        return end(Failed(failure));
    }
    const Attempt done = end(Saved());
    // Some file systems report a write's failure only here; what the file holds is read back then.
    if ((failure = fs.Close(file))) return Failed(failure);
    return done;
}

Attempt SaveInVirtualStore(FileSystem& fs, const Folder& folder, const std::string& name, std::string_view bytes,
                           Folder& copy) {
    if (const Failure failure = fs.OpenVirtualStore(folder, true, copy)) return NotThisWay(failure);
    const Target target{copy, name, LookWhole(fs, copy, name)};
    if (target.exists()) return NotThisWay({});  // a copy there would have been the file from the start
    return ReplaceWhole(fs, target, bytes);
}

}  // namespace kov::detail
