// The rollback journal of an in-place save.
#include "journal.h"

#include <algorithm>
#include <charconv>

#include "read_policy.h"

namespace kov::detail {

namespace {

constexpr std::string_view kFirstMagic = "kovconfig journal 1\n";  // without the new bytes
constexpr std::string_view kMagic = "kovconfig journal 2\n";
constexpr std::string_view kCheck = "check ";

// A number field: "key value\n".
void Field(std::string& out, std::string_view key, std::uint64_t value) {
    out.append(key).append(" ").append(std::to_string(value)).append("\n");
}

class Parser {
public:
    explicit Parser(std::string_view bytes) : rest_(bytes) {}
    bool Literal(std::string_view text) {
        if (!rest_.starts_with(text)) return false;
        rest_.remove_prefix(text.size());
        return true;
    }
    bool Number(std::string_view key, std::uint64_t& value) {
        if (!Literal(key) || !Literal(" ")) return false;
        const auto [end, error] = std::from_chars(rest_.data(), rest_.data() + rest_.size(), value);
        if (error != std::errc() || end == rest_.data()) return false;
        rest_.remove_prefix(static_cast<std::size_t>(end - rest_.data()));
        return Literal("\n");
    }
    bool Bytes(std::size_t count, std::string& out) {
        if (rest_.size() < count) return false;
        out.assign(rest_.substr(0, count));
        rest_.remove_prefix(count);
        return true;
    }
    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};

}  // namespace

Journal JournalOf(const Info& info, std::string path, std::string oldBytes, std::string_view newBytes) {
    Journal journal{info.device, info.inode, std::move(path), oldBytes.size(), Hash(oldBytes), newBytes.size(),
                    Hash(newBytes), std::move(oldBytes), std::string(newBytes)};
    return journal;
}

std::string EncodeJournal(const Journal& journal) {
    std::string out(journal.newBytes ? kMagic : kFirstMagic);
    Field(out, "device", journal.device);
    Field(out, "inode", journal.inode);
    Field(out, "path", journal.path.size());
    out.append(journal.path).append("\n");
    Field(out, "old-size", journal.oldSize);
    Field(out, "old-hash", journal.oldHash);
    Field(out, "new-size", journal.newSize);
    Field(out, "new-hash", journal.newHash);
    out.append(journal.oldBytes).append(journal.newBytes.value_or(std::string()));
    // Whether the whole journal reached the disk: a crash while it was written leaves it short.
    Field(out, kCheck.substr(0, kCheck.size() - 1), Hash(out));
    return out;
}

std::optional<Journal> DecodeJournal(std::string_view bytes) {
    const std::size_t checkAt = bytes.rfind(kCheck);
    if (checkAt == std::string_view::npos) return std::nullopt;
    std::uint64_t check = 0;
    Parser tail(bytes.substr(checkAt));
    if (!tail.Number(kCheck.substr(0, kCheck.size() - 1), check) || !tail.rest().empty() ||
        check != Hash(bytes.substr(0, checkAt)))
        return std::nullopt;
    Journal journal;
    Parser parser(bytes.substr(0, checkAt));
    std::uint64_t pathSize = 0;
    const bool first = parser.Literal(kFirstMagic);
    if ((!first && !parser.Literal(kMagic)) || !parser.Number("device", journal.device) || !parser.Number("inode", journal.inode) ||
        !parser.Number("path", pathSize) || !parser.Bytes(pathSize, journal.path) || !parser.Literal("\n") ||
        !parser.Number("old-size", journal.oldSize) || !parser.Number("old-hash", journal.oldHash) ||
        !parser.Number("new-size", journal.newSize) || !parser.Number("new-hash", journal.newHash) ||
        parser.rest().size() != journal.oldSize + (first ? 0 : journal.newSize))
        return std::nullopt;
    journal.oldBytes = parser.rest().substr(0, journal.oldSize);
    if (!first) journal.newBytes = parser.rest().substr(journal.oldSize);
    if (Hash(journal.oldBytes) != journal.oldHash || (journal.newBytes && Hash(*journal.newBytes) != journal.newHash))
        return std::nullopt;
    return journal;
}

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

bool IsTemporaryNameOf(std::string_view candidate, std::string_view fileName) {
    const std::size_t prefix = fileName.size() + 2;
    if (candidate.size() != prefix + 8 || candidate[0] != '.' || candidate.substr(1, fileName.size()) != fileName ||
        candidate[prefix - 1] != '.')
        return false;
    for (const char c : candidate.substr(prefix))
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

bool IsSettingsTextStart(std::string_view bytes) {
    const auto startsWith = [&](std::string_view header) {
        return bytes.substr(0, header.size()) == header.substr(0, std::min(header.size(), bytes.size()));
    };
    return startsWith("[]\n") || startsWith("[]\r\n");
}

FileHolds StateAgainst(const Journal& journal, std::string_view bytes, bool sameFile) {
    if (bytes == journal.oldBytes) return FileHolds::OldBytes;
    if (bytes.size() == journal.newSize && Hash(bytes) == journal.newHash) return FileHolds::NewText;
    if (journal.newSize < journal.oldSize && bytes.size() == journal.oldSize &&
        Hash(bytes.substr(0, journal.newSize)) == journal.newHash &&
        bytes.find_first_not_of('\n', journal.newSize) == std::string_view::npos)
        return FileHolds::NewTextPadded;
    if (!journal.newBytes) return sameFile ? FileHolds::Mixture : FileHolds::Other;
    // Torn part way: no longer than the write made it, and within the old size each byte the
    // old one or the new one (beyond it, a growth that a power cut may leave unwritten).
    const std::string padded = PaddedOver(*journal.newBytes, journal.oldBytes.size());
    if (bytes.size() > padded.size()) return FileHolds::Other;
    for (std::size_t at = 0; at < bytes.size() && at < journal.oldBytes.size(); ++at)
        if (bytes[at] != journal.oldBytes[at] && bytes[at] != padded[at]) return FileHolds::Other;
    return FileHolds::Mixture;
}

std::string PaddedOver(std::string_view text, std::size_t oldSize) {
    std::string bytes(text);
    if (bytes.size() < oldSize) bytes.append(oldSize - bytes.size(), '\n');
    return bytes;
}

}  // namespace kov::detail
