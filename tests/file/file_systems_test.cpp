// kov.ini on the file systems game folders live on: NTFS through ntfs-3g, exFAT, FAT. Run by
// on_file_systems.sh inside a mount of each (KOV_FS names it, KOV_FS_DIR is the mount), where
// the file system shows one owner and mode for every file, may have no hard links, unnamed
// files or reservations, and keeps Windows' attributes.
#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>

#include "config_file.h"
#include "journal.h"
#include "posix_windows_attributes.h"
#include "stop_driver.h"

namespace kov {
namespace {

namespace fs = std::filesystem;
using testing::Contents;
using testing::Write;

const std::string kOld = "[]\n\n[/CONFIG_CATEGORY_USER]\n\"mine\"=dword:00000001\n\n";
const std::string kNew = "[]\n\n[/CONFIG_CATEGORY_USER]\n\"mine\"=dword:00000002\n\n";
constexpr std::uint32_t kReadOnly = detail::kReadOnlyAttribute, kHidden = detail::kHiddenAttribute, kSystem = 0x4,
                        kArchive = 0x20;

std::string Kind() { return std::getenv("KOV_FS") != nullptr ? std::getenv("KOV_FS") : ""; }

// Windows' attributes of a file, set when asked; false where its file system keeps none.
bool Attributes(const fs::path& file, std::uint32_t& attributes, const std::uint32_t* set = nullptr) {
    const int fd = ::open(file.c_str(), O_RDONLY);
    const bool done = fd >= 0 && (set != nullptr ? detail::SetWindowsAttributes(fd, *set)
                                                 : detail::GetWindowsAttributes(fd, attributes));
    if (fd >= 0) ::close(fd);
    return done;
}

class OnFileSystem : public ::testing::Test {
protected:
    void SetUp() override {
        if (Kind().empty()) GTEST_SKIP() << "run by on_file_systems.sh inside a mounted file system";
        previous_ = fs::current_path();
        folder_ = fs::path(std::getenv("KOV_FS_DIR")) / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        state_ = fs::path(std::getenv("XDG_STATE_HOME")) / "kovconfig";
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        fs::current_path(folder_);
    }
    void TearDown() override {
        if (Kind().empty()) return;
        fs::current_path(previous_);
        fs::remove_all(folder_);
    }
    fs::path folder_, state_, previous_;
    testing::FaultyFileSystem faulty_;
};

TEST_F(OnFileSystem, CancelOkAndAStopBeforeEveryCall) {
    Write(kConfigFileName, kOld);
    {
        ConfigFile file;  // opened and cancelled
        ConfigurationStore store;
        EXPECT_TRUE(file.Recover().empty());
        EXPECT_EQ(file.Read(store).outcome, OpenOutcome::Read);
    }
    EXPECT_EQ(Contents(kConfigFileName), kOld);
    const SaveResult saved = ConfigFile().Save(kNew);
    EXPECT_TRUE(saved.saved()) << saved.reason;
    EXPECT_EQ(Contents(kConfigFileName), kNew);
    EXPECT_EQ(testing::LeftIn(folder_), std::vector<std::string>{});
    // The kinds of save this file system takes: hard links only where it has them.
    std::error_code noLinks;
    fs::create_hard_link(kConfigFileName, "probe", noLinks);
    fs::remove("probe");
    for (const testing::StopScenario& scenario : testing::kStopScenarios)
        if (!(scenario.linked && noLinks) && !testing::ExpectEveryStopRecovers(faulty_, scenario, folder_, state_)) return;
}

TEST_F(OnFileSystem, WindowsAttributesAreKeptAndAReadOnlyMarkIsObeyed) {
    std::uint32_t attributes = 0;
    Write(kConfigFileName, kOld);
    if (!Attributes(kConfigFileName, attributes)) GTEST_SKIP() << Kind() << " keeps no Windows attributes";
    const std::uint32_t marked = kHidden | kSystem | kArchive;
    ASSERT_TRUE(Attributes(kConfigFileName, attributes, &marked));
    char created[8] = {}, after[8] = {};
    const bool times = getxattr(kConfigFileName, "system.ntfs_crtime_be", created, 8) == 8;
    sleep(1);  // a new file would have another creation time
    const SaveResult saved = ConfigFile().Save(kNew);
    ASSERT_TRUE(saved.saved()) << saved.reason;
    EXPECT_EQ(Contents(kConfigFileName), kNew);
    ASSERT_TRUE(Attributes(kConfigFileName, attributes));
    EXPECT_EQ(attributes & (kHidden | kSystem | kArchive), marked);
    if (times) {
        ASSERT_EQ(getxattr(kConfigFileName, "system.ntfs_crtime_be", after, 8), 8);
        EXPECT_EQ(std::string(created, 8), std::string(after, 8)) << "the creation time";
    }

    const std::uint32_t readOnly = kReadOnly | kArchive;
    ASSERT_TRUE(Attributes(kConfigFileName, attributes, &readOnly));
    const SaveResult refused = ConfigFile().Save(kOld);
    EXPECT_EQ(refused.outcome, SaveOutcome::NotSavedUnchanged);
    EXPECT_EQ(Named(refused.reason), "MarkedReadOnly");
    EXPECT_EQ(Contents(kConfigFileName), kNew);
    ASSERT_TRUE(Attributes(kConfigFileName, attributes));
    EXPECT_EQ(attributes & kReadOnly, kReadOnly) << "still marked";
    const std::uint32_t cleared = kArchive;
    Attributes(kConfigFileName, attributes, &cleared);
}

// The disk full but for the file's own space: a text that fits there is saved in place (its
// journal in the player's own folder), one that does not is refused with the file as it was.
TEST_F(OnFileSystem, AFullDiskSavesWhatFitsInTheFilesOwnSpace) {
    const std::string old = kOld + "\"padding\"=string:\"" + std::string(12000, 'p') + "\"\n";
    Write(kConfigFileName, old);
    {
        std::ofstream filler("filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), block.size()) && filler.flush()) {
        }
    }
    const SaveResult saved = ConfigFile().Save(kNew);
    EXPECT_TRUE(saved.saved()) << saved.reason;
    EXPECT_TRUE(Contents(kConfigFileName) == kNew);
    const std::string large = kNew + "\"more\"=string:\"" + std::string(200000, 'm') + "\"\n";
    const SaveResult refused = ConfigFile().Save(large);
    EXPECT_EQ(refused.outcome, SaveOutcome::NotSavedUnchanged) << refused.reason;
    EXPECT_EQ(Named(refused.reason), "Refused NoSpace");
    EXPECT_EQ(Contents(kConfigFileName), kNew);
    EXPECT_EQ(testing::LeftIn(folder_), std::vector<std::string>{"filler"});
    EXPECT_EQ(testing::LeftIn(state_), std::vector<std::string>{});
}

// Before the disk is unmounted: a save torn in place, as a power cut leaves it, with its journal.
// After it comes back under another device (another loop device, inode numbers renumbered): the
// next start puts the old bytes back.
TEST(OnFileSystemRemounted, TheJournalIsStillApplied) {
    const char* phase = std::getenv("KOV_FS_PHASE");
    if (phase == nullptr) GTEST_SKIP() << "run by on_file_systems.sh around a remount";
    const fs::path folder = fs::path(std::getenv("KOV_FS_DIR")) / "remounted";
    const std::string old = kOld + "\"more\"=dword:00000003\n";
    if (std::string(phase) == "before") {
        fs::create_directories(folder);
        Write(folder / kConfigFileName, kNew + old.substr(kNew.size()));
        struct stat status {};
        ASSERT_EQ(::stat((folder / kConfigFileName).c_str(), &status), 0);
        detail::Info info;
        info.device = status.st_dev;
        info.inode = status.st_ino;
        Write(folder / ".kov.ini.journal",
              detail::EncodeJournal(detail::JournalOf(info, (folder / kConfigFileName).string(), old, kNew)));
        return;
    }
    const fs::path previous = fs::current_path();
    fs::current_path(folder);
    const RecoveryReport report = ConfigFile().Recover();
    fs::current_path(previous);
    EXPECT_TRUE(report.restored) << report.failure;
    EXPECT_EQ(Contents(folder / kConfigFileName), old);
    EXPECT_EQ(testing::LeftIn(folder), std::vector<std::string>{});
    fs::remove_all(folder);
}

}  // namespace
}  // namespace kov
