// Looking texts up in the catalogue of the language spoken.
#include "catalogue.h"

#include <algorithm>
#include <cstring>

#include "catalogue_table.h"

namespace kov {

namespace {

const catalogue::Catalogue* spoken = nullptr;  // null: English

bool IsC(std::string_view locale) {
    return locale == "C" || locale == "POSIX" || locale.starts_with("C.") || locale.starts_with("C@");
}

// "pl_PL.UTF-8@euro", "pl-PL", "PL" -> "pl"
std::string LanguageOf(std::string_view tag) {
    std::string code(tag.substr(0, tag.find_first_of("_-.@")));
    for (char& c : code)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return code;
}

const catalogue::Message* Find(const char* english) {
    if (spoken == nullptr) return nullptr;
    const auto messages = spoken->messages;
    const auto found = std::lower_bound(messages.begin(), messages.end(), english,
                                        [](const catalogue::Message& m, const char* text) {
                                            return std::strcmp(m.english, text) < 0;
                                        });
    return found != messages.end() && std::strcmp(found->english, english) == 0 ? &*found : nullptr;
}

}  // namespace

std::vector<std::string> PosixLanguagePreferences(const char* language, const char* lcAll, const char* lcMessages,
                                                  const char* lang) {
    std::string_view locale;
    for (const char* set : {lcAll, lcMessages, lang})
        if (set != nullptr && *set != '\0') {
            locale = set;
            break;
        }
    if (locale.empty() || IsC(locale)) return {"C"};
    std::vector<std::string> preferences;
    for (std::string_view rest = language != nullptr ? language : ""; !rest.empty();) {
        const std::size_t colon = rest.find(':');
        if (rest.substr(0, colon).size() > 0) preferences.emplace_back(rest.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    preferences.emplace_back(locale);
    return preferences;
}

std::string_view UseLanguage(std::span<const std::string> preferences) {
    spoken = nullptr;
    for (const std::string& preference : preferences) {
        const std::string code = LanguageOf(preference);
        if (IsC(preference) || code == kEnglish) break;
        const auto found = std::find_if(catalogue::kCatalogues.begin(), catalogue::kCatalogues.end(),
                                        [&](const catalogue::Catalogue& c) { return c.code == code; });
        if (found != catalogue::kCatalogues.end()) {
            spoken = &*found;
            break;
        }
    }
    return CurrentLanguage();
}

std::string_view CurrentLanguage() { return spoken != nullptr ? spoken->code : kEnglish; }

const char* Tr(const char* english) {
    const catalogue::Message* message = Find(english);
    return message != nullptr ? message->forms[0] : english;
}

const char* TrN(const char* one, const char* many, unsigned long count) {
    const catalogue::Message* message = Find(one);
    if (message == nullptr || message->englishPlural == nullptr) return count == 1 ? one : many;
    const unsigned long form = spoken->plural(count);
    return message->forms[form < message->forms.size() ? form : 0];
}

std::string Format(std::string_view text, std::initializer_list<Placeholder> values) {
    std::string out;
    out.reserve(text.size() + 64);
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if ((c == '{' || c == '}') && at + 1 < text.size() && text[at + 1] == c) {
            out += c;
            at += 2;
            continue;
        }
        const std::size_t close = c == '{' ? text.find('}', at) : std::string_view::npos;
        if (close != std::string_view::npos) {
            const std::string_view name = text.substr(at + 1, close - at - 1);
            const auto value = std::find_if(values.begin(), values.end(), [&](const Placeholder& p) { return p.name == name; });
            if (value != values.end()) {
                out += value->value;
                at = close + 1;
                continue;
            }
        }
        out += c;
        ++at;
    }
    return out;
}

}  // namespace kov
