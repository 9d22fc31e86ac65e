// The files the benchmarks work on, generated here: each in kov.ini's format for the store and
// as the equivalent plain INI (same sections, keys and values) for the other libraries.
#pragma once

#include <string>
#include <vector>

namespace kov::bench {

struct BenchFile {
    std::string name;
    int values;
    std::string ours;
    std::string plain;
};

// The 12 settings of a default kov.ini.
BenchFile SampleFile();
// `values` values spread evenly over `sections` sections.
BenchFile SpreadFile(int values, int sections);
// `sections` sections nested four deep (/A/B/C/D), one value each.
BenchFile NestedFile(int sections);

// `values` values in one section under names of 16 bytes: ordinary ones, or ones crafted to
// share one value of the standard library's string hash.
BenchFile OrdinaryNamesFile(int values);
BenchFile CraftedNamesFile(int values);

// Every file the in-process benchmarks use, by name.
const std::vector<BenchFile>& AllFiles();
// The files of the whole-process benchmarks (12 to 1,000,000 values), made when first asked for.
const std::vector<BenchFile>& ProcessFiles();
const BenchFile& FileNamed(const std::string& name);

}  // namespace kov::bench
