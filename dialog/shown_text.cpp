// Template texts in the player's language.
#include "dialog_template.h"

namespace kov {

std::string ShownText(const char* text, std::string_view fileName) {
    return Format(Tr(text), {{"version", KOV_VERSION_TEXT}, {"file", fileName}});
}

}  // namespace kov
