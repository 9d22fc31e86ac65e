// Fuzzes the reader: any bytes as a file must leave a consistent tree whose written text
// is a fixed point of reading and writing again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "configuration_store.h"
#include "tree_invariants.h"

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "reader_fuzzer: %s\n", what.c_str());
    std::abort();
}

void CheckTree(const kov::ConfigurationStore& store, const char* stage) {
    if (const std::string problem = kov::testing::TreeProblem(store); !problem.empty())
        Fail(std::string(stage) + ": " + problem);
}

// Junk lines (no quote, tab or newline, not starting with "[") must never yield a value,
// however long they are: the one real line's value must be all the store holds.
void CheckJunkLinesYieldNothing(const uint8_t* data, size_t size) {
    std::string junk;
    for (size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c != '"' && c != '\t' && c != '\n') junk += c;
    }
    // A UTF-8 byte-order mark at the start is skipped, so it cannot keep a "[" from starting a header.
    while (junk.starts_with("\xEF\xBB\xBF")) junk.erase(0, 3);
    if (!junk.empty() && junk.front() == '[') junk.front() = ';';
    if (junk.empty()) return;
    const std::string text = junk + "\n" + junk + "\r\n\"k\"=dword:1\n" + junk + "\n" + junk;
    kov::ConfigurationStore store;
    store.Clear();
    store.ReadFromString(text.data(), text.size());
    if (store.valueCount != 1 || store.firstChild != nullptr || std::string(store.firstValue->name) != "k")
        Fail("a junk line was read as a value or a section");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kov::ConfigurationStore store;
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (size > 0 && file == nullptr) return 0;
    if (file != nullptr) {
        store.ReadFromFile(file);
        std::fclose(file);
    }
    CheckTree(store, "after reading");

    const std::string written = store.WriteToString();
    kov::ConfigurationStore again;
    again.Clear();
    again.ReadFromString(written.data(), written.size());
    CheckTree(again, "after reading the written text");
    if (again.WriteToString() != written) Fail("the written text is not a fixed point of read then write");

    CheckJunkLinesYieldNothing(data, size);
    return 0;
}
