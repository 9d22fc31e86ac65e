// Reading the configuration file into the store, and saving the store's text safely: the
// old file is replaced only once the new text is completely on disk.
#pragma once

#include <QString>
#include <string>

#include "configuration_store.h"

namespace kov {

inline constexpr const char* kConfigFileName = "kov.ini";

// Reads the file into the store; a file that does not open leaves the store as it is.
void LoadConfigurationFile(ConfigurationStore& store, const char* fileName);

struct SaveResult {
    bool saved;
    QString reason;  // why not, when not saved
};

// Writes text to a temporary file beside fileName and renames it over fileName. On any failure
// the old file stays byte for byte as it was. A read-only file is never replaced; a symbolic
// link keeps pointing where it did and its target receives the text; permissions are kept.
SaveResult SaveConfigurationFile(const QString& fileName, const std::string& text);

}  // namespace kov
