// The category tree: construction, path resolution, removal and clearing.
#include "configuration_store.h"
#include "list_ops.h"
#include "store_internal.h"

namespace kov {
using namespace detail;

namespace {

constexpr const char* kTopLevelCategories[] = {
    "CONFIG_CATEGORY_MACHINE/",
    "CONFIG_CATEGORY_SOFTWARE/",
    "CONFIG_CATEGORY_USER/",
};

void FreeValues(Pools& pools, ConfigurationCategory* category) {
    ConfigurationValue* value = category->firstValue;
    while (value != nullptr) {
        ConfigurationValue* next = value->next;
        DeleteValue(pools, value);
        value = next;
    }
    category->firstValue = nullptr;
    category->lastValue = nullptr;
    category->valueCount = 0;
    DropIndex<ConfigurationValue>(*category);
}

// Frees every value and descendant of top, leaving top empty. Iterative, so that no depth
// of nesting can exhaust the stack: a detached child keeps its parent in `previous`.
void DestroyBelow(Pools& pools, ConfigurationCategory* top) {
    ConfigurationCategory* current = top;
    for (;;) {
        DropIndex<ConfigurationCategory>(*current);  // every child is about to go
        if (ConfigurationCategory* child = current->firstChild) {
            current->firstChild = child->next;
            if (child->next != nullptr) child->next->previous = nullptr;
            --current->childCount;
            child->next = nullptr;
            child->previous = current;
            current = child;
            continue;
        }
        FreeValues(pools, current);
        if (current == top) {
            top->lastChild = nullptr;
            return;
        }
        ConfigurationCategory* parent = current->previous;
        FreeRecord(pools, current);
        current = parent;
    }
}

}  // namespace

ConfigurationStore::ConfigurationStore() : ConfigurationCategory{}, pools_(new (std::nothrow) Pools) {
    if (pools_ == nullptr) Throw(CONFIG_ERR_NO_MEMORY);
    try {
        for (const char* path : kTopLevelCategories) ResolveCategory(nullptr, path);
    } catch (...) {
        Clear();  // the destructor does not run for a half-built object
        delete pools_;
        throw;
    }
}

ConfigurationStore::~ConfigurationStore() {
    Clear();
    delete pools_;
}

ConfigurationCategory* ConfigurationStore::ResolveCategory(ConfigurationCategory* start,
                                                           const char* path, int32_t* created) {
    const std::string_view segments = CheckedName(path);
    ConfigurationCategory* current = start != nullptr ? start : this;
    bool madeLast = true;  // a path with no segment reports 1
    ForEachSegment(segments, [&](std::string_view segment) {
        if (auto* child = FindByName<ConfigurationCategory>(*current, segment)) {
            current = child;
            madeLast = false;
            return true;
        }
        auto* child = NewRecord<ConfigurationCategory>(*pools_);
        CopyName(child->name, segment);
        Append(*current, child);
        current = child;
        madeLast = true;
        return true;
    });
    if (created != nullptr) *created = madeLast ? 1 : 0;
    return current;
}

int32_t ConfigurationStore::RemoveCategory(ConfigurationCategory* start, const char* path) {
    const std::string_view segments = CheckedName(path);
    if (!HasSegment(segments)) Throw(CONFIG_ERR_INVALID);  // would remove start itself
    ConfigurationCategory* parent = nullptr;
    ConfigurationCategory* target = start != nullptr ? start : this;
    bool found = true;
    ForEachSegment(segments, [&](std::string_view segment) {
        auto* child = FindByName<ConfigurationCategory>(*target, segment);
        if (child == nullptr) return found = false;
        parent = target;
        target = child;
        return true;
    });
    if (!found) return CONFIG_ERR_NOT_FOUND;
    DestroyBelow(*pools_, target);
    Unlink(*parent, target);
    FreeRecord(*pools_, target);
    return CONFIG_OK;
}

void ConfigurationStore::Clear() { DestroyBelow(*pools_, this); }

}  // namespace kov
