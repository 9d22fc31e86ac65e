// The reader of the sectioned text format. Each line is taken whole, whatever its length;
// "\r\n" counts as one line end; a NUL byte hides the rest of its line from the token rules.
// Lines that a save would lose are counted for the caller's ReadReport.
#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>

#include "configuration_store.h"
#include "store_internal.h"

namespace kov {
using namespace detail;

namespace {

// A set of delimiter bytes, looked up in one step.
class Delimiters {
public:
    constexpr explicit Delimiters(std::string_view bytes) {
        for (char c : bytes) bits_[static_cast<unsigned char>(c)] = true;
    }
    constexpr bool Has(char c) const { return bits_[static_cast<unsigned char>(c)]; }

private:
    bool bits_[256] = {};
};

constexpr Delimiters kHeaderDelimiters("[]\n");
constexpr Delimiters kNameDelimiters("\"\t\n");
constexpr Delimiters kTypeDelimiters(":=\t");
constexpr Delimiters kWordDelimiters(" \t\n");
constexpr Delimiters kStringDelimiters("\"\n");

struct Token {
    std::string_view text;
    bool endsWithNewline = false;  // the token ran over the line end (only possible for the type word)
};

// strtok-style tokens over one line, its line end seen as a trailing "\n" when it had one:
// each call skips leading delimiters of its own set and consumes the delimiter that ends the token.
class LineTokens {
public:
    LineTokens(std::string_view text, bool newline) : text_(text), newline_(newline) {}

    bool Next(const Delimiters& delimiters, Token& token) {
        const bool newlineIsDelimiter = delimiters.Has('\n');
        while (position_ < text_.size() && delimiters.Has(text_[position_])) ++position_;
        if (position_ == text_.size() && newline_ && newlineIsDelimiter) position_ = End();
        if (position_ >= End()) return false;
        const std::size_t begin = position_;
        while (position_ < text_.size() && !delimiters.Has(text_[position_])) ++position_;
        token.text = text_.substr(begin, position_ - begin);
        token.endsWithNewline = position_ == text_.size() && newline_ && !newlineIsDelimiter;
        position_ = token.endsWithNewline ? End() : position_ + 1;
        return true;
    }

    // What follows the last token and its delimiter.
    std::string_view Rest() const { return position_ < text_.size() ? text_.substr(position_) : std::string_view(); }

private:
    std::size_t End() const { return text_.size() + (newline_ ? 1 : 0); }

    std::string_view text_;
    bool newline_;
    std::size_t position_ = 0;
};

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

uint32_t HexDigitValue(char c) {
    if (c <= '9') return static_cast<uint32_t>(c - '0');
    return static_cast<uint32_t>((c | 0x20) - 'a' + 10);
}

bool IsScanfSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Blanks and carriage returns only: nothing a save could lose.
bool IsBlank(std::string_view text) { return text.find_first_not_of(" \t\r") == std::string_view::npos; }

// Reads like "%x": optional blanks, sign and 0x prefix, then hexadecimal digits up to the first
// other character; no digit gives 0. Digits past the eighth wrap (the low 32 bits are kept).
// *whole tells whether the word had digits and nothing after them.
uint32_t ScanHex(std::string_view word, bool* whole) {
    std::size_t i = 0;
    while (i < word.size() && IsScanfSpace(word[i])) ++i;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) negative = word[i++] == '-';
    if (i + 2 < word.size() && word[i] == '0' && (word[i + 1] | 0x20) == 'x' && IsHexDigit(word[i + 2]))
        i += 2;
    uint32_t value = 0;
    const std::size_t firstDigit = i;
    for (; i < word.size() && IsHexDigit(word[i]); ++i) value = (value << 4) | HexDigitValue(word[i]);
    *whole = i > firstDigit && i == word.size();
    return negative ? 0u - value : value;
}

class Reader {
public:
    Reader(ConfigurationStore& store, ReadReport* report) : store_(store), current_(&store), report_(report) {}

    // One line without its "\n"; newline tells whether it had one.
    void Line(std::string_view line, bool newline) {
        if (newline && !line.empty() && line.back() == '\r') line.remove_suffix(1);  // a CR LF line end
        const std::string_view whole = line;
        bool damaged = false;  // bytes that no rule below can keep
        if (const std::size_t nul = line.find('\0'); nul != std::string_view::npos) {
            line = line.substr(0, nul);
            newline = false;
            damaged = true;
        }
        // A carriage return before the line's end: line ends this format does not know.
        if (const std::size_t cr = line.find('\r'); cr != std::string_view::npos && cr + 1 < line.size()) damaged = true;
        bool kept;
        if (!line.empty() && line.front() == '[')
            kept = Header(line, newline);
        else
            kept = skippingSection_ ? IsBlank(line) : ValueLine(line, newline);
        if ((!kept || damaged) && report_ != nullptr) Dropped(whole);
    }

private:
    void Dropped(std::string_view line) {
        if (report_->droppedLines++ == 0)
            report_->firstDropped.assign(line.substr(0, ReadReport::kFirstDroppedMax));
    }

    // Whether a save keeps what the header says.
    bool Header(std::string_view line, bool newline) {
        LineTokens tokens(line, newline);
        Token path;
        if (!tokens.Next(kHeaderDelimiters, path)) return true;  // "[]" changes nothing
        // Headers are absolute: leading separators count for nothing, also against the length limit,
        // so that every header the writer writes can be read back.
        const std::string_view segments = path.text.substr(std::min(path.text.find_first_not_of('/'), path.text.size()));
        // An overlong path cannot be resolved; its values must not land in the section before it.
        skippingSection_ = segments.size() > static_cast<std::size_t>(CONFIG_MAX_NAME_LENGTH);
        if (skippingSection_) return false;
        current_ = segments.empty() ? &store_ : store_.ResolveCategory(nullptr, Terminated(segments, pathBuffer_));
        return tokens.Rest().find_first_not_of("] \t\r") == std::string_view::npos;
    }

    // Whether the line was stored as it stands (an empty or blank line counts as kept).
    bool ValueLine(std::string_view line, bool newline) {
        LineTokens tokens(line, newline);
        Token name, type, word;
        if (!tokens.Next(kNameDelimiters, name)) return IsBlank(line);
        if (name.text.size() > static_cast<std::size_t>(CONFIG_MAX_NAME_LENGTH)) return false;
        if (!tokens.Next(kTypeDelimiters, type) || type.endsWithNewline) return IsBlank(line);
        const char* key = Terminated(name.text, nameBuffer_);
        bool whole = false;
        if (type.text == "bool") {
            if (!tokens.Next(kWordDelimiters, word)) return false;
            whole = word.text == "True" || word.text == "False";
            store_.SetValue(current_, key, CONFIG_TYPE_BOOL, word.text == "True" ? 1 : 0, 1);
        } else if (type.text == "dword") {
            if (!tokens.Next(kWordDelimiters, word)) return false;
            store_.SetValue(current_, key, CONFIG_TYPE_DWORD, static_cast<int32_t>(ScanHex(word.text, &whole)), 4);
        } else if (type.text == "string") {
            if (!tokens.Next(kStringDelimiters, word)) return false;
            content_.assign(word.text);  // stored with its terminating NUL
            store_.SetValue(current_, key, CONFIG_TYPE_STRING, content_.c_str(),
                            static_cast<uint32_t>(content_.size() + 1));
            whole = true;
        }
        // "none", "hex" and any other word: nothing to read back.
        return whole && IsBlank(tokens.Rest());
    }

    static const char* Terminated(std::string_view text, char (&buffer)[CONFIG_NAME_SIZE]) {
        std::memcpy(buffer, text.data(), text.size());
        buffer[text.size()] = '\0';
        return buffer;
    }

    ConfigurationStore& store_;
    ConfigurationCategory* current_;
    ReadReport* report_;
    bool skippingSection_ = false;
    char pathBuffer_[CONFIG_NAME_SIZE];
    char nameBuffer_[CONFIG_NAME_SIZE];
    std::string content_;
};

// Cuts text that arrives in blocks into lines, keeping a line that spans blocks whole.
class LineSplitter {
public:
    explicit LineSplitter(Reader& reader) : reader_(reader) {}

    void Feed(std::string_view block) {
        // A UTF-8 byte-order mark is no part of the first line (a first block holds all of it
        // unless the text is shorter).
        constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
        if (atStart_ && block.starts_with(kByteOrderMark)) block.remove_prefix(kByteOrderMark.size());
        atStart_ = false;
        std::size_t begin = 0;
        for (std::size_t end; (end = block.find('\n', begin)) != std::string_view::npos; begin = end + 1) {
            const std::string_view piece = block.substr(begin, end - begin);
            if (partial_.empty()) {
                reader_.Line(piece, true);
            } else {
                partial_.append(piece);
                reader_.Line(partial_, true);
                partial_.clear();
            }
        }
        partial_.append(block.substr(begin));
    }

    // The last line, when it has no newline.
    void Finish() {
        if (!partial_.empty()) reader_.Line(partial_, false);
        partial_.clear();
    }

private:
    Reader& reader_;
    std::string partial_;
    bool atStart_ = true;
};

}  // namespace

void ConfigurationStore::ReadFromString(const char* text, std::size_t size, ReadReport* report) {
    try {
        Reader reader(*this, report);
        LineSplitter lines(reader);
        lines.Feed({text, size});
        lines.Finish();
    } catch (const std::bad_alloc&) {
        Throw(CONFIG_ERR_NO_MEMORY);
    }
}

int32_t ConfigurationStore::ReadFromFile(std::FILE* stream, ReadReport* report) {
    if (stream == nullptr) return CONFIG_ERR_INVALID;
    if (std::feof(stream)) return CONFIG_OK;
    try {
        Reader reader(*this, report);
        LineSplitter lines(reader);
        char block[64 * 1024];
        for (std::size_t count; (count = std::fread(block, 1, sizeof block, stream)) > 0;)
            lines.Feed({block, count});
        lines.Finish();
    } catch (const std::bad_alloc&) {
        Throw(CONFIG_ERR_NO_MEMORY);
    }
    return CONFIG_OK;
}

}  // namespace kov
