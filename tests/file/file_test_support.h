// What the file boundary's tests share on every platform: a fresh current folder per test,
// reading and writing files byte for byte, the text as the platform's file holds it, and links.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kov::testing {

namespace fs = std::filesystem;

#ifdef _WIN32
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif

inline std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<unreadable>";
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// The text as the file holds it: Windows' files have "\r\n" line ends.
inline std::string OnDisk(const std::string& text) {
    if (!kWindows) return text;
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// A symbolic link, as the player's system makes one: under Wine, a Unix link made by ln.
inline bool MakeSymbolicLink(const std::string& target, const std::string& link) {
#ifdef _WIN32
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr) {
        std::wstring command = L"/bin/ln -s";
        for (const std::string& argument : {target, link}) {
            command += L" '";
            for (char c : argument) command += c == '\\' ? L'/' : static_cast<wchar_t>(c);
            command += L"'";
        }
        STARTUPINFOW start{};
        start.cb = sizeof start;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
            return false;
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        std::error_code error;
        return fs::is_symlink(link, error) || fs::exists(link, error);
    }
    return CreateSymbolicLinkW(fs::path(link).c_str(), fs::path(target).c_str(),
                               SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
#else
    return ::symlink(target.c_str(), link.c_str()) == 0;
#endif
}

// Each test in a new folder that is the current one.
class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / ("kovconfig-" + std::string(test->name()) + "-" + std::to_string(Process()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        fs::current_path(folder_);
    }
    void TearDown() override {
        fs::current_path(previous_);
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(folder_, ignored))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(folder_, ignored);
    }
public:
    // What is in the folder besides kov.ini: a save must leave nothing behind.
    std::vector<std::string> Others() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            if (entry.path().filename() != "kov.ini") names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

protected:
    fs::path folder_;
    fs::path previous_;

private:
    static unsigned long Process() {
#ifdef _WIN32
        return GetCurrentProcessId();
#else
        return static_cast<unsigned long>(::getpid());
#endif
    }
};

}  // namespace kov::testing
