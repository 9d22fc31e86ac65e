// A file's bytes read and written whole, for the tests and their drivers (no GoogleTest here).
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kov::testing {

namespace fs = std::filesystem;

inline std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<unreadable>";
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

}  // namespace kov::testing
