// Typed values: set, get and remove by name, and the dword operations by path.
#include <cstring>

#include "configuration_store.h"
#include "list_ops.h"
#include "store_internal.h"

namespace kov {
using namespace detail;

namespace {

ConfigurationValue* AppendNewValue(Pools& pools, ConfigurationCategory* category, std::string_view name) {
    auto* value = NewRecord<ConfigurationValue>(pools);
    CopyName(value->name, name);
    Append(*category, value);
    return value;
}

// Drops the value's data, keeping its place in the list.
void ResetData(ConfigurationValue* value) {
    if (OwnsBuffer(value->type)) delete[] value->data.bytes;
    value->type = CONFIG_TYPE_NONE;
    value->data.dword = 0;
    value->length = 0;
}

}  // namespace

int32_t ConfigurationStore::SetValue(ConfigurationCategory* category, const char* name,
                                     ValueType type, int32_t data, uint32_t /*length*/) {
    const std::string_view key = CheckedName(name);
    if (type != CONFIG_TYPE_NONE && type != CONFIG_TYPE_BOOL && type != CONFIG_TYPE_DWORD)
        Throw(CONFIG_ERR_INVALID);
    if (category == nullptr) category = this;
    ConfigurationValue* value = FindByName<ConfigurationValue>(*category, key);
    if (value == nullptr) value = AppendNewValue(*pools_, category, key);
    ResetData(value);
    value->type = type;
    switch (type) {
        case CONFIG_TYPE_BOOL:
            value->data.dword = data != 0 ? 1 : 0;
            value->length = 1;
            break;
        case CONFIG_TYPE_DWORD:
            value->data.dword = data;
            value->length = 4;
            break;
        default:
            break;  // none: data and length stay 0
    }
    return CONFIG_OK;
}

int32_t ConfigurationStore::SetValue(ConfigurationCategory* category, const char* name,
                                     ValueType type, const void* data, uint32_t length) {
    const std::string_view key = CheckedName(name);
    if (!OwnsBuffer(type) || (data == nullptr && length > 0)) Throw(CONFIG_ERR_INVALID);
    if (category == nullptr) category = this;
    // Allocate everything before touching the old value, so that a failure changes nothing.
    uint8_t* bytes = nullptr;
    if (length > 0) {
        bytes = new (std::nothrow) uint8_t[length];
        if (bytes == nullptr) Throw(CONFIG_ERR_NO_MEMORY);
        std::memcpy(bytes, data, length);
    }
    ConfigurationValue* value = FindByName<ConfigurationValue>(*category, key);
    if (value == nullptr) {
        try {
            value = AppendNewValue(*pools_, category, key);
        } catch (...) {
            delete[] bytes;
            throw;
        }
    }
    ResetData(value);
    value->type = type;
    value->data.bytes = bytes;
    value->length = length;
    return CONFIG_OK;
}

int32_t ConfigurationStore::GetValue(ConfigurationCategory* category, const char* name,
                                     void* destination, uint32_t* length) {
    const std::string_view key = CheckedName(name);
    if (destination == nullptr || length == nullptr) Throw(CONFIG_ERR_INVALID);
    if (category == nullptr) category = this;
    const ConfigurationValue* value = FindByName<ConfigurationValue>(*category, key);
    if (value == nullptr) return CONFIG_ERR_NOT_FOUND;
    if (OwnsBuffer(value->type)) {
        if (value->length > *length) return CONFIG_ERR_BUFFER_TOO_SMALL;
        if (value->length > 0) std::memcpy(destination, value->data.bytes, value->length);
        *length = value->length;
        return CONFIG_OK;
    }
    // none, bool and dword always write a whole 32-bit word.
    if (*length < sizeof(int32_t)) return CONFIG_ERR_BUFFER_TOO_SMALL;
    const int32_t word = value->type == CONFIG_TYPE_BOOL ? (value->data.dword != 0 ? 1 : 0)
                                                         : value->data.dword;
    std::memcpy(destination, &word, sizeof word);
    *length = value->length;
    return CONFIG_OK;
}

int32_t ConfigurationStore::RemoveValue(ConfigurationCategory* category, const char* name) {
    const std::string_view key = CheckedName(name);
    if (category == nullptr) category = this;
    ConfigurationValue* value = FindByName<ConfigurationValue>(*category, key);
    if (value == nullptr) return CONFIG_ERR_NOT_FOUND;
    Unlink(*category, value);
    DeleteValue(*pools_, value);
    return CONFIG_OK;
}

namespace {

// The dword operations' category, or null for a path that is null, empty or too long.
// Running out of memory is never passed off as an unresolvable path: a change or a default
// would be lost unnoticed.
ConfigurationCategory* ResolveForDword(ConfigurationStore& store, const char* path) {
    try {
        return store.ResolveCategory(nullptr, path);
    } catch (const ConfigurationException& e) {
        if (e.code == CONFIG_ERR_NO_MEMORY) throw;
        return nullptr;
    }
}

}  // namespace

int32_t ConfigurationStore::GetDword(const char* path, const char* name, int32_t defaultValue) {
    ConfigurationCategory* category = ResolveForDword(*this, path);
    if (category == nullptr) return defaultValue;
    int32_t result = defaultValue;
    uint32_t capacity = sizeof result;
    if (GetValue(category, name, &result, &capacity) != CONFIG_OK)
        SetValue(category, name, CONFIG_TYPE_DWORD, result, sizeof result);
    return result;
}

int32_t ConfigurationStore::SetDword(const char* path, const char* name, int32_t value) {
    ConfigurationCategory* category = ResolveForDword(*this, path);
    if (category == nullptr) return CONFIG_ERR_UNRESOLVED;
    return SetValue(category, name, CONFIG_TYPE_DWORD, value, sizeof value);
}

}  // namespace kov
