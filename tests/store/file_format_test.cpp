// The text format: what the writer produces and what the reader takes back.
#include <gtest/gtest.h>

#include <string>

#include "configuration_store.h"
#include "store_checks.h"

namespace kov {
namespace {

using testing::ChildNames;
using testing::Find;
using testing::FindValue;
using testing::ReadText;
using testing::TreeIsConsistent;
using testing::ValueNames;
using testing::WrittenText;
using Names = std::vector<std::string>;

std::string DefaultFile() { return testing::DefaultFileText(); }

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// One line read into a fresh store under [/S]: the value "k" that results, if any.
const ConfigurationValue* ReadOneLine(ConfigurationStore& store, const std::string& line) {
    ReadText(store, "[S]\n" + line);
    return FindValue(Find(store, "S"), "k");
}

TEST(Writer, NewStoreGivesEightLines) {
    ConfigurationStore store;
    EXPECT_EQ(WrittenText(store),
              "[]\n\n[/CONFIG_CATEGORY_MACHINE]\n\n[/CONFIG_CATEGORY_SOFTWARE]\n\n[/CONFIG_CATEGORY_USER]\n\n");
}

TEST(Writer, DefaultSettingsGiveTheDefaultFileByteForByte) {
    ConfigurationStore store;
    const std::string driver = "CONFIG_CATEGORY_MACHINE/Audio/Driver/";
    const std::string playback = "CONFIG_CATEGORY_MACHINE/Audio/Playback/";
    const std::string effects = "CONFIG_CATEGORY_MACHINE/Audio/Effects/";
    const struct {
        std::string path;
        const char* key;
        int32_t value;
    } settings[] = {
        {driver, "driver type", 0x1FFFF},      {driver, "driver io", 0x220},
        {driver, "driver irq", 5},             {driver, "driver dma low", 1},
        {driver, "driver dma hi", 5},          {playback, "playback rate", 22050},
        {playback, "playback channels", 2},    {effects, "effects chanels", 7},
        {effects, "use reverb     ", 1},       {effects, "use echo       ", 1},
        {effects, "use hq mixing  ", 0},       {"CONFIG_CATEGORY_MACHINE/Graphics/", "rendering device", 0},
    };
    for (const auto& s : settings) store.GetDword(s.path.c_str(), s.key, s.value);
    EXPECT_EQ(WrittenText(store), DefaultFile());
}

TEST(Writer, LineFormatsByType) {
    ConfigurationStore store;
    store.Clear();
    store.SetValue(nullptr, "rate", CONFIG_TYPE_DWORD, 22050, 4);
    store.SetValue(nullptr, "minus", CONFIG_TYPE_DWORD, -1, 4);
    store.SetValue(nullptr, "on", CONFIG_TYPE_BOOL, 1, 1);
    store.SetValue(nullptr, "off", CONFIG_TYPE_BOOL, 0, 1);
    store.SetValue(nullptr, "nothing", CONFIG_TYPE_NONE, 0, 0);
    store.SetValue(nullptr, "text", CONFIG_TYPE_STRING, "two words\0tail", 15);
    store.SetValue(nullptr, "unterminated", CONFIG_TYPE_STRING, "abcdef", 3);
    store.SetValue(nullptr, "bytes", CONFIG_TYPE_HEX, "\x01\x02", 2);
    store.SetValue(nullptr, "empty", CONFIG_TYPE_STRING, nullptr, 0);
    EXPECT_EQ(WrittenText(store),
              "[]\n"
              "\"rate\"=dword:00005622\n"
              "\"minus\"=dword:ffffffff\n"
              "\"on\"=bool:True\n"
              "\"off\"=bool:False\n"
              "\"nothing\"=none:\n"
              "\"text\"=string:\"two words\"\n"
              "\"unterminated\"=string:\"abc\"\n"
              "\"bytes\"=hex:\n"
              "\"empty\"=string:\"\"\n"
              "\n");
}

TEST(Writer, SectionsGoDepthFirstInCreationOrder) {
    ConfigurationStore store;
    store.Clear();
    store.ResolveCategory(nullptr, "A/B/C");
    store.ResolveCategory(nullptr, "D");
    store.ResolveCategory(nullptr, "A/E");
    EXPECT_EQ(WrittenText(store), "[]\n\n[/A]\n\n[/A/B]\n\n[/A/B/C]\n\n[/A/E]\n\n[/D]\n\n");
}

TEST(Writer, PathsOfAnyDepthAreWrittenWhole) {
    ConfigurationStore store;
    store.Clear();
    ConfigurationCategory* deep = &store;
    std::string path;
    for (int i = 0; i < 100; ++i) {
        deep = store.ResolveCategory(deep, "segment");
        path += "/segment";
    }
    const std::string text = WrittenText(store);
    EXPECT_NE(text.find("[" + path + "]\n"), std::string::npos);
    EXPECT_EQ(WrittenText(store).size(), text.size());
}

TEST(Writer, NullStreamIsRefused) {
    ConfigurationStore store;
    EXPECT_EQ(store.WriteToFile(nullptr), CONFIG_ERR_INVALID);
    EXPECT_EQ(store.ReadFromFile(nullptr), CONFIG_ERR_INVALID);
}

struct LineCase {
    const char* line;
    ValueType type;
    int32_t word;           // bool and dword
    const char* text;       // string, or null when the line must yield no value
};

TEST(Reader, ValueLines) {
    const LineCase cases[] = {
        {"\"k\"=dword:0001ffff\n", CONFIG_TYPE_DWORD, 0x1ffff, ""},
        {"\"k\"=dword:1f\n", CONFIG_TYPE_DWORD, 31, ""},
        {"\"k\"=dword:0x1F\n", CONFIG_TYPE_DWORD, 31, ""},
        {"\"k\"=dword:-1\n", CONFIG_TYPE_DWORD, -1, ""},
        {"\"k\"=dword:+a\n", CONFIG_TYPE_DWORD, 10, ""},
        {"\"k\"=dword:zz\n", CONFIG_TYPE_DWORD, 0, ""},
        {"\"k\"=dword:12zz\n", CONFIG_TYPE_DWORD, 0x12, ""},
        {"\"k\"=dword:0x\n", CONFIG_TYPE_DWORD, 0, ""},
        {"\"k\"=dword:123456789\n", CONFIG_TYPE_DWORD, 0x23456789, ""},
        {"\"k\"=dword:\t  5\n", CONFIG_TYPE_DWORD, 5, ""},
        {"\"k\"=bool:True\n", CONFIG_TYPE_BOOL, 1, ""},
        {"\"k\"=bool:true\n", CONFIG_TYPE_BOOL, 0, ""},
        {"\"k\"=bool:TRUE\n", CONFIG_TYPE_BOOL, 0, ""},
        {"\"k\"=bool:1\n", CONFIG_TYPE_BOOL, 0, ""},
        {"\"k\"=bool:True junk\n", CONFIG_TYPE_BOOL, 1, ""},
        {"\"k\"=string:\"two words!\"\n", CONFIG_TYPE_STRING, 0, "two words!"},
        {"\"k\"=string:\"tab\there\"\n", CONFIG_TYPE_STRING, 0, "tab\there"},
        {"\"k\"=string:no quotes\n", CONFIG_TYPE_STRING, 0, "no quotes"},
        {"\"k\"=dword:5", CONFIG_TYPE_DWORD, 5, ""},          // last line without a newline
        {"k=dword:5\n", CONFIG_TYPE_DWORD, 0, nullptr},       // no quotes: the name runs to the line end
        {"\"k\"=string:\"\"\n", CONFIG_TYPE_DWORD, 0, nullptr},
        {"\"k\" = dword:5\n", CONFIG_TYPE_DWORD, 0, nullptr},  // the type word is a blank
        {"\"k\"=none:\n", CONFIG_TYPE_DWORD, 0, nullptr},
        {"\"k\"=hex:\n", CONFIG_TYPE_DWORD, 0, nullptr},
        {"\"k\"=Dword:5\n", CONFIG_TYPE_DWORD, 0, nullptr},
        {"\"k\"=dword\n", CONFIG_TYPE_DWORD, 0, nullptr},      // the type word keeps the newline
        {"\"k\"=dword:\n", CONFIG_TYPE_DWORD, 0, nullptr},     // no value word
        {"\"k\"=bool:\n", CONFIG_TYPE_DWORD, 0, nullptr},
        {"\"k\"=dword", CONFIG_TYPE_DWORD, 0, nullptr},
        {"\"k\"\n", CONFIG_TYPE_DWORD, 0, nullptr},
    };
    for (const LineCase& c : cases) {
        for (bool crlf : {false, true}) {
            SCOPED_TRACE(::testing::Message() << (crlf ? "CR LF: " : "LF: ") << c.line);
            ConfigurationStore store;
            const ConfigurationValue* value = ReadOneLine(store, crlf ? WithCrLf(c.line) : std::string(c.line));
            if (c.text == nullptr) {
                EXPECT_EQ(value, nullptr);
                continue;
            }
            ASSERT_NE(value, nullptr);
            EXPECT_EQ(value->type, c.type);
            if (c.type == CONFIG_TYPE_STRING) {
                EXPECT_EQ(value->length, std::strlen(c.text) + 1);
                EXPECT_EQ(std::string(reinterpret_cast<const char*>(value->data.bytes)), c.text);
            } else {
                EXPECT_EQ(value->data.dword, c.word);
            }
        }
    }
}

TEST(Reader, LinesThatYieldNothingAreSkipped) {
    for (const char* junk : {"   \n", "; a comment\n", "# key=value\n", "\t\"\"\t\n", "\n", "=:\n", "\r\n"}) {
        ConfigurationStore store;
        ReadText(store, std::string("[S]\n") + junk + "\"after\"=dword:1\n");
        EXPECT_EQ(ValueNames(Find(store, "S")), Names{"after"}) << junk;
    }
}

TEST(Reader, HeadersAreAbsolute) {
    ConfigurationStore store;
    ReadText(store,
             "\"top\"=dword:1\n"
             "[A/B]\n\"b\"=dword:2\n"
             "[]\n\"still b\"=dword:3\n"
             "[/A]\n\"a\"=dword:4\n"
             "[/A/B]\n\"b2\"=dword:5\n"
             "[/]\n\"root\"=dword:6\n"
             "[ spaced ]\n\"s\"=dword:7\n");
    EXPECT_EQ(ValueNames(&store), (Names{"top", "root"}));
    EXPECT_EQ(ValueNames(Find(store, "A/B")), (Names{"b", "still b", "b2"}));
    EXPECT_EQ(ValueNames(Find(store, "A")), Names{"a"});
    EXPECT_EQ(ValueNames(Find(store, " spaced ")), Names{"s"});
    EXPECT_TRUE(TreeIsConsistent(store));
}

TEST(Reader, AddsToTheTreeAndReplacesOnlyWhatTheFileNames) {
    ConfigurationStore store;
    store.SetDword("CONFIG_CATEGORY_MACHINE/Audio", "kept", 1);
    store.SetDword("CONFIG_CATEGORY_MACHINE/Audio", "replaced", 1);
    ReadText(store, "[/CONFIG_CATEGORY_MACHINE/Audio]\n\"replaced\"=bool:True\n\"new\"=dword:2\n");
    EXPECT_EQ(ValueNames(Find(store, "CONFIG_CATEGORY_MACHINE/Audio")), (Names{"kept", "replaced", "new"}));
    EXPECT_EQ(FindValue(Find(store, "CONFIG_CATEGORY_MACHINE/Audio"), "replaced")->type, CONFIG_TYPE_BOOL);
    EXPECT_EQ(ChildNames(&store), (Names{"CONFIG_CATEGORY_MACHINE", "CONFIG_CATEGORY_SOFTWARE", "CONFIG_CATEGORY_USER"}));
}

TEST(Reader, LongLinesAreTakenWhole) {
    // Around and far past any fixed buffer a reader might use.
    for (std::size_t size : {240u, 241u, 242u, 243u, 244u, 252u, 253u, 254u, 1000u, 70000u, 200000u}) {
        SCOPED_TRACE(size);
        for (const char* end : {"\n", "\r\n"}) {
            // The tail of a padded line must never surface as a value of its own.
            ConfigurationStore store;
            ReadText(store, "[S]\n\"k\"=dword:5" + std::string(size, ' ') + "\"tail\"=dword:1" + end +
                                "\"s\"=string:\"" + std::string(size, 'x') + "\"" + end + "\"after\"=dword:2\n");
            const ConfigurationCategory* s = Find(store, "S");
            EXPECT_EQ(ValueNames(s), (Names{"k", "s", "after"}));
            EXPECT_EQ(FindValue(s, "k")->data.dword, 5);
            EXPECT_EQ(FindValue(s, "s")->length, size + 1);
            // And what the writer wrote comes back unchanged.
            ConfigurationStore again;
            ReadText(again, WrittenText(store));
            EXPECT_EQ(WrittenText(again), WrittenText(store));
        }
    }
}

TEST(Reader, OverlongNamesAndHeadersAreSkippedWithTheirValues) {
    const std::string longName(CONFIG_MAX_NAME_LENGTH + 1, 'n');
    const std::string longPath = "/" + std::string(CONFIG_MAX_NAME_LENGTH + 1, 'p');
    ConfigurationStore store;
    ReadText(store,
             "[Before]\n\"" + longName + "\"=dword:1\n\"ok\"=dword:2\n"
             "[" + longPath + "]\n\"lost\"=dword:3\n[]\n\"lost too\"=dword:4\n"
             "[After]\n\"found\"=dword:5\n");
    EXPECT_EQ(ValueNames(Find(store, "Before")), Names{"ok"});
    EXPECT_EQ(ValueNames(Find(store, "After")), Names{"found"});
    EXPECT_EQ(store.valueCount, 0);
    EXPECT_EQ(ChildNames(&store).size(), 5u);

    // Leading separators do not count against the limit: the writer's "/" before a long name.
    const std::string longestName(CONFIG_MAX_NAME_LENGTH, 'q');
    ConfigurationStore longest;
    ReadText(longest, "[///" + longestName + "]\n\"in\"=dword:1\n");
    EXPECT_EQ(ValueNames(Find(longest, longestName)), Names{"in"});
    ConfigurationStore again;
    ReadText(again, WrittenText(longest));
    EXPECT_EQ(WrittenText(again), WrittenText(longest));

    const std::string longestKey(CONFIG_MAX_NAME_LENGTH, 'n');
    ConfigurationStore fits;
    ReadText(fits, "[S]\n\"" + longestKey + "\"=dword:1\n");
    EXPECT_EQ(ValueNames(Find(fits, "S")), Names{longestKey});
}

TEST(Reader, NulByteHidesTheRestOfItsLineOnly) {
    ConfigurationStore store;
    using namespace std::string_literals;
    const std::string text = "[S]\n\"a\"=dword:5\0\"b\"=dword:6\n"s + "\"c\"=string:\"x\0y\"\n\"d\"=dword:7\n"s +
                             "\0[T]\n\"e\"=dword:8"s;
    ReadText(store, text);
    const ConfigurationCategory* s = Find(store, "S");
    EXPECT_EQ(ValueNames(s), (Names{"a", "c", "d", "e"}));
    EXPECT_EQ(FindValue(s, "a")->data.dword, 5);
    EXPECT_EQ(FindValue(s, "c")->length, 2u);
    EXPECT_EQ(Find(store, "T"), nullptr);
}

TEST(Reader, ReadingTheDefaultFileAndWritingItBackIsByteForByte) {
    for (bool crlf : {false, true}) {
        ConfigurationStore store;
        ReadText(store, crlf ? WithCrLf(DefaultFile()) : DefaultFile());
        EXPECT_EQ(WrittenText(store), DefaultFile());
        EXPECT_TRUE(TreeIsConsistent(store));
    }
}

TEST(Reader, WhatSurvivesAWriteAndARead) {
    ConfigurationStore store;
    store.Clear();
    ConfigurationCategory* c = store.ResolveCategory(nullptr, "Kept/Empty child");
    c = store.ResolveCategory(nullptr, "Kept");
    store.SetValue(c, "bool", CONFIG_TYPE_BOOL, 1, 1);
    store.SetValue(c, "dword", CONFIG_TYPE_DWORD, -5, 4);
    store.SetValue(c, "text", CONFIG_TYPE_STRING, "with\ttab", 9);
    store.SetValue(c, "none", CONFIG_TYPE_NONE, 0, 0);
    store.SetValue(c, "hex", CONFIG_TYPE_HEX, "ab", 2);
    store.SetValue(c, "empty", CONFIG_TYPE_STRING, "", 1);
    ConfigurationStore again;
    again.Clear();
    ReadText(again, WrittenText(store));
    EXPECT_EQ(ValueNames(Find(again, "Kept")), (Names{"bool", "dword", "text"}));
    EXPECT_NE(Find(again, "Kept/Empty child"), nullptr);
    EXPECT_EQ(FindValue(Find(again, "Kept"), "dword")->data.dword, -5);
}

TEST(Reader, StreamAlreadyAtItsEndReadsNothing) {
    ConfigurationStore store;
    std::FILE* file = testing::StreamOf("\"k\"=dword:1\n");
    char sink[64];
    while (std::fread(sink, 1, sizeof sink, file) > 0) {
    }
    EXPECT_EQ(store.ReadFromFile(file), CONFIG_OK);
    std::fclose(file);
    EXPECT_EQ(store.valueCount, 0);
}

}  // namespace
}  // namespace kov

namespace kov {
namespace {

using namespace std::string_view_literals;

ReadReport Report(std::string_view text) {
    ConfigurationStore store;
    ReadReport report;
    store.ReadFromString(text.data(), text.size(), &report);
    return report;
}

TEST(ReadReport, CountsEveryLineASaveWouldLose) {
    const struct {
        std::string_view text;
        std::size_t dropped;
    } cases[] = {
        {"[]\n\n[/A]\n\"k\"=dword:1f\n\"b\"=bool:False\n\"s\"=string:\"x y\"\n   \n\t\r\n"sv, 0},
        {"[/A]]\n[B\n\"k\"=dword:-1\n\"k\"=dword:0x1F\r\n"sv, 0},  // each read back as it means
        {"; a comment\n# another\nfree text\n"sv, 3},
        {"\"n\"=none:\n\"h\"=hex:\n\"e\"=string:\"\"\n"sv, 3},
        {"\"k\"=dword:zz\n\"k\"=dword:12 trailing\n\"b\"=bool:yes\n\"b\"=bool:1\n"sv, 4},
        {"\"k\" = dword:1\n  \"k\"=dword:1\n\"k\"=dword:\n\"k\"\n"sv, 4},
        {"[/A] ; section comment\n\"s\"=string:\"x\" after\n"sv, 2},
        {"\"k\"=dword:5\0\"b\"=dword:6\n"sv, 1},             // the NUL hides the second value
        {"[/A]\r\"k\"=dword:1\r\"m\"=dword:2\r"sv, 1},         // carriage returns only: one line
        {"[/x]\n\"k\"=dword:1\n"sv, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(Report(c.text).droppedLines, c.dropped) << c.text;
}

TEST(ReadReport, OverlongHeaderDropsItselfAndItsValues) {
    const std::string header = "[/" + std::string(260, 'h') + "]\n";
    EXPECT_EQ(Report(header + "\"a\"=dword:1\n\n\"b\"=dword:2\n[/ok]\n\"c\"=dword:3\n").droppedLines, 3u);
}

TEST(ReadReport, KeepsTheFirstDroppedLineShortened) {
    const ReadReport report = Report("[/A]\n\"k\"=none:\n" + std::string(1000, 'x') + "\n");
    EXPECT_EQ(report.droppedLines, 2u);
    EXPECT_EQ(report.firstDropped, "\"k\"=none:");
    EXPECT_EQ(Report(std::string(1000, 'x')).firstDropped.size(), ReadReport::kFirstDroppedMax);
    // Without its line end, also when that is CR LF; a CR within the line is its own.
    EXPECT_EQ(Report("; note\r\n").firstDropped, "; note");
    EXPECT_EQ(Report("; a\rb\n").firstDropped, "; a\rb");
}

TEST(ReadReport, WhatTheWriterWritesIsKeptExceptWhatCannotBeReadBack) {
    ConfigurationStore store;
    ReadText(store, DefaultFile() + "[/CONFIG_CATEGORY_USER/More]\n\"s\"=string:\"a b\"\n\"b\"=bool:True\n");
    EXPECT_EQ(Report(WrittenText(store)).droppedLines, 0u);
    store.SetValue(nullptr, "gone", CONFIG_TYPE_NONE, 0, 0);
    EXPECT_EQ(Report(WrittenText(store)).droppedLines, 1u);
}

TEST(Reader, Utf8ByteOrderMarkIsSkippedOnlyAtTheStart) {
    for (const bool viaStream : {false, true}) {
        ConfigurationStore store;
        const std::string text = "\xEF\xBB\xBF[/A]\n\"k\"=dword:1\n\xEF\xBB\xBF[/B]\n";
        if (viaStream)
            ReadText(store, text);
        else
            store.ReadFromString(text.data(), text.size());
        ASSERT_NE(Find(store, "A"), nullptr) << viaStream;
        EXPECT_NE(FindValue(Find(store, "A"), "k"), nullptr);
        EXPECT_EQ(Find(store, "B"), nullptr);  // a mark later on is ordinary text
        EXPECT_EQ(ValueNames(&store), Names{});
    }
}

}  // namespace
}  // namespace kov
