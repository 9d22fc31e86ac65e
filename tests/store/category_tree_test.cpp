// Category tree: construction, resolving paths, removal and clearing.
#include <gtest/gtest.h>

#include <string>

#include "configuration_store.h"
#include "store_checks.h"

namespace kov {
namespace {

using testing::ChildNames;
using testing::Find;
using testing::ExpectThrows;
using testing::TreeIsConsistent;
using Names = std::vector<std::string>;


TEST(CategoryTree, NewStoreHasTheThreeTopLevelCategoriesInOrder) {
    ConfigurationStore store;
    EXPECT_EQ(ChildNames(&store), (Names{"CONFIG_CATEGORY_MACHINE", "CONFIG_CATEGORY_SOFTWARE", "CONFIG_CATEGORY_USER"}));
    EXPECT_EQ(store.childCount, 3);
    EXPECT_EQ(store.valueCount, 0);
    EXPECT_EQ(store.firstValue, nullptr);
    EXPECT_EQ(std::string(store.name), "");
    EXPECT_TRUE(TreeIsConsistent(store));
}

TEST(CategoryTree, ResolveCreatesEveryMissingCategoryOnce) {
    ConfigurationStore store;
    int32_t created = -1;
    ConfigurationCategory* driver = store.ResolveCategory(nullptr, "CONFIG_CATEGORY_MACHINE/Audio/Driver/", &created);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(std::string(driver->name), "Driver");
    const ConfigurationCategory* machine = Find(store, "CONFIG_CATEGORY_MACHINE");
    EXPECT_EQ(machine->childCount, 1);
    EXPECT_EQ(Find(store, "CONFIG_CATEGORY_MACHINE/Audio/Driver"), driver);

    EXPECT_EQ(store.ResolveCategory(nullptr, "CONFIG_CATEGORY_MACHINE/Audio/Driver/", &created), driver);
    EXPECT_EQ(created, 0);
    EXPECT_EQ(machine->childCount, 1);
    EXPECT_TRUE(TreeIsConsistent(store));
}

TEST(CategoryTree, EmptySegmentsCountForNothing) {
    ConfigurationStore store;
    ConfigurationCategory* driver = store.ResolveCategory(nullptr, "CONFIG_CATEGORY_MACHINE/Audio/Driver/");
    for (const char* path : {"CONFIG_CATEGORY_MACHINE/Audio/Driver", "/CONFIG_CATEGORY_MACHINE//Audio/Driver/",
                             "///CONFIG_CATEGORY_MACHINE/Audio///Driver//"}) {
        int32_t created = -1;
        EXPECT_EQ(store.ResolveCategory(nullptr, path, &created), driver) << path;
        EXPECT_EQ(created, 0) << path;
    }
    EXPECT_EQ(Find(store, "CONFIG_CATEGORY_MACHINE/Audio")->childCount, 1);
}

TEST(CategoryTree, NamesCompareByteForByte) {
    ConfigurationStore store;
    ConfigurationCategory* audio = store.ResolveCategory(nullptr, "Audio");
    EXPECT_NE(store.ResolveCategory(nullptr, "audio"), audio);
    EXPECT_NE(store.ResolveCategory(nullptr, "Audio "), audio);
    EXPECT_NE(store.ResolveCategory(nullptr, " Audio"), audio);
    EXPECT_EQ(store.childCount, 7);
    EXPECT_TRUE(TreeIsConsistent(store));
}

TEST(CategoryTree, PathOfSeparatorsOnlyReturnsTheStartAndCreatesNothing) {
    ConfigurationStore store;
    ConfigurationCategory* audio = store.ResolveCategory(nullptr, "CONFIG_CATEGORY_MACHINE/Audio");
    for (ConfigurationCategory* start : {static_cast<ConfigurationCategory*>(nullptr), audio}) {
        for (const char* path : {"/", "////"}) {
            int32_t created = -1;
            ConfigurationCategory* expected = start != nullptr ? start : &store;
            EXPECT_EQ(store.ResolveCategory(start, path, &created), expected);
            EXPECT_EQ(created, 1);
        }
    }
    EXPECT_EQ(store.childCount, 3);
    EXPECT_EQ(audio->childCount, 0);
}

TEST(CategoryTree, ResolvesRelativeToTheStartCategory) {
    ConfigurationStore store;
    ConfigurationCategory* audio = store.ResolveCategory(nullptr, "CONFIG_CATEGORY_MACHINE/Audio");
    ConfigurationCategory* driver = store.ResolveCategory(audio, "/Driver/");
    EXPECT_EQ(Find(store, "CONFIG_CATEGORY_MACHINE/Audio/Driver"), driver);
    EXPECT_EQ(Find(store, "Driver"), nullptr);
}

TEST(CategoryTree, InvalidPathsThrowAndChangeNothing) {
    ConfigurationStore store;
    const std::string longest(CONFIG_MAX_NAME_LENGTH, 'a');
    const std::string tooLong(CONFIG_MAX_NAME_LENGTH + 1, 'a');
    const std::string tooLongBySeparators = std::string(CONFIG_MAX_NAME_LENGTH, '/') + "x";
    for (const char* path : {static_cast<const char*>(nullptr), "", tooLong.c_str(), tooLongBySeparators.c_str()}) {
        ExpectThrows(CONFIG_ERR_INVALID, [&] { store.ResolveCategory(nullptr, path); });
        ExpectThrows(CONFIG_ERR_INVALID, [&] { store.RemoveCategory(nullptr, path); });
    }
    EXPECT_EQ(store.childCount, 3);
    EXPECT_EQ(std::string(store.ResolveCategory(nullptr, longest.c_str())->name), longest);
    EXPECT_EQ(store.childCount, 4);
}

TEST(CategoryTree, RemovingAPathOfSeparatorsOnlyIsRefused) {
    ConfigurationStore store;
    ConfigurationCategory* machine = store.ResolveCategory(nullptr, "CONFIG_CATEGORY_MACHINE/Audio");
    ExpectThrows(CONFIG_ERR_INVALID, [&] { store.RemoveCategory(nullptr, "/"); });
    ExpectThrows(CONFIG_ERR_INVALID, [&] { store.RemoveCategory(machine, "///"); });
    EXPECT_EQ(store.childCount, 3);
    EXPECT_NE(Find(store, "CONFIG_CATEGORY_MACHINE/Audio"), nullptr);
}

TEST(CategoryTree, RemoveTakesTheWholeSubtree) {
    ConfigurationStore store;
    store.SetDword("CONFIG_CATEGORY_MACHINE/Audio/Driver", "driver irq", 5);
    store.SetDword("CONFIG_CATEGORY_MACHINE/Audio", "volume", 3);
    const char text[] = "text";
    store.SetValue(store.ResolveCategory(nullptr, "CONFIG_CATEGORY_MACHINE/Audio/Driver/Deep"), "s",
                   CONFIG_TYPE_STRING, text, sizeof text);
    store.ResolveCategory(nullptr, "CONFIG_CATEGORY_MACHINE/Graphics");

    EXPECT_EQ(store.RemoveCategory(nullptr, "CONFIG_CATEGORY_MACHINE/Audio"), CONFIG_OK);
    EXPECT_EQ(Find(store, "CONFIG_CATEGORY_MACHINE/Audio"), nullptr);
    EXPECT_EQ(ChildNames(Find(store, "CONFIG_CATEGORY_MACHINE")), Names{"Graphics"});
    EXPECT_EQ(Find(store, "CONFIG_CATEGORY_MACHINE")->childCount, 1);
    EXPECT_EQ(store.RemoveCategory(nullptr, "CONFIG_CATEGORY_MACHINE/Audio"), CONFIG_ERR_NOT_FOUND);
    EXPECT_TRUE(TreeIsConsistent(store));
}

TEST(CategoryTree, RemoveOfAMissingSegmentChangesNothing) {
    ConfigurationStore store;
    store.ResolveCategory(nullptr, "CONFIG_CATEGORY_MACHINE/Audio/Driver");
    EXPECT_EQ(store.RemoveCategory(nullptr, "CONFIG_CATEGORY_MACHINE/Nothing/Driver"), CONFIG_ERR_NOT_FOUND);
    EXPECT_EQ(store.RemoveCategory(nullptr, "CONFIG_CATEGORY_MACHINE/Audio/driver"), CONFIG_ERR_NOT_FOUND);
    EXPECT_NE(Find(store, "CONFIG_CATEGORY_MACHINE/Audio/Driver"), nullptr);
}

TEST(CategoryTree, RemovingAnyChildKeepsSiblingsInOrderAndLinked) {
    const Names all{"A", "B", "C", "D"};
    for (const std::string& removed : all) {
        ConfigurationStore store;
        ConfigurationCategory* parent = store.ResolveCategory(nullptr, "P");
        for (const std::string& name : all) store.ResolveCategory(parent, name.c_str());
        ASSERT_EQ(store.RemoveCategory(parent, removed.c_str()), CONFIG_OK);
        Names expected;
        for (const std::string& name : all)
            if (name != removed) expected.push_back(name);
        EXPECT_EQ(ChildNames(parent), expected) << "removed " << removed;
        EXPECT_TRUE(TreeIsConsistent(store)) << "removed " << removed;
        // New children still go to the tail.
        store.ResolveCategory(parent, "E");
        EXPECT_EQ(ChildNames(parent).back(), "E");
        EXPECT_TRUE(TreeIsConsistent(store));
    }
}

TEST(CategoryTree, ClearEmptiesTheRootIncludingTopLevelCategories) {
    ConfigurationStore store;
    store.SetDword("CONFIG_CATEGORY_MACHINE/Audio/Driver", "driver irq", 5);
    store.SetValue(nullptr, "root value", CONFIG_TYPE_BOOL, 1, 1);
    store.Clear();
    EXPECT_EQ(store.firstChild, nullptr);
    EXPECT_EQ(store.childCount, 0);
    EXPECT_EQ(store.firstValue, nullptr);
    EXPECT_EQ(store.valueCount, 0);
    store.ResolveCategory(nullptr, "again");
    EXPECT_EQ(ChildNames(&store), Names{"again"});
}

TEST(CategoryTree, VeryDeepTreesAreRemovedAndFreedWithoutRecursion) {
    ConfigurationStore store;
    ConfigurationCategory* deep = store.ResolveCategory(nullptr, "CONFIG_CATEGORY_USER");
    for (int i = 0; i < 200000; ++i) deep = store.ResolveCategory(deep, "n");
    EXPECT_EQ(store.RemoveCategory(nullptr, "CONFIG_CATEGORY_USER/n"), CONFIG_OK);
    EXPECT_EQ(Find(store, "CONFIG_CATEGORY_USER")->childCount, 0);
    deep = store.ResolveCategory(nullptr, "CONFIG_CATEGORY_USER");
    for (int i = 0; i < 200000; ++i) deep = store.ResolveCategory(deep, "m");
}  // the destructor frees the second chain

}  // namespace
}  // namespace kov

namespace kov {
namespace {

TEST(CategoryTree, LongListsKeepOrderLinksAndLookupsThroughRemovals) {
    ConfigurationStore store;
    ConfigurationCategory* parent = store.ResolveCategory(nullptr, "P");
    std::vector<ConfigurationCategory*> children;
    Names expectedChildren, expectedValues;
    for (int i = 0; i < 100; ++i) {
        const std::string name = "n" + std::to_string(i);
        children.push_back(store.ResolveCategory(parent, name.c_str()));
        store.SetValue(parent, name.c_str(), CONFIG_TYPE_DWORD, i, 4);
    }
    for (int i = 0; i < 100; ++i) {
        const std::string name = "n" + std::to_string(i);
        if (i % 3 == 0 || i == 99) {
            ASSERT_EQ(store.RemoveCategory(parent, name.c_str()), CONFIG_OK);
            ASSERT_EQ(store.RemoveValue(parent, name.c_str()), CONFIG_OK);
        } else {
            expectedChildren.push_back(name);
            expectedValues.push_back(name);
        }
    }
    ASSERT_TRUE(TreeIsConsistent(store));
    EXPECT_EQ(ChildNames(parent), expectedChildren);
    EXPECT_EQ(testing::ValueNames(parent), expectedValues);
    for (int i = 0; i < 99; ++i) {
        const std::string name = "n" + std::to_string(i);
        int32_t created = -1;
        ConfigurationCategory* found = store.ResolveCategory(parent, name.c_str(), &created);
        if (i % 3 != 0) {
            EXPECT_EQ(found, children[static_cast<std::size_t>(i)]) << name;
            EXPECT_EQ(created, 0) << name;
        } else {
            EXPECT_EQ(created, 1) << name;  // removed ones come back new, at the tail
            EXPECT_EQ(ChildNames(parent).back(), name);
        }
    }
    EXPECT_TRUE(TreeIsConsistent(store));
    int32_t word = 0;
    uint32_t capacity = 4;
    EXPECT_EQ(store.GetValue(parent, "n50", &word, &capacity), CONFIG_OK);
    EXPECT_EQ(word, 50);
    EXPECT_EQ(store.GetValue(parent, "n51", &word, &capacity), CONFIG_ERR_NOT_FOUND);
}

}  // namespace
}  // namespace kov
