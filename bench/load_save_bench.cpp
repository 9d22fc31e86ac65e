// Loading and saving files of every size: the store against the INI libraries a user would
// pick instead, and a plain read of the same bytes as the floor. Each library does the same
// work: parse the whole file into something the program can use, and write it all back.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSettings>
#include <SimpleIni.h>
#include <boost/property_tree/ini_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <ini.h>
#include <malloc.h>
#include <map>
#include <string>
#include <vector>

#include "bench_files.h"
#include "configuration_store.h"

namespace {

namespace fs = std::filesystem;
using kov::bench::BenchFile;

// In memory where the machine has it, so that the libraries are timed rather than the disk.
fs::path WorkFolder() {
    static const fs::path folder = [] {
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        fs::path path = base / ("kov-bench-" + std::to_string(::getpid()));
        fs::create_directories(path);
        return path;
    }();
    return folder;
}

struct Paths {
    std::string ours, plain, output;
};

Paths PathsOf(const BenchFile& file) {
    std::string stem;
    for (char c : file.name) stem += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    Paths paths{(WorkFolder() / (stem + ".kov")).string(), (WorkFolder() / (stem + ".ini")).string(),
                (WorkFolder() / (stem + ".out")).string()};
    if (!fs::exists(paths.ours)) {
        std::ofstream(paths.ours, std::ios::binary) << file.ours;
        std::ofstream(paths.plain, std::ios::binary) << file.plain;
    }
    return paths;
}

std::FILE* Open(const std::string& path, const char* mode) {
    std::FILE* stream = std::fopen(path.c_str(), mode);
    if (stream == nullptr) throw std::runtime_error("cannot open " + path);
    return stream;
}

// --- the floor: the file's bytes, read and written ---

void ReadBytes(std::string& bytes, const std::string& path) {
    std::FILE* in = Open(path, "rb");
    char block[64 * 1024];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, in)) > 0;) bytes.append(block, n);
    std::fclose(in);
}

void WriteBytes(const std::string& bytes, const std::string& path) {
    std::FILE* out = Open(path, "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

// --- the store ---

void OursLoad(kov::ConfigurationStore& store, const std::string& path) {
    std::FILE* in = Open(path, "rt");
    store.ReadFromFile(in);
    std::fclose(in);
}

void OursSave(const kov::ConfigurationStore& store, const std::string& path) {
    std::FILE* out = Open(path, "wt");
    store.WriteToFile(out);
    std::fclose(out);
}

// --- libinih, keeping every key in an ordered container ---

using InihData = std::map<std::string, std::map<std::string, std::string>>;

int KeepEntry(void* user, const char* section, const char* name, const char* value) {
    (*static_cast<InihData*>(user))[section][name] = value;
    return 1;
}

void InihLoad(InihData& data, const std::string& path) {
    std::FILE* in = Open(path, "r");
    ini_parse_file(in, KeepEntry, &data);
    std::fclose(in);
}

void InihSave(const InihData& data, const std::string& path) {
    std::string text;
    for (const auto& [section, keys] : data) {
        text += "[" + section + "]\n";
        for (const auto& [name, value] : keys) text += name + "=" + value + "\n";
        text += "\n";
    }
    WriteBytes(text, path);
}

// --- SimpleIni ---

void SimpleIniLoad(CSimpleIniA& ini, const std::string& path) { ini.LoadFile(path.c_str()); }
void SimpleIniSave(const CSimpleIniA& ini, const std::string& path) { ini.SaveFile(path.c_str(), false); }

// --- QSettings in IniFormat: load and read every key; sync writes ---

// QSettings keeps parsed files in a cache of its own while they are unchanged; a new
// modification time (set outside the timed part) makes every load parse the file again.
void QSettingsPrepare(const std::string& path) {
    static auto stamp = fs::file_time_type::clock::now();
    stamp += std::chrono::seconds(1);
    fs::last_write_time(path, stamp);
}

void QSettingsLoad(std::vector<std::pair<QString, QVariant>>& keys, const std::string& path) {
    QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
    for (const QString& key : settings.allKeys()) keys.emplace_back(key, settings.value(key));
}

void QSettingsSave(const std::vector<std::pair<QString, QVariant>>& keys, const std::string& path) {
    std::remove(path.c_str());
    QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
    for (const auto& [key, value] : keys) settings.setValue(key, value);
    settings.sync();
}

// --- boost::property_tree ---

void BoostLoad(boost::property_tree::ptree& tree, const std::string& path) {
    boost::property_tree::read_ini(path, tree);
}
void BoostSave(const boost::property_tree::ptree& tree, const std::string& path) {
    boost::property_tree::write_ini(path, tree);
}

// One library's three pieces of work, each timed on its own.
void NothingToPrepare(const std::string&) {}

// Work a library needs before each load that is not part of loading, done outside the timing.
void Prepare(benchmark::State& state, void (*prepare)(const std::string&), const std::string& source) {
    if (prepare == NothingToPrepare) return;
    state.PauseTiming();
    prepare(source);
    state.ResumeTiming();
}

template <typename Data, typename Load, typename Save>
void Register(const std::string& library, const BenchFile& file, const std::string& input, Load load, Save save,
              void (*prepare)(const std::string&) = NothingToPrepare) {
    const Paths paths = PathsOf(file);
    const std::string& source = input == "ours" ? paths.ours : paths.plain;
    const std::string prefix = file.name + "/" + library + "/";
    benchmark::RegisterBenchmark((prefix + "load").c_str(), [=](benchmark::State& state) {
        for (auto _ : state) {
            Prepare(state, prepare, source);
            Data data;
            load(data, source);
            benchmark::DoNotOptimize(&data);
        }
    });
    benchmark::RegisterBenchmark((prefix + "save").c_str(), [=](benchmark::State& state) {
        Data data;
        load(data, source);
        for (auto _ : state) save(data, paths.output);
    });
    benchmark::RegisterBenchmark((prefix + "load+save").c_str(), [=](benchmark::State& state) {
        for (auto _ : state) {
            Prepare(state, prepare, source);
            Data data;
            load(data, source);
            save(data, paths.output);
        }
    });
}

void RegisterAll() {
    for (const BenchFile& file : kov::bench::AllFiles()) {
        Register<std::string>("floor", file, "ours", ReadBytes, WriteBytes);
        Register<kov::ConfigurationStore>("ours", file, "ours", OursLoad, OursSave);
        Register<InihData>("inih", file, "plain", InihLoad, InihSave);
        Register<CSimpleIniA>("SimpleIni", file, "plain", SimpleIniLoad, SimpleIniSave);
        Register<std::vector<std::pair<QString, QVariant>>>("QSettings", file, "plain", QSettingsLoad, QSettingsSave,
                                                                    QSettingsPrepare);
        Register<boost::property_tree::ptree>("boost", file, "plain", BoostLoad, BoostSave);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Keep freed memory in the process, so that every iteration after the first measures the
    // libraries' work rather than the kernel handing out fresh pages; the same for every library.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    QCoreApplication application(argc, argv);
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(WorkFolder());
    return 0;
}
