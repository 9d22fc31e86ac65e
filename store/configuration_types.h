// The records of the configuration tree, the value type codes, the status codes and the
// exception the store throws. The store (configuration_store.h) owns every record.
#pragma once

#include <cstdint>

namespace kov {

// Status codes returned by store operations.
inline constexpr int32_t CONFIG_OK = 0;
inline constexpr int32_t CONFIG_ERR_INVALID = 2;
inline constexpr int32_t CONFIG_ERR_NO_MEMORY = 3;
inline constexpr int32_t CONFIG_ERR_UNRESOLVED = 4;
inline constexpr int32_t CONFIG_ERR_NOT_FOUND = 5;
inline constexpr int32_t CONFIG_ERR_BUFFER_TOO_SMALL = 10;

// Size of a name buffer, terminator included: names and paths hold at most 259 characters.
inline constexpr int32_t CONFIG_NAME_SIZE = 260;
inline constexpr int32_t CONFIG_MAX_NAME_LENGTH = CONFIG_NAME_SIZE - 1;

enum ValueType : int32_t {
    CONFIG_TYPE_NONE = 0,
    CONFIG_TYPE_BOOL = 1,
    CONFIG_TYPE_DWORD = 2,
    CONFIG_TYPE_STRING = 3,
    CONFIG_TYPE_HEX = 4,
};

// Thrown by value: code is CONFIG_ERR_INVALID (bad name, path or argument) or
// CONFIG_ERR_NO_MEMORY (an allocation failed); reserved is always 0.
class ConfigurationException {
public:
    int32_t code;
    int32_t reserved;
};

struct ConfigurationValue;
struct ConfigurationCategory;
namespace detail {
template <typename Node>
struct NameIndex;  // see list_ops.h
}

struct ConfigurationValue {
    char name[CONFIG_NAME_SIZE];
    ValueType type;
    union {
        int32_t dword;   // none (0), bool (0 or 1) and dword
        uint8_t* bytes;  // string and hex: owned buffer of `length` bytes
    } data;
    uint32_t length;
    ConfigurationValue* next;
    ConfigurationValue* previous;
};

struct ConfigurationCategory {
    char name[CONFIG_NAME_SIZE];
    ConfigurationValue* firstValue;
    int32_t valueCount;
    ConfigurationCategory* firstChild;
    int32_t childCount;
    ConfigurationCategory* next;
    ConfigurationCategory* previous;
    // Kept in step with the lists by the code that links and unlinks, so that appending and
    // finding by name take constant time however long a list grows.
    ConfigurationValue* lastValue;
    ConfigurationCategory* lastChild;
    detail::NameIndex<ConfigurationValue>* valueIndex;     // null while the list is short
    detail::NameIndex<ConfigurationCategory>* childIndex;  // null while the list is short
};

}  // namespace kov
