// The store's structural invariants, checked without a test framework so that the fuzzers
// can use them too: counts equal list lengths, links agree both ways, tails and name indexes
// match the lists, sibling names are unique.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "configuration_store.h"
#include "list_ops.h"

namespace kov::testing {

namespace detail {

template <typename Node>
std::string CheckList(ConfigurationCategory& owner) {
    using List = kov::detail::ListOf<Node>;
    int32_t length = 0;
    std::set<std::string> names;
    const Node* previous = nullptr;
    for (const Node* node = List::Head(owner); node != nullptr; node = node->next, ++length) {
        if (node->previous != previous) return std::string("broken previous link at '") + node->name + "'";
        if (!names.insert(node->name).second) return std::string("two entries named '") + node->name + "'";
        previous = node;
    }
    const std::string where = std::string(" in '") + owner.name + "'";
    if (length != List::Count(owner))
        return "count " + std::to_string(List::Count(owner)) + " but " + std::to_string(length) + " entries" + where;
    if (List::Tail(owner) != previous) return "tail pointer is not the last entry" + where;
    if (const auto* index = List::Index(owner)) {
        if (index->size() != static_cast<std::size_t>(length)) return "index size differs from the list" + where;
        bool found = true;
        for (const Node* node = List::Head(owner); node != nullptr; node = node->next)
            found = found && index->Find(node->name) == node;
        if (!found) return "an entry is missing from the index" + where;
    }
    return {};
}

}  // namespace detail

// Empty when every invariant holds below and at top; otherwise what is wrong.
inline std::string TreeProblem(const ConfigurationCategory& top) {
    std::vector<ConfigurationCategory*> pending{const_cast<ConfigurationCategory*>(&top)};
    while (!pending.empty()) {
        ConfigurationCategory* category = pending.back();
        pending.pop_back();
        if (std::string problem = detail::CheckList<ConfigurationValue>(*category); !problem.empty()) return problem;
        if (std::string problem = detail::CheckList<ConfigurationCategory>(*category); !problem.empty()) return problem;
        for (ConfigurationCategory* child = category->firstChild; child != nullptr; child = child->next)
            pending.push_back(child);
    }
    return {};
}

}  // namespace kov::testing
