// The shape of the table that the build makes from the .po files (make_table.py): one catalogue
// per language, its messages sorted by their English text, bytewise.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace kov::catalogue {

struct Message {
    const char* english;  // msgid
    const char* englishPlural;  // msgid_plural, or null
    std::span<const char* const> forms;  // msgstr, or msgstr[0..n-1] by the plural rule
};

struct Catalogue {
    std::string_view code;  // as in LINGUAS: "pl"
    std::span<const Message> messages;
    // The form for a count: the Plural-Forms expression of the language's .po file.
    unsigned long (*plural)(unsigned long n);
};

extern const std::span<const Catalogue> kCatalogues;

}  // namespace kov::catalogue
