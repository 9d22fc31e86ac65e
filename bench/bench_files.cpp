// Generating the benchmark files.
#include "bench_files.h"

#include <cstdio>
#include <stdexcept>

#include "colliding_names.h"

namespace kov::bench {

namespace {

void AddValue(BenchFile& file, const std::string& key, int value) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(value));
    file.ours += "\"" + key + "\"=dword:" + hex + "\n";
    file.plain += key + "=" + std::to_string(value) + "\n";
    ++file.values;
}

void AddSection(BenchFile& file, const std::string& path) {
    file.ours += "[/" + path + "]\n";
    file.plain += "[" + path + "]\n";
}

}  // namespace

BenchFile SampleFile() {
    BenchFile file{"sample", 0, "[]\n\n[/CONFIG_CATEGORY_MACHINE]\n\n[/CONFIG_CATEGORY_MACHINE/Audio]\n\n", ""};
    const struct {
        const char* section;
        const char* key;
        int value;
    } settings[] = {
        {"Driver", "driver type", 0x1FFFF},     {"Driver", "driver io", 0x220},       {"Driver", "driver irq", 5},
        {"Driver", "driver dma low", 1},        {"Driver", "driver dma hi", 5},       {"Playback", "playback rate", 22050},
        {"Playback", "playback channels", 2},   {"Effects", "effects chanels", 7},    {"Effects", "use reverb     ", 1},
        {"Effects", "use echo       ", 1},      {"Effects", "use hq mixing  ", 0},
    };
    std::string section;
    for (const auto& s : settings) {
        if (section != s.section) {
            if (!section.empty()) file.ours += "\n";
            section = s.section;
            AddSection(file, std::string("CONFIG_CATEGORY_MACHINE/Audio/") + s.section);
        }
        AddValue(file, s.key, s.value);
    }
    file.ours += "\n";
    AddSection(file, "CONFIG_CATEGORY_MACHINE/Graphics");
    AddValue(file, "rendering device", 0);
    file.ours += "\n[/CONFIG_CATEGORY_SOFTWARE]\n\n[/CONFIG_CATEGORY_USER]\n\n";
    return file;
}

BenchFile SpreadFile(int values, int sections) {
    BenchFile file{"values_" + std::to_string(values) + "_in_" + std::to_string(sections), 0, {}, {}};
    const int perSection = values / sections;
    for (int s = 0; s < sections; ++s) {
        AddSection(file, "CONFIG_CATEGORY_USER/Section " + std::to_string(s));
        for (int v = 0; v < perSection; ++v) AddValue(file, "key " + std::to_string(v), s * perSection + v);
    }
    return file;
}

BenchFile NestedFile(int sections) {
    BenchFile file{"nested_" + std::to_string(sections), 0, {}, {}};
    for (int s = 0; s < sections; ++s) {
        const std::string path = "CONFIG_CATEGORY_USER/A" + std::to_string(s / 1000) + "/B" + std::to_string(s / 100 % 10) +
                                 "/C" + std::to_string(s / 10 % 10) + "/D" + std::to_string(s % 10);
        AddSection(file, path);
        AddValue(file, "key", s);
    }
    return file;
}

namespace {

BenchFile NamesFile(const std::string& name, const std::vector<std::string>& keys) {
    BenchFile file{name, 0, {}, {}};
    AddSection(file, "CONFIG_CATEGORY_USER/Names");
    int i = 0;
    for (const std::string& key : keys) AddValue(file, key, i++);
    return file;
}

}  // namespace

BenchFile OrdinaryNamesFile(int values) {
    std::vector<std::string> keys;
    char key[32];
    for (int i = 0; i < values; ++i) {
        std::snprintf(key, sizeof key, "ordinary%08d", i);
        keys.emplace_back(key);
    }
    return NamesFile("ordinary_names_" + std::to_string(values), keys);
}

BenchFile CraftedNamesFile(int values) {
    // Nothing that either format would read as syntax.
    return NamesFile("crafted_names_" + std::to_string(values),
                     testing::CollidingNames(static_cast<std::size_t>(values), "\"\t\n\r=;#[] "));
}

const std::vector<BenchFile>& ProcessFiles() {
    static const std::vector<BenchFile> files = {
        SampleFile(),
        SpreadFile(10000, 1),
        SpreadFile(10000, 1000),
        NestedFile(10000),
        SpreadFile(100000, 1),
        SpreadFile(100000, 10000),
        NestedFile(100000),
        SpreadFile(1000000, 100000),
        OrdinaryNamesFile(80000),
        CraftedNamesFile(80000),
    };
    return files;
}

const std::vector<BenchFile>& AllFiles() {
    static const std::vector<BenchFile> files = {
        SampleFile(),          SpreadFile(1000, 100),  SpreadFile(10000, 1000), SpreadFile(100000, 10000),
        SpreadFile(10000, 1),  SpreadFile(100000, 1),  NestedFile(1000),        NestedFile(10000),
    };
    return files;
}

const BenchFile& FileNamed(const std::string& name) {
    for (const BenchFile& file : AllFiles())
        if (file.name == name) return file;
    throw std::invalid_argument("no benchmark file " + name);
}

}  // namespace kov::bench
