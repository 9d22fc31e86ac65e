// The catalogue: which language the locale variables choose, each language's plural rule as
// its .po file states it, placeholders, and what is shown for a text the catalogue lacks.
#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue.h"
#include "catalogue_table.h"
#include "speaking.h"

namespace kov {
namespace {

TEST(Catalogue, TheLocaleVariablesChooseTheLanguageAsGettextReadsThem) {
    const struct {
        const char* language;
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        const char* chosen;
    } rows[] = {
        {nullptr, nullptr, nullptr, nullptr, "en"},
        {nullptr, nullptr, nullptr, "pl_PL.UTF-8", "pl"},
        {nullptr, nullptr, nullptr, "pl_PL@euro", "pl"},
        {nullptr, nullptr, nullptr, "de_DE.UTF-8", "en"},
        {nullptr, nullptr, nullptr, "C", "en"},
        {"pl", nullptr, nullptr, "C.UTF-8", "en"},      // LANGUAGE does not count in the C locale
        {"pl", nullptr, nullptr, nullptr, "en"},
        {"de:pl", nullptr, nullptr, "de_DE.UTF-8", "pl"},  // the first that is had
        {"en:pl", nullptr, nullptr, "pl_PL.UTF-8", "en"},  // English is had: it is the source's
        {"", nullptr, nullptr, "pl_PL.UTF-8", "pl"},
        {nullptr, "C", nullptr, "pl_PL.UTF-8", "en"},   // LC_ALL before LANG
        {nullptr, "", "pl_PL.UTF-8", "en_US.UTF-8", "pl"},  // an empty one counts as unset
        {nullptr, nullptr, "POSIX", "pl_PL.UTF-8", "en"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(UseLanguage(PosixLanguagePreferences(row.language, row.lcAll, row.lcMessages, row.lang)), row.chosen)
            << (row.language ? row.language : "-") << " " << (row.lcAll ? row.lcAll : "-") << " "
            << (row.lcMessages ? row.lcMessages : "-") << " " << (row.lang ? row.lang : "-");
    }
    UseLanguage({});
}

TEST(Catalogue, PolishPluralFormsFollowTheNumbersEnding) {
    const auto polish = std::find_if(catalogue::kCatalogues.begin(), catalogue::kCatalogues.end(),
                                     [](const catalogue::Catalogue& c) { return c.code == "pl"; });
    ASSERT_NE(polish, catalogue::kCatalogues.end());
    // 1 linia; 2, 3, 4, 22, 104 linie; 0, 5, 11 to 14, 21, 112 linii.
    const std::pair<unsigned long, unsigned long> rows[] = {{1, 0},  {2, 1},  {4, 1},  {22, 1},  {104, 1}, {0, 2},
                                                            {5, 2},  {11, 2}, {12, 2}, {14, 2},  {21, 2},  {112, 2}};
    for (const auto& [count, form] : rows) EXPECT_EQ(polish->plural(count), form) << count;
}

TEST(Catalogue, TextsAreLookedUpInTheLanguageSpokenAndShownInEnglishWhereItHasNone) {
    const char* english = "Cancel";
    EXPECT_STREQ(Tr(english), "Cancel");
    EXPECT_EQ(TrN("{count} cat", "{count} cats", 1), std::string("{count} cat"));
    EXPECT_EQ(TrN("{count} cat", "{count} cats", 0), std::string("{count} cats"));
    const testing::Speaking speaking("pl");
    EXPECT_EQ(CurrentLanguage(), "pl");
    EXPECT_STREQ(Tr(english), "Anuluj");
    EXPECT_STREQ(Tr("Not in the catalogue"), "Not in the catalogue");
    EXPECT_EQ(TrN("{count} cat", "{count} cats", 2), std::string("{count} cats"));
}

TEST(Catalogue, PlaceholdersAreFilledWhereverTheTranslationPutsThem) {
    const struct {
        const char* text;
        const char* filled;
    } rows[] = {
        {"{file} of {owner}", "kov.ini of ala"},
        {"{owner}: {file}, {file}", "ala: kov.ini, kov.ini"},
        {"{{file}} {unknown} {", "{file} {unknown} {"},
        {"no placeholder }}", "no placeholder }"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Format(row.text, {{"file", "kov.ini"}, {"owner", "ala"}}), row.filled) << row.text;
}

}  // namespace
}  // namespace kov
