// The file boundary on Windows, run under Wine: bytes read as they are, "\r\n" written, a
// read-only or foreign file never replaced, a change by another program noticed.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "config_file.h"

namespace kov {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

bool Has(ConfigurationStore& store, const char* path, const char* name) {
    int32_t data = 0;
    uint32_t length = sizeof data;
    return store.GetValue(store.ResolveCategory(nullptr, path), name, &data, &length) == CONFIG_OK;
}

class ConfigFileWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        folder_ = fs::temp_directory_path() / ("kovconfig-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
        fs::current_path(folder_);
    }
    void TearDown() override {
        fs::current_path(previous_);
        SetFileAttributesW((folder_ / kConfigFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::size_t Entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), {})); }

    fs::path previous_;
    fs::path folder_;
};

TEST_F(ConfigFileWin32Test, ReadsEveryByteAndWritesCrLf) {
    // Text mode would stop at the Ctrl-Z and lose [/B] at the next save.
    Write(kConfigFileName, "[/A]\r\n\"k\"=dword:1\r\n\x1A\r\n[/B]\r\n\"m\"=dword:2\r\n");
    ConfigFile file;
    ConfigurationStore store;
    const OpenResult opened = file.Read(store);
    ASSERT_EQ(opened.outcome, OpenOutcome::Read);
    EXPECT_TRUE(Has(store, "A", "k"));
    EXPECT_TRUE(Has(store, "B", "m"));
    EXPECT_EQ(opened.dropped.droppedLines, 1u);  // the Ctrl-Z line itself
    EXPECT_FALSE(file.ChangedSinceRead());
    ASSERT_TRUE(file.Save("[]\n\n[/B]\n\"m\"=dword:00000002\n\n").saved());
    EXPECT_EQ(Contents(kConfigFileName), "[]\r\n\r\n[/B]\r\n\"m\"=dword:00000002\r\n\r\n");
    EXPECT_EQ(Entries(), 1u) << "no temporary file left";
    EXPECT_FALSE(file.ChangedSinceRead()) << "its own save is no change by another program";
    EXPECT_NE(file.DisplayName().find("\\kov.ini"), std::string::npos) << file.DisplayName();
}

TEST_F(ConfigFileWin32Test, NoFileMeansDefaultsAndANewFile) {
    ConfigFile file;
    ConfigurationStore store;
    EXPECT_EQ(file.Read(store).outcome, OpenOutcome::Missing);
    EXPECT_FALSE(file.ChangedSinceRead());
    Write(kConfigFileName, "[/A]\r\n");
    EXPECT_TRUE(file.ChangedSinceRead());
    fs::remove(kConfigFileName);
    ASSERT_TRUE(file.Save("[]\n").saved());
    EXPECT_EQ(Contents(kConfigFileName), "[]\r\n");
}

TEST_F(ConfigFileWin32Test, ChangesByOthersAreNoticed) {
    Write(kConfigFileName, "[/A]\r\n\"k\"=dword:1\r\n");
    ConfigFile file;
    ConfigurationStore store;
    file.Read(store);
    Write(kConfigFileName, "[/A]\r\n\"k\"=dword:2\r\n");  // same size
    EXPECT_TRUE(file.ChangedSinceRead());
}

TEST_F(ConfigFileWin32Test, ReadOnlyFilesAndFoldersAreNeverReplaced) {
    Write(kConfigFileName, "[/A]\r\n");
    ASSERT_TRUE(SetFileAttributesW(fs::path(kConfigFileName).c_str(), FILE_ATTRIBUTE_READONLY));
    ConfigFile file;
    const SaveResult refused = file.Save("[]\n");
    EXPECT_FALSE(refused.saved());
    EXPECT_NE(refused.reason.find("read-only"), std::string::npos) << refused.reason;
    EXPECT_EQ(Contents(kConfigFileName), "[/A]\r\n");
    EXPECT_EQ(Entries(), 1u);

    SetFileAttributesW(fs::path(kConfigFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove(kConfigFileName);
    fs::create_directory(kConfigFileName);
    ConfigurationStore store;
    const OpenResult opened = file.Read(store);
    EXPECT_EQ(opened.outcome, OpenOutcome::Unreadable);
    EXPECT_EQ(opened.reason, "it is a folder, not a file");
    EXPECT_FALSE(file.Save("[]\n").saved());
    EXPECT_TRUE(fs::is_directory(kConfigFileName));
}

}  // namespace
}  // namespace kov
