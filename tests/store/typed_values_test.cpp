// Typed values: set, get, remove, and the dword operations by path.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "configuration_store.h"
#include "store_checks.h"

namespace kov {
namespace {

using testing::Find;
using testing::FindValue;
using testing::ExpectThrows;
using testing::TreeIsConsistent;
using testing::ValueNames;
using Names = std::vector<std::string>;

constexpr const char* kDriver = "CONFIG_CATEGORY_MACHINE/Audio/Driver/";


TEST(TypedValues, SetReplacesInPlaceOrAppends) {
    ConfigurationStore store;
    store.SetValue(nullptr, "a", CONFIG_TYPE_DWORD, 1, 4);
    store.SetValue(nullptr, "b", CONFIG_TYPE_DWORD, 2, 4);
    store.SetValue(nullptr, "c", CONFIG_TYPE_DWORD, 3, 4);
    EXPECT_EQ(store.SetValue(nullptr, "a", CONFIG_TYPE_BOOL, 0, 1), CONFIG_OK);
    EXPECT_EQ(ValueNames(&store), (Names{"a", "b", "c"}));
    EXPECT_EQ(store.valueCount, 3);
    store.SetValue(nullptr, "d", CONFIG_TYPE_NONE, 0, 0);
    EXPECT_EQ(ValueNames(&store), (Names{"a", "b", "c", "d"}));
    EXPECT_EQ(FindValue(&store, "a")->type, CONFIG_TYPE_BOOL);
    EXPECT_TRUE(TreeIsConsistent(store));
}

TEST(TypedValues, EachTypeStoresItsDataAndLength) {
    ConfigurationStore store;
    const char text[] = "hello";
    const uint8_t bytes[] = {0xde, 0xad};
    store.SetValue(nullptr, "none", CONFIG_TYPE_NONE, 99, 9);
    store.SetValue(nullptr, "bool", CONFIG_TYPE_BOOL, 7, 9);
    store.SetValue(nullptr, "dword", CONFIG_TYPE_DWORD, -2, 9);
    store.SetValue(nullptr, "string", CONFIG_TYPE_STRING, text, sizeof text);
    store.SetValue(nullptr, "hex", CONFIG_TYPE_HEX, bytes, sizeof bytes);
    store.SetValue(nullptr, "empty", CONFIG_TYPE_STRING, nullptr, 0);

    EXPECT_EQ(FindValue(&store, "none")->data.dword, 0);
    EXPECT_EQ(FindValue(&store, "none")->length, 0u);
    EXPECT_EQ(FindValue(&store, "bool")->data.dword, 1);
    EXPECT_EQ(FindValue(&store, "bool")->length, 1u);
    EXPECT_EQ(FindValue(&store, "dword")->data.dword, -2);
    EXPECT_EQ(FindValue(&store, "dword")->length, 4u);
    EXPECT_EQ(FindValue(&store, "string")->length, 6u);
    EXPECT_EQ(std::memcmp(FindValue(&store, "string")->data.bytes, text, 6), 0);
    EXPECT_EQ(FindValue(&store, "hex")->length, 2u);
    EXPECT_EQ(FindValue(&store, "hex")->data.bytes[1], 0xad);
    EXPECT_EQ(FindValue(&store, "empty")->length, 0u);
}

TEST(TypedValues, ReplacingBetweenBufferAndWordTypes) {
    ConfigurationStore store;
    const char text[] = "string";
    store.SetValue(nullptr, "v", CONFIG_TYPE_STRING, text, sizeof text);
    store.SetValue(nullptr, "v", CONFIG_TYPE_DWORD, 42, 4);  // LeakSanitizer catches a kept buffer
    EXPECT_EQ(FindValue(&store, "v")->data.dword, 42);
    store.SetValue(nullptr, "v", CONFIG_TYPE_HEX, text, 3);
    EXPECT_EQ(FindValue(&store, "v")->length, 3u);
    EXPECT_NE(static_cast<const void*>(FindValue(&store, "v")->data.bytes), static_cast<const void*>(text));
    store.SetValue(nullptr, "v", CONFIG_TYPE_STRING, text, sizeof text);
    EXPECT_EQ(store.valueCount, 1);
}

TEST(TypedValues, InvalidArgumentsThrowAndChangeNothing) {
    ConfigurationStore store;
    const std::string tooLong(CONFIG_MAX_NAME_LENGTH + 1, 'k');
    const std::string longest(CONFIG_MAX_NAME_LENGTH, 'k');
    int32_t word = 0;
    uint32_t capacity = 4;
    for (const char* name : {static_cast<const char*>(nullptr), "", tooLong.c_str()}) {
        ExpectThrows(CONFIG_ERR_INVALID, [&] { store.SetValue(nullptr, name, CONFIG_TYPE_DWORD, 1, 4); });
        ExpectThrows(CONFIG_ERR_INVALID, [&] { store.SetValue(nullptr, name, CONFIG_TYPE_STRING, "x", 2); });
        ExpectThrows(CONFIG_ERR_INVALID, [&] { store.GetValue(nullptr, name, &word, &capacity); });
        ExpectThrows(CONFIG_ERR_INVALID, [&] { store.RemoveValue(nullptr, name); });
    }
    // A type that does not fit the overload, or no type at all.
    ExpectThrows(CONFIG_ERR_INVALID, [&] { store.SetValue(nullptr, "k", CONFIG_TYPE_STRING, 1, 4); });
    ExpectThrows(CONFIG_ERR_INVALID, [&] { store.SetValue(nullptr, "k", CONFIG_TYPE_DWORD, "x", 2); });
    ExpectThrows(CONFIG_ERR_INVALID, [&] { store.SetValue(nullptr, "k", static_cast<ValueType>(5), 1, 4); });
    ExpectThrows(CONFIG_ERR_INVALID, [&] { store.SetValue(nullptr, "k", static_cast<ValueType>(-1), "x", 2); });
    ExpectThrows(CONFIG_ERR_INVALID, [&] { store.SetValue(nullptr, "k", CONFIG_TYPE_HEX, nullptr, 2); });
    ExpectThrows(CONFIG_ERR_INVALID, [&] { store.GetValue(nullptr, "k", nullptr, &capacity); });
    ExpectThrows(CONFIG_ERR_INVALID, [&] { store.GetValue(nullptr, "k", &word, nullptr); });
    EXPECT_EQ(store.valueCount, 0);
    EXPECT_EQ(store.SetValue(nullptr, longest.c_str(), CONFIG_TYPE_DWORD, 1, 4), CONFIG_OK);
    EXPECT_EQ(store.valueCount, 1);
}

TEST(TypedValues, GetWritesOnlyWhatFits) {
    ConfigurationStore store;
    store.SetValue(nullptr, "five", CONFIG_TYPE_STRING, "abcd", 5);
    store.SetValue(nullptr, "dword", CONFIG_TYPE_DWORD, 0x01020304, 4);
    store.SetValue(nullptr, "bool", CONFIG_TYPE_BOOL, 1, 1);
    store.SetValue(nullptr, "none", CONFIG_TYPE_NONE, 0, 0);

    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    uint32_t capacity = 4;
    EXPECT_EQ(store.GetValue(nullptr, "five", buffer, &capacity), CONFIG_ERR_BUFFER_TOO_SMALL);
    EXPECT_EQ(capacity, 4u);
    EXPECT_EQ(std::string(buffer, 8), "########");
    capacity = 5;
    EXPECT_EQ(store.GetValue(nullptr, "five", buffer, &capacity), CONFIG_OK);
    EXPECT_EQ(capacity, 5u);
    EXPECT_EQ(std::string(buffer, 8), std::string("abcd\0###", 8));

    // A 32-bit word never goes into less than 4 bytes, whatever length the value reports.
    for (const char* name : {"dword", "bool", "none"}) {
        std::memset(buffer, '#', sizeof buffer);
        capacity = 3;
        EXPECT_EQ(store.GetValue(nullptr, name, buffer, &capacity), CONFIG_ERR_BUFFER_TOO_SMALL) << name;
        EXPECT_EQ(std::string(buffer, 8), "########") << name;
    }

    int32_t word = -1;
    capacity = 4;
    EXPECT_EQ(store.GetValue(nullptr, "none", &word, &capacity), CONFIG_OK);
    EXPECT_EQ(word, 0);
    EXPECT_EQ(capacity, 0u);
    capacity = 4;
    EXPECT_EQ(store.GetValue(nullptr, "bool", &word, &capacity), CONFIG_OK);
    EXPECT_EQ(word, 1);
    EXPECT_EQ(capacity, 1u);
    capacity = 4;
    EXPECT_EQ(store.GetValue(nullptr, "dword", &word, &capacity), CONFIG_OK);
    EXPECT_EQ(word, 0x01020304);
    EXPECT_EQ(store.GetValue(nullptr, "missing", &word, &capacity), CONFIG_ERR_NOT_FOUND);
}

TEST(TypedValues, RemoveUnlinksAndCounts) {
    ConfigurationStore store;
    ConfigurationCategory* c = store.ResolveCategory(nullptr, "C");
    store.SetValue(c, "only", CONFIG_TYPE_STRING, "x", 2);
    EXPECT_EQ(store.RemoveValue(c, "only"), CONFIG_OK);
    EXPECT_EQ(c->firstValue, nullptr);
    EXPECT_EQ(c->valueCount, 0);
    EXPECT_EQ(store.RemoveValue(c, "only"), CONFIG_ERR_NOT_FOUND);

    for (const char* name : {"a", "b", "c", "d"}) store.SetValue(c, name, CONFIG_TYPE_DWORD, 0, 4);
    EXPECT_EQ(store.RemoveValue(c, "b"), CONFIG_OK);
    EXPECT_EQ(store.RemoveValue(c, "d"), CONFIG_OK);
    EXPECT_EQ(store.RemoveValue(c, "a"), CONFIG_OK);
    EXPECT_EQ(ValueNames(c), Names{"c"});
    EXPECT_TRUE(TreeIsConsistent(store));
    store.SetValue(c, "e", CONFIG_TYPE_DWORD, 0, 4);
    EXPECT_EQ(ValueNames(c), (Names{"c", "e"}));
    EXPECT_TRUE(TreeIsConsistent(store));
}

TEST(DwordByPath, GetCreatesTheSettingWithItsDefaultOnce) {
    ConfigurationStore store;
    EXPECT_EQ(store.GetDword(kDriver, "driver irq", 5), 5);
    const ConfigurationValue* irq = FindValue(Find(store, kDriver), "driver irq");
    ASSERT_NE(irq, nullptr);
    EXPECT_EQ(irq->type, CONFIG_TYPE_DWORD);
    EXPECT_EQ(store.GetDword(kDriver, "driver irq", 9), 5);
    EXPECT_EQ(Find(store, kDriver)->valueCount, 1);
}

TEST(DwordByPath, GetReadsOtherTypesAsDwords) {
    ConfigurationStore store;
    ConfigurationCategory* driver = store.ResolveCategory(nullptr, kDriver);
    store.SetValue(driver, "bool", CONFIG_TYPE_BOOL, 1, 1);
    store.SetValue(driver, "none", CONFIG_TYPE_NONE, 0, 0);
    store.SetValue(driver, "short", CONFIG_TYPE_STRING, "ab", 3);
    store.SetValue(driver, "nine", CONFIG_TYPE_STRING, "12345678", 9);

    EXPECT_EQ(store.GetDword(kDriver, "bool", 7), 1);
    EXPECT_EQ(FindValue(driver, "bool")->type, CONFIG_TYPE_BOOL);
    EXPECT_EQ(store.GetDword(kDriver, "none", 7), 0);
    // "ab\0" lies over the default's three low-order bytes.
    EXPECT_EQ(store.GetDword(kDriver, "short", 0x11223344), 0x11006261);
    EXPECT_EQ(FindValue(driver, "short")->type, CONFIG_TYPE_STRING);
    EXPECT_EQ(store.GetDword(kDriver, "nine", 6), 6);
    EXPECT_EQ(FindValue(driver, "nine")->type, CONFIG_TYPE_DWORD);
    EXPECT_EQ(FindValue(driver, "nine")->data.dword, 6);
    EXPECT_TRUE(TreeIsConsistent(store));
}

TEST(DwordByPath, SetCreatesThePathAndReplaces) {
    ConfigurationStore store;
    EXPECT_EQ(store.SetDword("CONFIG_CATEGORY_USER/New/Path", "k", 3), CONFIG_OK);
    EXPECT_EQ(store.SetDword("CONFIG_CATEGORY_USER/New/Path", "k", -3), CONFIG_OK);
    EXPECT_EQ(store.GetDword("CONFIG_CATEGORY_USER/New/Path", "k", 0), -3);
    EXPECT_EQ(Find(store, "CONFIG_CATEGORY_USER/New/Path")->valueCount, 1);
}

TEST(DwordByPath, UnresolvablePathsGiveTheDefaultOrStatus4ButBadNamesThrow) {
    ConfigurationStore store;
    const std::string tooLong(CONFIG_MAX_NAME_LENGTH + 1, 'p');
    for (const char* path : {static_cast<const char*>(nullptr), "", tooLong.c_str()}) {
        EXPECT_EQ(store.GetDword(path, "k", 77), 77);
        EXPECT_EQ(store.SetDword(path, "k", 1), CONFIG_ERR_UNRESOLVED);
    }
    EXPECT_EQ(store.childCount, 3);
    EXPECT_EQ(store.valueCount, 0);
    for (const char* name : {static_cast<const char*>(nullptr), "", tooLong.c_str()}) {
        ExpectThrows(CONFIG_ERR_INVALID, [&] { store.GetDword(kDriver, name, 1); });
        ExpectThrows(CONFIG_ERR_INVALID, [&] { store.SetDword(kDriver, name, 1); });
    }
}

}  // namespace
}  // namespace kov
