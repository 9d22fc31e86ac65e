// The category's two intrusive lists, values and children, handled alike: finding by name,
// appending at the tail and unlinking, with the tail pointers and name indexes kept in step.
// Not part of the public interface.
#pragma once

#include <new>
#include <string_view>
#include <unordered_map>

#include "configuration_types.h"

namespace kov::detail {

template <typename Node>
struct NameIndex {
    std::unordered_map<std::string_view, Node*> nodes;  // keys point into each node's name
};

template <typename Node>
struct ListOf;

template <>
struct ListOf<ConfigurationValue> {
    static ConfigurationValue*& Head(ConfigurationCategory& c) { return c.firstValue; }
    static ConfigurationValue*& Tail(ConfigurationCategory& c) { return c.lastValue; }
    static int32_t& Count(ConfigurationCategory& c) { return c.valueCount; }
    static NameIndex<ConfigurationValue>*& Index(ConfigurationCategory& c) { return c.valueIndex; }
};

template <>
struct ListOf<ConfigurationCategory> {
    static ConfigurationCategory*& Head(ConfigurationCategory& c) { return c.firstChild; }
    static ConfigurationCategory*& Tail(ConfigurationCategory& c) { return c.lastChild; }
    static int32_t& Count(ConfigurationCategory& c) { return c.childCount; }
    static NameIndex<ConfigurationCategory>*& Index(ConfigurationCategory& c) { return c.childIndex; }
};

// Short lists are searched; an index is built once a list reaches this length.
inline constexpr int32_t kIndexedLength = 16;

template <typename Node>
void DropIndex(ConfigurationCategory& owner) {
    delete ListOf<Node>::Index(owner);
    ListOf<Node>::Index(owner) = nullptr;
}

// An index is only a shortcut: when memory for it runs out, it is dropped and lists are
// searched again, so that no operation fails for its sake.
template <typename Node>
void BuildIndex(ConfigurationCategory& owner) {
    try {
        auto* index = new NameIndex<Node>;
        ListOf<Node>::Index(owner) = index;
        index->nodes.reserve(static_cast<std::size_t>(ListOf<Node>::Count(owner)) * 2);
        for (Node* node = ListOf<Node>::Head(owner); node != nullptr; node = node->next)
            index->nodes.emplace(std::string_view(node->name), node);
    } catch (const std::bad_alloc&) {
        DropIndex<Node>(owner);
    }
}

template <typename Node>
Node* FindByName(ConfigurationCategory& owner, std::string_view name) {
    if (NameIndex<Node>* index = ListOf<Node>::Index(owner)) {
        const auto found = index->nodes.find(name);
        return found != index->nodes.end() ? found->second : nullptr;
    }
    for (Node* node = ListOf<Node>::Head(owner); node != nullptr; node = node->next)
        if (std::string_view(node->name) == name) return node;
    return nullptr;
}

template <typename Node>
void Append(ConfigurationCategory& owner, Node* node) {
    Node*& tail = ListOf<Node>::Tail(owner);
    node->previous = tail;
    node->next = nullptr;
    (tail != nullptr ? tail->next : ListOf<Node>::Head(owner)) = node;
    tail = node;
    ++ListOf<Node>::Count(owner);
    if (NameIndex<Node>* index = ListOf<Node>::Index(owner)) {
        try {
            index->nodes.emplace(std::string_view(node->name), node);
        } catch (const std::bad_alloc&) {
            DropIndex<Node>(owner);
        }
    } else if (ListOf<Node>::Count(owner) >= kIndexedLength) {
        BuildIndex<Node>(owner);
    }
}

template <typename Node>
void Unlink(ConfigurationCategory& owner, Node* node) {
    (node->previous != nullptr ? node->previous->next : ListOf<Node>::Head(owner)) = node->next;
    (node->next != nullptr ? node->next->previous : ListOf<Node>::Tail(owner)) = node->previous;
    --ListOf<Node>::Count(owner);
    if (NameIndex<Node>* index = ListOf<Node>::Index(owner)) index->nodes.erase(std::string_view(node->name));
}

}  // namespace kov::detail
