// A dialog template as the Windows dialog manager takes it (DLGTEMPLATEEX), made in memory
// from the shared table, so that both window layers draw one source.
#pragma once

#include <string>
#include <vector>

#include "dialog_template.h"

namespace kov::win32 {

// The bytes of the extended dialog template, DWORD-aligned as the dialog manager wants them,
// with its texts as the player sees them (ShownText, with fileName for {file}).
std::vector<unsigned char> MemoryTemplate(const DialogTemplate& dialog, const std::string& fileName = {});

}  // namespace kov::win32
