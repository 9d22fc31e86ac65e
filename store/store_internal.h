// Helpers shared by the store's source files: argument checks, node allocation and path
// splitting (list handling is in list_ops.h). Not part of the public interface.
#pragma once

#include <cstring>
#include <new>
#include <string_view>

#include "configuration_types.h"
#include "record_pool.h"

namespace kov::detail {

[[noreturn]] inline void Throw(int32_t code) { throw ConfigurationException{code, 0}; }

// A name or path must hold 1 to 259 characters; checked before anything is copied.
inline std::string_view CheckedName(const char* text) {
    if (text == nullptr || text[0] == '\0') Throw(CONFIG_ERR_INVALID);
    const std::size_t length = strnlen(text, CONFIG_NAME_SIZE);
    if (length > static_cast<std::size_t>(CONFIG_MAX_NAME_LENGTH)) Throw(CONFIG_ERR_INVALID);
    return {text, length};
}

// A store's records, by kind.
struct Pools {
    RecordPool values{sizeof(ConfigurationValue)};
    RecordPool categories{sizeof(ConfigurationCategory)};

    RecordPool& Of(const ConfigurationValue*) { return values; }
    RecordPool& Of(const ConfigurationCategory*) { return categories; }
};

// Zero-filled record, or {CONFIG_ERR_NO_MEMORY, 0}.
template <typename Record>
Record* NewRecord(Pools& pools) {
    void* memory = pools.Of(static_cast<Record*>(nullptr)).Take();
    if (memory == nullptr) Throw(CONFIG_ERR_NO_MEMORY);
    return new (memory) Record{};
}

template <typename Record>
void FreeRecord(Pools& pools, Record* record) {
    pools.Of(record).Give(record);
}

// Into a record fresh from NewRecord, whose name is all zeros already.
inline void CopyName(char (&destination)[CONFIG_NAME_SIZE], std::string_view name) {
    std::memcpy(destination, name.data(), name.size());
}

// Calls visit(segment) for each non-empty "/"-separated segment; stops early when it returns false.
template <typename Visit>
void ForEachSegment(std::string_view path, Visit visit) {
    std::size_t begin = 0;
    while (begin < path.size()) {
        std::size_t end = path.find('/', begin);
        if (end == std::string_view::npos) end = path.size();
        if (end > begin && !visit(path.substr(begin, end - begin))) return;
        begin = end + 1;
    }
}

inline bool HasSegment(std::string_view path) { return path.find_first_not_of('/') != std::string_view::npos; }

inline bool OwnsBuffer(ValueType type) { return type == CONFIG_TYPE_STRING || type == CONFIG_TYPE_HEX; }

// Frees a value record that is no longer linked, with its buffer.
inline void DeleteValue(Pools& pools, ConfigurationValue* value) {
    if (OwnsBuffer(value->type)) delete[] value->data.bytes;
    FreeRecord(pools, value);
}

}  // namespace kov::detail
