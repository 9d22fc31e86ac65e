// Writes the benchmark files into a folder: NAME.kov in kov.ini's format for the store, NAME.ini
// as the equivalent plain INI for the other libraries. Usage: make_bench_files FOLDER [NAME...]
#include <cstdio>
#include <fstream>
#include <string>

#include "bench_files.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: make_bench_files FOLDER [NAME...]\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    for (const kov::bench::BenchFile& file : kov::bench::ProcessFiles()) {
        bool wanted = argc == 2;
        for (int i = 2; i < argc; ++i) wanted = wanted || file.name == argv[i];
        if (!wanted) continue;
        std::ofstream(folder + "/" + file.name + ".kov", std::ios::binary) << file.ours;
        std::ofstream(folder + "/" + file.name + ".ini", std::ios::binary) << file.plain;
        std::printf("%s %d\n", file.name.c_str(), file.values);
    }
    return 0;
}
