// The file boundary: kov.ini in the folder the program was started in, read when the dialog
// opens and saved on OK. Nothing else in the program touches the file. The policy is written
// once here and in the files beside it; beneath it, each platform gives only primitives
// (file_system.h).
//
// Contract, written once here:
// - The file is that folder's: reached through a handle on the starting folder (on Windows,
//   through the folder's name, checked against the folder held open since the start: a folder
//   moved or replaced is refused), so a long, undecodable or deleted folder name never leads to
//   another folder's file. The Windows folder itself is never used, and an old game's
//   VirtualStore copy, which is what the game reads, is the file when it exists. Without a
//   kov.ini, a name that matches it ignoring ASCII case (KOV.INI, copied from a CD) is the
//   file, as the game finds it under Wine.
// - Reading takes all or nothing: a file that exists but cannot be read completely (not a
//   regular file, no permission, an I/O error, larger than kMaxFileSize, UTF-16 text) leaves
//   the store untouched and says why. Nothing blocks: a FIFO is opened without waiting.
// - Saving never leaves a half-written file: on any failure the result says what the file was
//   found to hold when it was read back. A crash or a power cut at any instant leaves the old
//   or the new bytes whole on disk (in the file, or in the journal of an in-place write, which
//   the next start finishes), and a kill never leaves a file that reads as a mixture of the two.
//   Owner, group, mode, extended attributes (ACLs among them), Windows' attributes and creation
//   time, and hard links are kept; a symbolic link stays a link and its target receives the
//   text; something that is not a regular file, or a file marked read-only or that this program
//   may not write, is never replaced.
// - A failure says why as a Reason, from which the player's words are made (file_messages.h).
// - The text is given and read with "\n" line ends; on Windows the file has "\r\n".
#pragma once

#include <functional>
#include <string>

#include "configuration_store.h"
#include "file_state.h"
#include "file_system.h"
#include "file_types.h"

namespace kov {

class ConfigFile {
public:
    // Takes hold of the current folder, through the platform's primitives or the given ones.
    ConfigFile();
    explicit ConfigFile(detail::FileSystem& fileSystem);
    ConfigFile(const ConfigFile&) = delete;
    ConfigFile& operator=(const ConfigFile&) = delete;

    // The file's absolute name when it can be formed (bytes that are not UTF-8 escaped), else
    // just its name.
    const std::string& DisplayName() const { return displayName_; }
    // Whose terms the advice about it is in.
    detail::Os System() const { return fs_.System(); }

    // Before reading: finishes what a crash or a power cut left of a save. A journal of an
    // in-place write is finished when the file holds its old or new bytes or a torn mixture of
    // them: removed, after the old bytes are written back over a mixture. A journal of a file
    // that holds anything else, or is gone, is kept and reported. This program's stale
    // temporary files beside the file go, and a backup left by a replacement is put back when
    // the file is gone.
    RecoveryReport Recover();
    // Adds the file's settings to the store, or nothing. A ConfigurationException (out of
    // memory) passes to the caller.
    OpenResult Read(ConfigurationStore& store);
    // Whether the file appeared, vanished, or changed in identity, size, time or bytes since Read.
    bool ChangedSinceRead() const;
    // Replaces the file's contents with text (creating the file when there is none). A write in
    // place is protected by a journal of the old bytes; when none can be written anywhere,
    // allowUnprotected is asked first (no answer: not saved).
    SaveResult Save(const std::string& text, const std::function<bool()>& allowUnprotected = {});

private:
    // Why nothing may be saved in the starting folder now (none when it may).
    Reason FolderProblem() const;
    // The reason with what the system can add to it: its words, and whose file was refused.
    Reason Explained(Reason reason, const detail::Folder& folder, const std::string& name, bool exists) const;

    detail::FileSystem& fs_;
    detail::Folder start_;   // the starting folder, held from the start
    Reason startProblem_;    // why it is not to be used at all
    detail::Folder folder_;  // the file's folder: the starting one, or the VirtualStore copy's
    std::string name_;       // the file's name in it, as found there
    std::string displayName_;
    detail::FileState read_;  // the file as it was read, or as this program last saved it
};

}  // namespace kov
