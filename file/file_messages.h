// What the player is told and asked about the file, the same in every window layer: the
// texts of the questions at opening and before a save, their buttons, and save failures.
#pragma once

#include <string>

#include "config_file.h"

namespace kov {

// Buttons. The first of each question is the safe one: default, and also Escape and the close box.
inline constexpr const char* kQuitButton = "Quit";
inline constexpr const char* kUseDefaultsButton = "Use defaults";
inline constexpr const char* kCancelButton = "Cancel";
inline constexpr const char* kReplaceButton = "Replace";
inline constexpr const char* kSaveButton = "Save";

// At opening, for a file that exists but could not be read: Quit or Use defaults.
std::string UnreadableMessage(const std::string& fileName, const OpenResult& opened);
// At opening, when the recovery of an interrupted save found something to tell (empty when not).
std::string RecoveryMessage(const std::string& fileName, const RecoveryReport& report);
// At opening, for a folder that cannot be used: the program ends after it.
std::string NoFolderMessage(const std::string& fileName, const OpenResult& opened);
// Before a save, when the file changed since it was read: Cancel or Replace.
std::string ChangedMessage(const std::string& fileName);
// Before a save, when reading dropped lines: Cancel or Save.
std::string DroppedLinesMessage(const std::string& fileName, const ReadReport& dropped);
// During a save in place, when no record of the old settings can be written anywhere first:
// Cancel or Save.
std::string UnprotectedWriteMessage(const std::string& fileName);
// After a failed save: why, and what the file holds now.
std::string SaveFailedMessage(const std::string& fileName, const SaveResult& result);

}  // namespace kov
