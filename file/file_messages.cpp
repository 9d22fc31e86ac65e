// What the player is told and asked about the file.
#include "file_messages.h"

#include "printable_name.h"

namespace kov {

namespace {

using detail::Kind;
using detail::Os;
using detail::Problem;
using What = Reason::What;

constexpr std::size_t kShownLineMax = 60;

std::string ShownLine(const std::string& line) {
    std::string shown = PrintableName(line);
    if (shown.size() <= kShownLineMax) return shown;
    std::size_t cut = kShownLineMax;
    while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) --cut;  // whole characters
    return shown.substr(0, cut) + "\u2026";
}

// The folder of a file's name as the player reads it, without its separator; empty for a bare name.
std::string FolderOf(const Subject& subject) {
    const std::size_t at = subject.file.find_last_of(subject.os == Os::Windows ? "\\/" : "/");
    return at == std::string::npos || at == 0 ? std::string() : subject.file.substr(0, at);
}

std::string Paragraphs(std::initializer_list<std::string> parts) {
    std::string text;
    for (const std::string& part : parts)
        if (!part.empty()) text += (text.empty() ? "" : "\n\n") + part;
    return text;
}

// What the system refused, and what the player can do about it.
std::string RefusalWords(const Reason& reason, const Subject& subject, bool saving) {
    const bool windows = subject.os == Os::Windows;
    const detail::Failure& failure = reason.failure;
    switch (failure.problem) {
        case Problem::NotFound:
            return Tr("It was not found: it, or the folder it is in, may have been moved or deleted.");
        case Problem::Exists:
            return Tr("Another file of the same name appeared while it was being saved.");
        case Problem::AccessDenied:
            if (!saving)
                return reason.owner.empty()
                           ? Tr("You do not have permission to read it.")
                           : Format(Tr("It belongs to {owner}, and you do not have permission to read it."),
                                    {{"owner", reason.owner}});
            if (!reason.owner.empty())
                return Format(windows ? Tr("It belongs to {owner}, and Windows does not let you change it. Ask an "
                                           "administrator to give you permission to change it (in its Properties, on "
                                           "the Security tab), then press OK again.")
                                      : Tr("It belongs to {owner}, and you do not have permission to change it. Ask "
                                           "{owner} or an administrator to let you, then press OK again."),
                              {{"owner", reason.owner}});
            return windows ? Tr("Windows does not let you change it, or make files in its folder. Give yourself "
                                "permission to change both (in their Properties, on the Security tab), then press OK "
                                "again.")
                           : Tr("You do not have permission to change it, or to make files in its folder. Give "
                                "yourself write permission to both (in their Properties, or with chmod), then press OK "
                                "again.");
        case Problem::NoSpace: {
            const std::string folder = FolderOf(subject);
            return folder.empty() ? Tr("Its disk is full. Make room on it, then press OK again.")
                                  : Format(Tr("The disk that holds {folder} is full. Make room on it, then press OK "
                                              "again."),
                                           {{"folder", folder}});
        }
        case Problem::TooLarge:
            return Tr("Its disk does not take a file this large.");
        case Problem::HeldByAnother:
            return saving ? Tr("Another program has it open: the game, or an editor. Close that program, then press "
                               "OK again.")
                          : Tr("Another program has it open: the game, or an editor. Close that program, then start "
                               "this one again.");
        case Problem::NotSupported:
            return Tr("The file system of its disk cannot do what this needs.");
        case Problem::ReadOnlyDisk:
            return windows ? Tr("The disk that holds it is write-protected. Remove the protection, then press OK "
                                "again.")
                           : Tr("The disk that holds it is read-only: mounted read-only, or write-protected. Make "
                                "it writable, then press OK again.");
        default: {
            const std::string code = std::to_string(failure.code);
            return reason.systemWords.empty()
                       ? Format(Tr("The system reported error {code}."), {{"code", code}})
                       : Format(Tr("The system reported error {code}: {words}."),
                                {{"code", code}, {"words", reason.systemWords}});
        }
    }
}

const char* NotAFileWords(Kind kind) {
    switch (kind) {
        case Kind::Folder: return Tr("It is a folder, not a file.");
        case Kind::Fifo: return Tr("It is a named pipe (FIFO), not a file.");
        case Kind::Device: return Tr("It is a device, not a file.");
        case Kind::Socket: return Tr("It is a socket, not a file.");
        default: return Tr("It is not an ordinary file.");
    }
}

// After a failed save: what the file holds now, and where else its old settings are.
std::string HoldsWords(const SaveResult& result) {
    if (result.outcome == SaveOutcome::NotSavedUnchanged)
        return result.holds == FileHolds::Nothing ? Tr("No file was made.") : Tr("The file was left as it was.");
    std::string holds;
    switch (result.holds) {
        case FileHolds::NewText: return Tr("The file already holds the new settings.");
        case FileHolds::Other: holds = Tr("The file now holds neither its old settings nor the new ones."); break;
        case FileHolds::Nothing: holds = Tr("The file is gone."); break;
        default: holds = Tr("The file could not be read back to check what it holds."); break;
    }
    return holds + " " +
           (result.oldBytesAt.empty()
                ? std::string(Tr("No other copy of its old settings was kept."))
                : Format(Tr("A copy of its old settings is kept in {path}."), {{"path", result.oldBytesAt}}));
}

}  // namespace

std::string ReasonWords(const Reason& reason, const Subject& subject, bool saving) {
    const bool windows = subject.os == Os::Windows;
    switch (reason.what) {
        case What::None:
        case What::Declined:
            return {};
        case What::Refused:
            return RefusalWords(reason, subject, saving);
        case What::NotAFile:
            return NotAFileWords(reason.kind);
        case What::TooLarge:
            return Format(Tr("It is larger than {size} MiB, far more than a settings file holds."),
                          {{"size", std::to_string(kMaxFileSize >> 20)}});
        case What::Utf16:
            return Tr("It is saved as UTF-16 text, which this program cannot read.");
        case What::StrangersLink:
            return Tr("It is a symbolic link that another user made to a file that is not theirs. This program does "
                      "not follow such a link while it runs with raised rights: run it as yourself, not as root.");
        case What::MarkedReadOnly:
            return windows ? Tr("It is marked read-only. Clear Read-only in its Properties, then press OK again.")
                           : Tr("It is marked read-only. Give its owner write permission (in its Properties, or "
                                "with chmod u+w), then press OK again.");
        case What::FolderNotOpened:
            return std::string(Tr("The folder this program was started in cannot be opened.")) + " " +
                   RefusalWords(reason, subject, saving);
        case What::WindowsFolder:
            return Format(Tr("This program was started in the Windows folder ({folder}), not in the game's folder. "
                             "Start it in the game's folder, where the game keeps kov.ini."),
                          {{"folder", reason.path}});
        case What::FolderDeleted:
            return Tr("The folder it was in was deleted after this dialog opened. Start this program again in the "
                      "game's folder.");
        case What::FolderMoved:
            return Tr("The folder it was in was moved, renamed or replaced after this dialog opened, so the settings "
                      "are not saved into another folder. Start this program again in the game's folder.");
        case What::ReplacedMeanwhile:
            return Tr("Another program replaced it while it was being saved.");
        case What::NoJournal:
            return std::string(Tr("Before it is written over in place, a copy of its old settings must be kept, and "
                                  "none could be written.")) +
                   " " + RefusalWords(reason, subject, true);
        case What::NotSynced:
            return std::string(Tr("The new settings were written, but the disk did not confirm that they are stored: "
                                  "they may be lost if the power fails.")) +
                   " " + RefusalWords(reason, subject, true);
    }
    return {};
}

std::string UnreadableQuestion(const Subject& subject, const OpenResult& opened) {
    return Paragraphs({Format(Tr("The settings file {file} cannot be read."), {{"file", subject.file}}),
                       ReasonWords(opened.reason, subject, false),
                       Tr("Quit leaves it as it is. Use defaults opens the dialog with the default settings, and OK "
                          "then replaces the file with them.")});
}

std::string UnreadableMessage(const Subject& subject, const OpenResult& opened) {
    const bool notAFile = opened.overwritable == Overwritable::NotARegularFile;
    return Paragraphs(
        {Format(Tr("The settings file {file} can neither be read nor replaced."), {{"file", subject.file}}),
         ReasonWords(opened.reason, subject, false),
         notAFile ? Tr("Nothing was changed, and this program ends. Move it out of the way, then start this program "
                       "again to make a new settings file.")
                  : Tr("You may not write to it either. Nothing was changed, and this program ends. Once you may read "
                       "and write it, start this program again.")});
}

std::string NoFolderMessage(const Subject& subject, const OpenResult& opened) {
    return Paragraphs({Format(Tr("The settings file {file} cannot be used."), {{"file", subject.file}}),
                       ReasonWords(opened.reason, subject, false),
                       Tr("Nothing was read or changed, and this program ends.")});
}

std::string RecoveryMessage(const Subject& subject, const RecoveryReport& report) {
    std::string text;
    const auto paragraph = [&](const std::string& more) { text = Paragraphs({text, more}); };
    if (report.restored)
        paragraph(Format(Tr("The last save of {file} was interrupted: the program ended, or the power failed, while "
                            "it was written. The file was put back as it was before that save."),
                         {{"file", subject.file}}));
    if (report.failure)
        paragraph(Paragraphs(
            {Format(Tr("The last save of {file} was interrupted, and the file could not be put back as it was."),
                    {{"file", subject.file}}),
             ReasonWords(report.failure, subject, true),
             Format(Tr("A copy of its old settings is kept in {journal}; the next start tries again."),
                    {{"journal", report.failedJournal}})}));
    for (const std::string& journal : report.keptJournals)
        paragraph(Format(Tr("A record of an interrupted save was found in {journal}, but {file} is gone or is another "
                            "file now, so it was not applied. It is kept in case its settings are wanted; delete it "
                            "when they are not."),
                         {{"journal", journal}, {"file", subject.file}}));
    return text;
}

std::string ChangedQuestion(const Subject& subject) {
    return Paragraphs({Format(Tr("{file} was changed by another program after this dialog opened."),
                              {{"file", subject.file}}),
                       Tr("Replace those changes with the settings shown here? Cancel returns to the dialog without "
                          "saving.")});
}

std::string DroppedLinesQuestion(const Subject& subject, const ReadReport& dropped) {
    const unsigned long count = static_cast<unsigned long>(dropped.droppedLines);
    // TRANSLATORS: {count} lines of the file named {file}; {line} is the first of them.
    return Format(TrN("{count} line of {file} is not a setting that this program can keep: “{line}”.\n\n"
                      "Save the settings without it? Cancel returns to the dialog without saving.",
                      "{count} lines of {file} are not settings that this program can keep. The first is: "
                      "“{line}”.\n\nSave the settings without them? Cancel returns to the dialog without "
                      "saving.",
                      count),
                  {{"count", std::to_string(count)}, {"file", subject.file}, {"line", ShownLine(dropped.firstDropped)}});
}

std::string UnprotectedWriteQuestion(const Subject& subject) {
    return Paragraphs(
        {Format(Tr("{file} can only be saved by writing over it in place, and no copy of its old settings could be "
                   "kept first, neither beside it nor in your own folder for this program. If the save were "
                   "interrupted by a crash or a power cut, the file could be left damaged."),
                {{"file", subject.file}}),
         Tr("Save anyway? Cancel returns to the dialog without saving.")});
}

std::string SaveFailedMessage(const Subject& subject, const SaveResult& result) {
    return Paragraphs({Format(Tr("The settings could not be saved to {file}."), {{"file", subject.file}}),
                       ReasonWords(result.reason, subject, true), HoldsWords(result)});
}

}  // namespace kov
