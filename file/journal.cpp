// The rollback journal of an in-place save.
#include "journal.h"

#include <algorithm>
#include <charconv>

#include "in_place.h"
#include "own_names.h"

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

AgainstJournal StateAgainst(const Journal& journal, std::string_view bytes, bool sameFile) {
    if (bytes == journal.oldBytes) return AgainstJournal::OldBytes;
    if (bytes.size() == journal.newSize && Hash(bytes) == journal.newHash) return AgainstJournal::NewText;
    if (journal.newSize < journal.oldSize && bytes.size() == journal.oldSize &&
        Hash(bytes.substr(0, journal.newSize)) == journal.newHash &&
        bytes.find_first_not_of('\n', journal.newSize) == std::string_view::npos)
        return AgainstJournal::NewTextPadded;
    if (!journal.newBytes) return sameFile ? AgainstJournal::Mixture : AgainstJournal::Other;
    // Torn part way: no longer than the write made it, and within the old size each byte the
    // old one or the new one (beyond it, a growth that a power cut may leave unwritten).
    const std::string padded = PaddedOver(*journal.newBytes, journal.oldBytes.size());
    if (bytes.size() > padded.size()) return AgainstJournal::Other;
    for (std::size_t at = 0; at < bytes.size() && at < journal.oldBytes.size(); ++at)
        if (bytes[at] != journal.oldBytes[at] && bytes[at] != padded[at]) return AgainstJournal::Other;
    return AgainstJournal::Mixture;
}

std::uint64_t Hash(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

bool WriteJournal(FileSystem& fs, const Target& target, const Journal& journal, JournalPlace& written, Failure& whyNot) {
    const std::string encoded = EncodeJournal(journal);
    // A new hidden file holding the bytes, synced with its folder; none is left when a step fails.
    const auto write = [&](const Folder& folder, const std::string& name) {
        File file;
        Failure failure = fs.CreateNew(folder, name, true, file);
        if (failure) return failure;
        failure = fs.WriteAt(file, 0, encoded);
        if (!failure) failure = fs.Sync(file);
        if (const Failure closed = fs.Close(file); !failure) failure = closed;
        if (!failure) failure = fs.SyncFolder(folder);
        if (failure) fs.Remove(folder, name);
        return failure;
    };
    written = {target.folder, JournalNameBeside(target.name)};
    whyNot = write(written.folder, written.name);
    if (!whyNot) return true;
    written.name = JournalNameInStateFolder(journal.device, journal.inode);
    whyNot = fs.OpenStateFolder(true, written.folder);
    if (!whyNot) whyNot = write(written.folder, written.name);
    return !whyNot;
}

}  // namespace kov::detail
