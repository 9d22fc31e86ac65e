// What the player is told and asked about the file, the same in every window layer: the
// questions at opening and before a save with their buttons, and the messages, in the player's
// language (catalogue.h). Each is whole sentences from the catalogue: what happened, why, what
// the player can do (in the terms of the player's system), and what the file holds now.
#pragma once

#include <string>

#include "catalogue.h"
#include "file_types.h"

namespace kov {

// Buttons, looked up where they are shown. The first of each question is the safe one: the
// default, and also Escape and the close box.
// TRANSLATORS: buttons of the questions about the settings file.
inline constexpr const char* kQuitButton = N_("Quit");
inline constexpr const char* kUseDefaultsButton = N_("Use defaults");
inline constexpr const char* kCancelButton = N_("Cancel");
inline constexpr const char* kReplaceButton = N_("Replace");
inline constexpr const char* kSaveButton = N_("Save");

// What the words are about: the file's name as the player reads it, and whose terms the advice
// is in.
struct Subject {
    std::string file;
    detail::Os os = detail::Os::Posix;
};

// At opening, for a file that exists but cannot be read, which OK could replace: Quit or Use defaults.
std::string UnreadableQuestion(const Subject& subject, const OpenResult& opened);
// At opening, for a file that can neither be read nor replaced: the program ends after it.
std::string UnreadableMessage(const Subject& subject, const OpenResult& opened);
// At opening, for a folder that cannot be used: the program ends after it.
std::string NoFolderMessage(const Subject& subject, const OpenResult& opened);
// At opening, when the recovery of an interrupted save found something to tell (empty when not).
std::string RecoveryMessage(const Subject& subject, const RecoveryReport& report);
// Before a save, when the file changed since it was read: Cancel or Replace.
std::string ChangedQuestion(const Subject& subject);
// Before a save, when reading dropped lines: Cancel or Save.
std::string DroppedLinesQuestion(const Subject& subject, const ReadReport& dropped);
// During a save in place, when no record of the old settings can be written anywhere first:
// Cancel or Save.
std::string UnprotectedWriteQuestion(const Subject& subject);
// After a failed save: why, what to do, and what the file holds now.
std::string SaveFailedMessage(const Subject& subject, const SaveResult& result);

// Why, as a paragraph of its own: about the file named in the paragraph before it, when it was
// being read or saved.
std::string ReasonWords(const Reason& reason, const Subject& subject, bool saving);

}  // namespace kov
