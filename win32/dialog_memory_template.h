// A dialog template as the Windows dialog manager takes it (DLGTEMPLATEEX), made in memory
// from the shared table, so that both window layers draw one source.
#pragma once

#include <vector>

#include "dialog_template.h"

namespace kov::win32 {

// The bytes of the extended dialog template, DWORD-aligned as the dialog manager wants them.
std::vector<unsigned char> MemoryTemplate(const DialogTemplate& dialog);

}  // namespace kov::win32
