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

// Every file the benchmarks use, by name.
const std::vector<BenchFile>& AllFiles();
const BenchFile& FileNamed(const std::string& name);

}  // namespace kov::bench
