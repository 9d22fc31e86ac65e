// Test helpers for the store: structural invariants, lookups by path, and in-memory files.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "configuration_store.h"
#include "tree_invariants.h"

namespace kov::testing {

// Every count equals its list's length, links agree in both directions, sibling names are unique.
inline ::testing::AssertionResult TreeIsConsistent(const ConfigurationCategory& top) {
    const std::string problem = TreeProblem(top);
    if (problem.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << problem;
}

inline std::vector<std::string> ChildNames(const ConfigurationCategory* category) {
    std::vector<std::string> names;
    for (const ConfigurationCategory* c = category->firstChild; c != nullptr; c = c->next) names.push_back(c->name);
    return names;
}

inline std::vector<std::string> ValueNames(const ConfigurationCategory* category) {
    std::vector<std::string> names;
    for (const ConfigurationValue* v = category->firstValue; v != nullptr; v = v->next) names.push_back(v->name);
    return names;
}

// The category at path, or null; creates nothing.
inline const ConfigurationCategory* Find(const ConfigurationCategory& root, const std::string& path) {
    const ConfigurationCategory* current = &root;
    std::size_t begin = 0;
    while (current != nullptr && begin < path.size()) {
        std::size_t end = path.find('/', begin);
        if (end == std::string::npos) end = path.size();
        if (end > begin) {
            const std::string segment = path.substr(begin, end - begin);
            const ConfigurationCategory* child = current->firstChild;
            while (child != nullptr && segment != child->name) child = child->next;
            current = child;
        }
        begin = end + 1;
    }
    return current;
}

inline const ConfigurationValue* FindValue(const ConfigurationCategory* category, const std::string& name) {
    if (category == nullptr) return nullptr;
    for (const ConfigurationValue* v = category->firstValue; v != nullptr; v = v->next)
        if (name == v->name) return v;
    return nullptr;
}

// Runs call and expects a ConfigurationException {code, 0}.
template <typename Call>
void ExpectThrows(int32_t code, Call&& call) {
    try {
        call();
        ADD_FAILURE() << "no ConfigurationException";
    } catch (const ConfigurationException& e) {
        EXPECT_EQ(e.code, code);
        EXPECT_EQ(e.reserved, 0);
    }
}

// The file a new store writes once the twelve settings have been read with their defaults.
inline std::string DefaultFileText() {
    std::FILE* file = std::fopen(KOV_TEST_DATA_DIR "/default_kov.ini", "rb");
    if (file == nullptr) {
        ADD_FAILURE() << "no test data";
        return {};
    }
    std::string text;
    char block[4096];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;) text.append(block, n);
    std::fclose(file);
    return text;
}

// A stream holding text, positioned at its start (a temporary file: fmemopen is not everywhere).
inline std::FILE* StreamOf(const std::string& text) {
    std::FILE* file = std::tmpfile();
    if (file == nullptr || std::fwrite(text.data(), 1, text.size(), file) != text.size()) ADD_FAILURE() << "tmpfile failed";
    if (file != nullptr) std::rewind(file);
    return file;
}

// Through a real stream, as the program reads.
inline int32_t ReadText(ConfigurationStore& store, const std::string& text) {
    std::FILE* file = StreamOf(text);
    const int32_t status = store.ReadFromFile(file);
    std::fclose(file);
    return status;
}

inline std::string WrittenText(const ConfigurationStore& store) {
    std::FILE* file = std::tmpfile();
    EXPECT_EQ(store.WriteToFile(file), CONFIG_OK);
    std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    EXPECT_EQ(std::fread(text.data(), 1, text.size(), file), text.size());
    std::fclose(file);
    return text;
}

}  // namespace kov::testing
