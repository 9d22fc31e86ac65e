// The ways a save puts the new text in place, over the primitives of any platform.
#include "save_strategies.h"

#include "in_place.h"
#include "journal.h"
#include "own_names.h"

namespace kov::detail {

namespace {

Attempt FailedFor(const Failure& failure, Reason::What what = Reason::What::Refused) {
    return {Attempt::Failed, Reason(what, failure), {}};
}
Attempt AnotherWay(const Failure& failure) { return {Attempt::NotThisWay, Reason(Reason::What::Refused, failure), {}}; }
Attempt Done() { return {Attempt::Done, {}, {}}; }
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
        if (holdsOld(LookAt(fs, target.folder, backup))) fs.Remove(target.folder, backup);
    };
    const FileState now = LookAt(fs, target.folder, target.name);
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
    if (!fs.Rename(target.folder, temporary, target.name, true)) {
        dropSpareBackup();
        return FileHolds::NewText;
    }
    fs.Remove(target.folder, temporary);
    if (holdsOld(LookAt(fs, target.folder, backup)) && !fs.Rename(target.folder, backup, target.name, true))
        return FileHolds::OldBytes;
    return FileHolds::Other;
}

// The temporary file put under the target's name (the platform waits a moment for a file another
// program holds).
Attempt PutOver(FileSystem& fs, const Target& target, const std::string& temporary, std::string_view bytes) {
    const std::string backup = BackupName(target.name);
    const Failure failure = fs.Replace(target.folder, temporary, target.name, backup);
    if (!failure) return Done();
    const FileHolds holds = PutRight(fs, target, temporary, backup, bytes);
    if (holds == FileHolds::NewText) return Done();
    fs.Remove(target.folder, temporary);
    // Refused with the file as it was (what it has could not be carried over to a new file, no
    // room for the folder to grow): the file itself can take the text.
    if (holds == FileHolds::OldBytes && (failure.problem == Problem::AccessDenied || failure.problem == Problem::NoSpace))
        return AnotherWay(failure);
    Attempt failed = FailedFor(failure);
    Info info;
    if (holds != FileHolds::OldBytes && !fs.Look(target.folder, backup, info)) failed.oldBytesAt = PathOf(target.folder, backup);
    return failed;
}

}  // namespace

Attempt ReplaceWhole(FileSystem& fs, const Target& target, std::string_view bytes) {
    if (target.exists() && target.before.info.links > 1) return AnotherWay({});
    Temporary made;
    const auto discard = [&](const Attempt& attempt) {
        made.file.reset();
        if (!made.name.empty()) fs.Remove(target.folder, made.name);
        return attempt;
    };
    Failure failure = CreateTemporary(fs, target, made);
    if (failure) return made.file ? discard(FailedFor(failure)) : AnotherWay(failure);
    if (target.exists() && (failure = fs.CopyMetadata(target.folder, target.name, made.file)))
        return discard(AnotherWay(failure));
    if ((failure = fs.WriteAt(made.file, 0, bytes)) || (failure = fs.Sync(made.file))) {
        // No room for a second copy: the file's own space may still take the text.
        const bool full = failure.problem == Problem::NoSpace && target.exists();
        return discard(full ? AnotherWay(failure) : FailedFor(failure));
    }
    if (made.name.empty() && (failure = NameTemporary(fs, target, made))) return discard(FailedFor(failure));
    if ((failure = fs.Close(made.file))) return discard(FailedFor(failure));
    if (!target.exists()) {
        // Never over a file that another program made meanwhile.
        if ((failure = fs.Rename(target.folder, made.name, target.name, false))) return discard(FailedFor(failure));
    } else if (const Attempt put = PutOver(fs, target, made.name, bytes); put.result != Attempt::Done) {
        return put;
    }
    // Durable when OK returns: the file's own entry (which a folder sync leaves unwritten on
    // FAT), then the folder's names.
    if ((failure = fs.SyncNamed(target.folder, target.name)) || (failure = fs.SyncFolder(target.folder)))
        return FailedFor(failure, Reason::What::NotSynced);
    return Done();
}

Attempt WriteInPlace(FileSystem& fs, const Target& target, std::string_view bytes,
                     const std::function<bool()>& allowUnprotected) {
    File file;
    Failure failure = fs.Open(target.folder, target.name, true, file);
    if (failure) return FailedFor(failure);
    Info info;
    if ((failure = fs.InfoOf(file, info))) return FailedFor(failure);
    if (info.kind != Kind::Regular || info.device != target.before.info.device || info.inode != target.before.info.inode)
        return Replaced();
    std::string old;
    if ((failure = ReadWhole(fs, file, old))) return FailedFor(failure);

    JournalPlace written;
    Failure whyNot;
    const bool journaled =
        WriteJournal(fs, target, JournalOf(info, target.folder->path + target.name, old, bytes), written, whyNot);
    if (!journaled && !allowUnprotected) return FailedFor(whyNot, Reason::What::NoJournal);
    if (!journaled && !allowUnprotected()) return {Attempt::Declined, Reason(Reason::What::Declined), {}};

    // Done with the file, whatever it holds: the journal goes only when the file holds the old
    // bytes or the new text whole, and on disk.
    const auto end = [&](Attempt attempt) {
        if (!journaled) return attempt;
        std::string now;
        const bool whole = !ReadWhole(fs, file, now) && (now == old || now == bytes) && !fs.Sync(file);
        if (whole && !RemoveDurably(fs, written.folder, written.name)) return attempt;
        if (attempt.result == Attempt::Failed) attempt.oldBytesAt = PathOf(written.folder, written.name);
        return attempt;
    };
    if (bytes.size() > old.size()) {
        // Reserved without a change of size: a full disk says so here, before anything is written.
        failure = fs.Reserve(file, bytes.size());
        if (failure && failure.problem != Problem::NotSupported) return end(FailedFor(failure));
    }
    if ((failure = Overwrite(fs, file, bytes, old.size()))) {
        Info now;
        if (!fs.InfoOf(file, now)) Overwrite(fs, file, old, now.size);
        return end(FailedFor(failure));
    }
    const Attempt done = end(Done());
    // Some file systems report a write's failure only here; what the file holds is read back then.
    if ((failure = fs.Close(file))) return FailedFor(failure);
    return done;
}

Attempt SaveInVirtualStore(FileSystem& fs, const Folder& folder, const std::string& name, std::string_view bytes,
                           Folder& copy) {
    if (const Failure failure = fs.OpenVirtualStore(folder, true, copy)) return AnotherWay(failure);
    const Target target{copy, name, LookAt(fs, copy, name)};
    if (target.exists()) return AnotherWay({});  // a copy there would have been the file from the start
    return ReplaceWhole(fs, target, bytes);
}

}  // namespace kov::detail
