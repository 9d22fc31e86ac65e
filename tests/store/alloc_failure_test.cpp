// Every allocation an operation makes is failed in turn: the operation must throw {3, 0} or
// succeed, leave a consistent tree, keep what was stored before, and leak nothing (checked by
// LeakSanitizer in the sanitizer build).
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>

#include "configuration_store.h"
#include "settings.h"
#include "settings_table.h"
#include "store_checks.h"
#include "tree_invariants.h"

namespace {

// While armed, the allocation numbered failAt (1 = the first) fails.
long allocations = 0;
long failAt = 0;
bool armed = false;

void* Allocate(std::size_t size) {
    if (armed && ++allocations == failAt) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace kov {
namespace {

// A panel that allocates nothing, so that every allocation counted is the store's.
class FixedPanel : public SettingsPanel {
public:
    void SetListPosition(int32_t control, int32_t position) override { state_[Slot(control)] = position; }
    int32_t GetListPosition(int32_t control) override { return state_[Slot(control)]; }
    void SetCheck(int32_t control, int32_t state) override { state_[Slot(control)] = state; }
    int32_t GetCheck(int32_t control) override { return state_[Slot(control)]; }
    void SetEnabled(int32_t, bool) override {}
    void Redraw() override {}

private:
    static std::size_t Slot(int32_t control) { return static_cast<std::size_t>(control - 1000) % 32; }
    int32_t state_[32] = {};
};

std::string LargerFile() {
    std::string text = testing::DefaultFileText();
    for (int section = 0; section < 30; ++section) {
        text += "[/CONFIG_CATEGORY_USER/Section " + std::to_string(section) + "/Inner]\n";
        for (int value = 0; value < 20; ++value)
            text += "\"value " + std::to_string(value) + "\"=" +
                    (value % 3 == 0 ? "string:\"some text\"" : value % 3 == 1 ? "bool:True" : "dword:0000002a") + "\n";
    }
    return text;
}

const char* const kBeforePath = "CONFIG_CATEGORY_SOFTWARE/Before";

struct SweepResult {
    long points = 0;  // allocations the operation makes
    long failures = 0;
};

// Runs the operation once for every allocation it makes, failing that allocation.
SweepResult Sweep(const std::function<void(ConfigurationStore&)>& operation) {
    SweepResult result;
    for (long n = 1;; ++n) {
        SCOPED_TRACE(::testing::Message() << "allocation " << n << " fails");
        ConfigurationStore store;
        store.SetDword(kBeforePath, "kept", 42);
        const char text[] = "kept text";
        store.SetValue(store.ResolveCategory(nullptr, kBeforePath), "text", CONFIG_TYPE_STRING, text, sizeof text);

        allocations = 0;
        failAt = n;
        armed = true;
        bool threw = false;
        int32_t code = 0, reserved = 0;
        try {
            operation(store);
        } catch (const ConfigurationException& e) {
            threw = true;
            code = e.code;
            reserved = e.reserved;
        } catch (...) {
            armed = false;
            ADD_FAILURE() << "an exception other than ConfigurationException";
            return result;
        }
        armed = false;

        if (threw) {
            ++result.failures;
            EXPECT_EQ(code, CONFIG_ERR_NO_MEMORY);
            EXPECT_EQ(reserved, 0);
        }
        EXPECT_EQ(testing::TreeProblem(store), "");
        EXPECT_EQ(store.GetDword(kBeforePath, "kept", 0), 42);
        char buffer[16] = {};
        uint32_t length = sizeof buffer;
        EXPECT_EQ(store.GetValue(store.ResolveCategory(nullptr, kBeforePath), "text", buffer, &length), CONFIG_OK);
        EXPECT_STREQ(buffer, text);
        EXPECT_FALSE(store.WriteToString().empty());  // the store still works
        if (allocations < n) {
            EXPECT_FALSE(threw) << "failed although no allocation failed";
            result.points = n - 1;
            return result;
        }
        if (::testing::Test::HasFailure()) return result;
    }
}

// Only a name index's allocations may fail without failing the operation; lists shorter
// than an index's threshold have none.
void ExpectSwept(const char* what, const SweepResult& result, bool everyPointFails = true) {
    EXPECT_GT(result.points, 0) << what;
    if (everyPointFails) {
        EXPECT_EQ(result.failures, result.points) << what << ": a failed allocation went unreported";
    }
    std::printf("%s: %ld allocation points, %ld failed with out of memory\n", what, result.points, result.failures);
}

TEST(AllocationFailure, ReadingTheDefaultFile) {
    const std::string text = testing::DefaultFileText();
    ExpectSwept("reading the default file", Sweep([&](ConfigurationStore& store) {
                    std::FILE* file = std::tmpfile();
                    std::fwrite(text.data(), 1, text.size(), file);
                    std::rewind(file);
                    try {
                        store.ReadFromFile(file);
                    } catch (...) {
                        std::fclose(file);
                        throw;
                    }
                    std::fclose(file);
                }));
}

TEST(AllocationFailure, ReadingALargerFile) {
    const std::string text = LargerFile();
    ExpectSwept("reading a larger file",
                Sweep([&](ConfigurationStore& store) { store.ReadFromString(text.data(), text.size()); }),
                /*everyPointFails=*/false);
}

TEST(AllocationFailure, DwordsOnNewPaths) {
    ExpectSwept("GetDword and SetDword on new paths", Sweep([](ConfigurationStore& store) {
                    store.GetDword("CONFIG_CATEGORY_USER/New/Deeper/Path", "fresh", 7);
                    store.SetDword("CONFIG_CATEGORY_USER/Other/Path", "set", 8);
                    store.SetDword("CONFIG_CATEGORY_USER/New/Deeper/Path", "fresh", 9);
                }));
}

TEST(AllocationFailure, SettingStrings) {
    ExpectSwept("SetValue of strings", Sweep([](ConfigurationStore& store) {
                    ConfigurationCategory* before = store.ResolveCategory(nullptr, kBeforePath);
                    const char longer[] = "a much longer text than before";
                    store.SetValue(before, "new", CONFIG_TYPE_STRING, longer, sizeof longer);
                    store.SetValue(before, "new", CONFIG_TYPE_HEX, longer, 5);  // replaces only once allocated
                    store.SetValue(before, "other", CONFIG_TYPE_STRING, "x", 2);
                }));
}

TEST(AllocationFailure, ReplacingAStringKeepsItWhenTheCopyCannotBeMade) {
    ConfigurationStore store;
    ConfigurationCategory* c = store.ResolveCategory(nullptr, "C");
    store.SetValue(c, "v", CONFIG_TYPE_STRING, "old", 4);
    allocations = 0;
    failAt = 1;
    armed = true;
    int32_t code = 0;
    try {
        store.SetValue(c, "v", CONFIG_TYPE_STRING, "new text", 9);
    } catch (const ConfigurationException& e) {
        code = e.code;
    }
    armed = false;
    EXPECT_EQ(code, CONFIG_ERR_NO_MEMORY);
    EXPECT_EQ(c->firstValue->length, 4u);
    EXPECT_STREQ(reinterpret_cast<const char*>(c->firstValue->data.bytes), "old");
}

TEST(AllocationFailure, LoadingSettingsIntoAnEmptyStore) {
    ExpectSwept("LoadSettings on an empty store", Sweep([](ConfigurationStore& store) {
                    FixedPanel panel;
                    ApplyOpeningRules(panel, LoadSettings(store, panel));
                }));
}

TEST(AllocationFailure, WritingTheTree) {
    const std::string text = LargerFile();
    ExpectSwept("writing a larger tree", Sweep([&](ConfigurationStore& store) {
                    armed = false;
                    store.ReadFromString(text.data(), text.size());
                    armed = true;
                    store.WriteToString();
                }));
}

}  // namespace
}  // namespace kov
