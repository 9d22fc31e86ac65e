// The writer of the sectioned text format.
#include <cstring>
#include <new>
#include <vector>

#include "configuration_store.h"
#include "store_internal.h"

namespace kov {
using namespace detail;

namespace {

void AppendHex8(std::string& out, uint32_t word) {
    static constexpr char kDigits[] = "0123456789abcdef";
    char digits[8];
    for (int i = 7; i >= 0; --i, word >>= 4) digits[i] = kDigits[word & 0xF];
    out.append(digits, sizeof digits);
}

void AppendValueLine(std::string& out, const ConfigurationValue& value) {
    const auto appendName = [&] {
        out += '"';
        out += value.name;
        out += "\"=";
    };
    switch (value.type) {
        case CONFIG_TYPE_NONE:
            appendName();
            out += "none:\n";
            break;
        case CONFIG_TYPE_BOOL:
            appendName();
            out += value.data.dword != 0 ? "bool:True\n" : "bool:False\n";
            break;
        case CONFIG_TYPE_DWORD:
            appendName();
            out += "dword:";
            AppendHex8(out, static_cast<uint32_t>(value.data.dword));
            out += '\n';
            break;
        case CONFIG_TYPE_STRING: {
            appendName();
            // The text up to its first NUL, never beyond the buffer.
            const char* text = reinterpret_cast<const char*>(value.data.bytes);
            const std::size_t size = text != nullptr ? strnlen(text, value.length) : 0;
            out += "string:\"";
            out.append(text != nullptr ? text : "", size);
            out += "\"\n";
            break;
        }
        case CONFIG_TYPE_HEX:
            appendName();
            out += "hex:\n";
            break;
    }
}

void AppendSection(std::string& out, const std::string& path, const ConfigurationCategory& category) {
    out += '[';
    out += path;
    out += "]\n";
    for (const ConfigurationValue* value = category.firstValue; value != nullptr; value = value->next)
        AppendValueLine(out, *value);
    out += '\n';
}


// Depth first, parents before children, without recursion; hands the text to flush in pieces
// of about kPiece bytes (all of it at the end when flush is null).
template <typename Flush>
void WriteTree(const ConfigurationCategory& root, std::string& out, Flush flush) {
    constexpr std::size_t kPiece = 64 * 1024;
    std::string path;  // the full path of `node`: "" for the root, "/A/B" below it
    std::vector<const ConfigurationCategory*> parents;
    const ConfigurationCategory* node = &root;
    for (;;) {
        AppendSection(out, path, *node);
        if (out.size() >= kPiece) flush(out);
        if (node->firstChild != nullptr) {
            parents.push_back(node);
            node = node->firstChild;
            path += '/';
            path += node->name;
            continue;
        }
        while (!parents.empty() && node->next == nullptr) {
            node = parents.back();
            parents.pop_back();
            path.resize(path.rfind('/'));
        }
        if (parents.empty()) return;
        path.resize(path.rfind('/') + 1);
        node = node->next;
        path += node->name;
    }
}

}  // namespace

std::string ConfigurationStore::WriteToString() const {
    try {
        std::string out;
        out.reserve(4096);  // a whole kov.ini, usually
        WriteTree(*this, out, [](std::string&) {});
        return out;
    } catch (const std::bad_alloc&) {
        Throw(CONFIG_ERR_NO_MEMORY);
    }
}

int32_t ConfigurationStore::WriteToFile(std::FILE* stream) const {
    if (stream == nullptr) return CONFIG_ERR_INVALID;
    // In pieces, so that a large tree is never held twice, as records and as text.
    const auto flush = [stream](std::string& out) {
        std::fwrite(out.data(), 1, out.size(), stream);
        out.clear();
    };
    try {
        std::string out;
        out.reserve(80 * 1024);
        WriteTree(*this, out, flush);
        flush(out);
    } catch (const std::bad_alloc&) {
        Throw(CONFIG_ERR_NO_MEMORY);
    }
    return CONFIG_OK;
}

}  // namespace kov
