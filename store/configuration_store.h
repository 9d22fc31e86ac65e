// The configuration store: a tree of named categories holding typed values, addressed by
// "/"-separated paths, saved to and loaded from a sectioned text file. The store is the
// root category and owns every node and buffer below it.
//
// Contract, written once here:
// - A null category pointer means the root.
// - Names and paths are NUL-terminated and hold 1 to 259 characters; a null, empty or
//   longer one throws ConfigurationException {CONFIG_ERR_INVALID, 0} before anything changes.
// - Paths split at "/" only; empty segments count for nothing; names compare byte for byte.
// - An allocation failure throws {CONFIG_ERR_NO_MEMORY, 0} and leaves the tree consistent
//   (counts equal list lengths, links agree both ways); nodes made before it stay.
// - Everything else is reported as a status code (configuration_types.h).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "configuration_types.h"

namespace kov {

namespace detail {
struct Pools;  // where the records live (store_internal.h)
}

// What one read could not keep: lines other than headers, empty lines (or blanks only) and values
// it stored as they stand. A header with text after its path, a value whose word reads as
// something else ("dword:zz", "bool:yes") or with text after it, a line holding a NUL or a
// carriage return before its end (the format's only line end is "\n"), and none, hex and
// empty-string values all count: a save would lose what they say.
struct ReadReport {
    std::size_t droppedLines = 0;
    std::string firstDropped;  // the first such line without its line end, at most kFirstDroppedMax bytes
    static constexpr std::size_t kFirstDroppedMax = 200;
};

class ConfigurationStore : public ConfigurationCategory {
public:
    // Creates the three top-level categories CONFIG_CATEGORY_MACHINE, CONFIG_CATEGORY_SOFTWARE
    // and CONFIG_CATEGORY_USER, in this order.
    ConfigurationStore();
    ~ConfigurationStore();
    ConfigurationStore(const ConfigurationStore&) = delete;
    ConfigurationStore& operator=(const ConfigurationStore&) = delete;
    ConfigurationStore(ConfigurationStore&&) = delete;
    ConfigurationStore& operator=(ConfigurationStore&&) = delete;

    // --- Category tree ---

    // Returns the category named by path below start, creating each missing one at the tail
    // of its parent's children. *created (if given) becomes 1 when the returned category was
    // created or the path has no segment (then start itself is returned), else 0.
    ConfigurationCategory* ResolveCategory(ConfigurationCategory* start, const char* path,
                                           int32_t* created = nullptr);
    // Removes the category named by path below start with everything beneath it.
    // CONFIG_ERR_NOT_FOUND when a segment names no category. A path of separators only would
    // name start itself and throws {CONFIG_ERR_INVALID, 0}.
    int32_t RemoveCategory(ConfigurationCategory* start, const char* path);
    // Removes every value and child of the root, the top-level categories included.
    void Clear();

    // --- Typed values ---

    // Creates the value at the tail of the category's list, or replaces the type and data of
    // the one of that name in place. This overload takes none, bool and dword; the bool is
    // stored as 0 or 1, `length` is ignored (0, 1 and 4 are stored). Any other type throws
    // {CONFIG_ERR_INVALID, 0}.
    int32_t SetValue(ConfigurationCategory* category, const char* name, ValueType type,
                     int32_t data, uint32_t length);
    // String and hex: copies `length` bytes from data (which may be null only when length is 0).
    // Any other type throws {CONFIG_ERR_INVALID, 0}. If the copy cannot be allocated the value
    // stays as it was.
    int32_t SetValue(ConfigurationCategory* category, const char* name, ValueType type,
                     const void* data, uint32_t length);
    // *length is the destination's capacity on entry and the value's length on success.
    // none, bool and dword write a 32-bit word and need a capacity of at least 4.
    // CONFIG_ERR_NOT_FOUND, or CONFIG_ERR_BUFFER_TOO_SMALL with nothing written. A null
    // destination or length throws {CONFIG_ERR_INVALID, 0}.
    int32_t GetValue(ConfigurationCategory* category, const char* name, void* destination,
                     uint32_t* length);
    int32_t RemoveValue(ConfigurationCategory* category, const char* name);

    // Reads a value as a dword, creating the path and the value (with defaultValue) when
    // missing or longer than 4 bytes. A string or hex value of at most 4 bytes is copied over
    // the default's low-order bytes. An unresolvable path yields defaultValue; running out of
    // memory throws like everywhere else.
    int32_t GetDword(const char* path, const char* name, int32_t defaultValue);
    // CONFIG_OK, or CONFIG_ERR_UNRESOLVED when the path is null, empty or too long.
    int32_t SetDword(const char* path, const char* name, int32_t value);

    // --- File format ---

    // The whole tree as text: depth first, one "[path]" section per category with its values,
    // each section closed by an empty line, "\n" line ends. None, hex and empty-string values
    // are written but not read back; a section path over 260 characters (the leading "/"
    // included) is written but its header is skipped by the reader.
    std::string WriteToString() const;
    // Writes WriteToString() to the stream. CONFIG_ERR_INVALID for a null stream, else CONFIG_OK
    // (stream errors are the caller's to check).
    int32_t WriteToFile(std::FILE* stream) const;
    // Adds the stream's sections and values to the tree, replacing values it names. A UTF-8
    // byte-order mark at the very start is skipped. Unusable lines are skipped, and counted in
    // *report when one is given. CONFIG_ERR_INVALID for a null stream, else CONFIG_OK.
    int32_t ReadFromFile(std::FILE* stream, ReadReport* report = nullptr);
    // The same on text already in memory.
    void ReadFromString(const char* text, std::size_t size, ReadReport* report = nullptr);

private:
    detail::Pools* pools_;
};

}  // namespace kov
