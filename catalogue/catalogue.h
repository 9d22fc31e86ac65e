// The program's texts in the player's language. Every text a player sees is written in English
// in the source, marked for the catalogue (catalogue/po: the template kovconfig.pot and one .po
// file per language, listed in LINGUAS), and looked up here in the language chosen at start.
// The build turns the .po files into the table this reads, so both window layers speak from one
// catalogue. A text the catalogue lacks is shown in English, as written.
//
// Marking, for xgettext: Tr("text") where a text is shown; N_("text") in a table whose texts are
// shown later through Tr; TrN("one", "many", count) for a count, by each language's plural rules.
// Placeholders are {name}, which a translator may move (python-brace-format in the catalogue).
// A comment "TRANSLATORS: ..." just before a marked text goes to the translators with it.
#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Marks a text for the catalogue without looking it up: it is looked up where it is shown.
#define N_(text) text

namespace kov {

// The code of the source's own language, which every other falls back to.
inline constexpr std::string_view kEnglish = "en";

// The languages a player prefers, most wanted first, from the POSIX locale variables as gettext
// reads them: LANGUAGE (a colon-separated list) and then the first set of LC_ALL, LC_MESSAGES
// and LANG. LANGUAGE counts only when that locale is not C or POSIX. Null means unset.
std::vector<std::string> PosixLanguagePreferences(const char* language, const char* lcAll, const char* lcMessages,
                                                  const char* lang);

// Speaks, from here on, the first of the preferences the catalogue has ("pl", "pl_PL.UTF-8" and
// "pl-PL" all name Polish); English for C, POSIX or English, or when none is had. Returns the
// code of the language chosen.
std::string_view UseLanguage(std::span<const std::string> preferences);
// The code of the language spoken now ("en" until one is chosen).
std::string_view CurrentLanguage();

// The text in the language spoken now.
const char* Tr(const char* english);
// The form of a text for count: the language's own plural form (English: one for 1, many else).
const char* TrN(const char* one, const char* many, unsigned long count);

struct Placeholder {
    std::string_view name;
    std::string_view value;
};
// The text with each {name} replaced by its value ("{{" and "}}" stand for braces); an unknown
// name is left as it is.
std::string Format(std::string_view text, std::initializer_list<Placeholder> values);

}  // namespace kov
