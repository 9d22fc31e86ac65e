// The program's own files' names.
#include "own_names.h"

#include <algorithm>
#include <random>

namespace kov::detail {

namespace {

bool IsLetterOrDigit(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

}  // namespace

std::string TemporaryName(const std::string& fileName) {
    static std::mt19937_64 random{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name = "." + fileName + ".";
    for (int i = 0; i < 8; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    return name;
}

bool IsTemporaryNameOf(std::string_view candidate, std::string_view fileName) {
    const std::size_t prefix = fileName.size() + 2;
    if (candidate.size() != prefix + 8 || candidate[0] != '.' || candidate.substr(1, fileName.size()) != fileName ||
        candidate[prefix - 1] != '.')
        return false;
    const std::string_view tail = candidate.substr(prefix);
    return std::all_of(tail.begin(), tail.end(), IsLetterOrDigit);
}

bool IsSettingsTextStart(std::string_view bytes) {
    const auto startsWith = [&](std::string_view header) {
        return bytes.substr(0, header.size()) == header.substr(0, std::min(header.size(), bytes.size()));
    };
    return startsWith("[]\n") || startsWith("[]\r\n");
}

std::string BackupName(const std::string& fileName) { return "." + fileName + ".backup"; }

std::string JournalNameBeside(std::string_view fileName) { return "." + std::string(fileName) + ".journal"; }

std::string JournalNameInStateFolder(std::uint64_t device, std::uint64_t inode) {
    return std::to_string(device) + "-" + std::to_string(inode) + ".journal";
}

bool IsJournalNameInStateFolder(std::string_view name) {
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || !name.ends_with(".journal")) return false;
    const std::string_view second = name.substr(dash + 1, name.size() - dash - 1 - 8);
    const auto digits = [](std::string_view part) {
        return !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return digits(name.substr(0, dash)) && digits(second);
}

}  // namespace kov::detail
