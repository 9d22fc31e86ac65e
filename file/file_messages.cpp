// What the player is told and asked about the file.
#include "file_messages.h"

#include "printable_name.h"

namespace kov {

namespace {

constexpr std::size_t kShownLineMax = 60;

std::string ShownLine(const std::string& line) {
    std::string shown = PrintableName(line);
    if (shown.size() <= kShownLineMax) return shown;
    std::size_t cut = kShownLineMax;
    while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) --cut;  // whole characters
    return shown.substr(0, cut) + "\u2026";
}

}  // namespace

std::string UnreadableMessage(const std::string& fileName, const OpenResult& opened) {
    std::string text = "The settings file " + fileName + " cannot be read: " + opened.reason +
                       ".\n\nQuit leaves it as it is. Use defaults opens the settings with their default values";
    switch (opened.replacement) {
        case Replacement::Allowed: return text + "; OK will then replace the file with them.";
        case Replacement::ReadOnly: return text + "; they cannot be saved over it, as it may not be written to.";
        default: return text + "; they cannot be saved over it, as it is not a regular file.";
    }
    return text;
}

std::string RecoveryMessage(const std::string& fileName, const RecoveryReport& report) {
    std::string text;
    const auto paragraph = [&](const std::string& more) { text += (text.empty() ? "" : "\n\n") + more; };
    if (report.restored)
        paragraph("The last save of " + fileName +
                  " was interrupted (the program ended or the power failed while it was written). The file was put "
                  "back as it was before that save.");
    if (!report.failure.empty())
        paragraph("The last save of " + fileName + " was interrupted, and the file could not be put back: " +
                  report.failure + ". A copy of its old settings is kept in " + report.failedJournal +
                  "; the next start tries again.");
    for (const std::string& journal : report.keptJournals)
        paragraph("A record of an interrupted save was found in " + journal + ", but " + fileName +
                  " is gone or is another file now, so it was not applied. It is kept in case its settings are "
                  "wanted.");
    return text;
}

std::string UnprotectedWriteMessage(const std::string& fileName) {
    return fileName +
           " can only be saved over its old settings in place, and no record of them could be written first (not "
           "beside the file, nor in this program's folder of your own). If the save were interrupted, the file could "
           "be left damaged.\n\nSave saves anyway; Cancel returns to the dialog.";
}

std::string NoFolderMessage(const std::string& fileName, const OpenResult& opened) {
    return "The settings file " + fileName + " cannot be used: " + opened.reason +
           ".\n\nNothing was read or changed. The program ends.";
}

std::string ChangedMessage(const std::string& fileName) {
    return fileName +
           " was changed by another program after this dialog opened.\n\nReplace saves these settings over "
           "those changes; Cancel returns to the dialog.";
}

std::string DroppedLinesMessage(const std::string& fileName, const ReadReport& dropped) {
    const std::string count = std::to_string(dropped.droppedLines);
    const bool one = dropped.droppedLines == 1;
    return count + (one ? " line of the file " : " lines of the file ") + fileName +
           (one ? " is not a setting" : " are not settings") + " this program can keep (the first: \"" +
           ShownLine(dropped.firstDropped) + "\"); saving removes " + (one ? "it." : "them.") +
           "\n\nSave saves the settings without " + (one ? "it" : "them") + "; Cancel returns to the dialog.";
}

std::string SaveFailedMessage(const std::string& fileName, const SaveResult& result) {
    // The reason opens a paragraph of its own here: its first letter is a capital.
    std::string reason = result.reason;
    if (!reason.empty() && reason[0] >= 'a' && reason[0] <= 'z') reason[0] = static_cast<char>(reason[0] - 'a' + 'A');
    std::string text = "The settings could not be saved to " + fileName + ".\n\n" + reason + ".\n\n";
    if (result.outcome == SaveOutcome::NotSavedUnchanged)
        return text + (result.holds == FileHolds::Nothing ? "No file was made." : "The file was left as it was.");
    switch (result.holds) {
        case FileHolds::NewText:
            return text + "The file already holds the new settings.";
        case FileHolds::Other:
            text += "The file now holds neither its old settings nor the new ones.";
            break;
        case FileHolds::Nothing:
            text += "The file is gone.";
            break;
        default:
            text += "The file could not be read back to check what it holds.";
            break;
    }
    return text + (result.oldBytesAt.empty() ? " No other copy of its old settings was kept."
                                             : " A copy of its old settings is kept in " + result.oldBytesAt + ".");
}

}  // namespace kov
