// The category's two intrusive lists, values and children, handled alike: finding by name,
// appending at the tail and unlinking, with the tail pointers and name indexes kept in step.
// Not part of the public interface.
#pragma once

#include <new>
#include <string_view>
#include <vector>

#include "configuration_types.h"
#include "name_hash.h"

namespace kov::detail {

// An open-addressing table from name to node, for lists that have grown long. Keys are the
// nodes' own name buffers, so an entry costs no allocation of its own; a keyed hash keeps
// every input's probe sequences short.
template <typename Node>
class NameIndex {
public:
    // Throws std::bad_alloc; the caller then drops the index.
    explicit NameIndex(std::size_t expected) { Rehash(expected * 2); }

    Node* Find(std::string_view name) const {
        const std::size_t hash = Hash(name);
        for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
            const Slot& slot = slots_[i];
            if (slot.node == nullptr) return nullptr;
            // The stored hash spares a visit to every other node on the way.
            if (slot.hash == hash && slot.node != Removed() && std::string_view(slot.node->name) == name)
                return slot.node;
        }
    }

    // At most half full, so that a search ends after a probe or two.
    void Insert(Node* node) {
        if ((used_ + removed_ + 1) * 2 > slots_.size()) Rehash((used_ + 1) * 2);
        Place(node, Hash(node->name));
        ++used_;
    }

    void Erase(const Node* node) {
        for (std::size_t i = Hash(node->name) & mask_; slots_[i].node != nullptr; i = (i + 1) & mask_) {
            if (slots_[i].node == node) {
                slots_[i].node = Removed();
                --used_;
                ++removed_;
                return;
            }
        }
    }

    std::size_t size() const { return used_; }

private:
    struct Slot {
        Node* node;
        std::size_t hash;
    };

    static Node* Removed() {
        static Node tombstone{};
        return &tombstone;
    }
    // Keyed: names cannot be chosen to fall together (name_hash.h).
    static std::size_t Hash(std::string_view name) { return static_cast<std::size_t>(NameHash(name)); }

    void Place(Node* node, std::size_t hash) {
        std::size_t i = hash & mask_;
        while (slots_[i].node != nullptr && slots_[i].node != Removed()) i = (i + 1) & mask_;
        if (slots_[i].node == Removed()) --removed_;
        slots_[i] = {node, hash};
    }

    void Rehash(std::size_t atLeast) {
        std::size_t capacity = 32;
        while (capacity < atLeast) capacity *= 2;
        std::vector<Slot> old(capacity, Slot{nullptr, 0});
        old.swap(slots_);
        mask_ = capacity - 1;
        removed_ = 0;
        for (const Slot& slot : old)
            if (slot.node != nullptr && slot.node != Removed()) Place(slot.node, slot.hash);
    }

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    std::size_t used_ = 0;
    std::size_t removed_ = 0;
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
        auto* index = new NameIndex<Node>(static_cast<std::size_t>(ListOf<Node>::Count(owner)));
        ListOf<Node>::Index(owner) = index;
        for (Node* node = ListOf<Node>::Head(owner); node != nullptr; node = node->next) index->Insert(node);
    } catch (const std::bad_alloc&) {
        DropIndex<Node>(owner);
    }
}

template <typename Node>
Node* FindByName(ConfigurationCategory& owner, std::string_view name) {
    if (const NameIndex<Node>* index = ListOf<Node>::Index(owner)) return index->Find(name);
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
            index->Insert(node);
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
    if (NameIndex<Node>* index = ListOf<Node>::Index(owner)) index->Erase(node);
}

}  // namespace kov::detail
