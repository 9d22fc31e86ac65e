// The file boundary on POSIX systems: what only they have (owners, modes, extended attributes
// and ACLs, raised rights, file size limits, deleted folders and names that are not UTF-8),
// beside the promises every platform keeps (the contract suite, FIFOs, sockets and devices among them).
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "config_file.h"
#include "file_test_support.h"

namespace kov {
namespace {

namespace fs = std::filesystem;

const std::string kOld = "[/CONFIG_CATEGORY_USER]\n\"mine\"=dword:00000001\n";
const std::string kNew = "[]\n\n[/CONFIG_CATEGORY_USER]\n\"mine\"=dword:00000002\n\n";
constexpr uid_t kOther = 65534;  // a user other than the one running the tests

using testing::Contents;
using testing::HasValue;
using testing::Write;
using ConfigFileTest = testing::FileTest;

TEST_F(ConfigFileTest, UnreadableForThePlayer) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads any file; the unprivileged run covers this";
    Write(kConfigFileName, kOld);
    fs::permissions(kConfigFileName, fs::perms::owner_write);
    ConfigFile file;
    ConfigurationStore store;
    const OpenResult opened = file.Read(store);
    EXPECT_EQ(opened.outcome, OpenOutcome::Unreadable);
    EXPECT_EQ(Named(opened.reason), "Refused AccessDenied");
    // "Use defaults" then saves over it, keeping its mode.
    EXPECT_TRUE(file.Save(kNew).saved());
    fs::permissions(kConfigFileName, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Contents(kConfigFileName), kNew);
}

TEST_F(ConfigFileTest, OfTwoNamesThatDifferInCaseTheFirstInTheFolderIsTheGames) {
    Write("Kov.Ini", kOld);
    Write("KOV.INI", kNew);
    DIR* folder = opendir(".");  // the order Wine looks the name up in
    std::string first;
    while (const dirent* entry = readdir(folder))
        if (first.empty() && entry->d_name[0] != '.') first = entry->d_name;
    closedir(folder);
    ConfigFile file;
    ConfigurationStore store;
    EXPECT_EQ(file.Read(store).outcome, OpenOutcome::Read);
    EXPECT_EQ(file.DisplayName(), (folder_ / first).string());
    ASSERT_TRUE(file.Save(kNew + "\n").saved());
    EXPECT_EQ(Contents(first), kNew + "\n");
    EXPECT_FALSE(fs::exists(kConfigFileName));
}

TEST_F(ConfigFileTest, OwnerAttributesAndAclAreKept) {
    Write(kConfigFileName, kOld);
    fs::permissions(kConfigFileName, fs::perms(0640));
    ASSERT_EQ(setxattr(kConfigFileName, "user.kov", "kept", 4, 0), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(kConfigFileName, kOther, kOther), 0);
    }
    const bool acl = std::system("setfacl -m u:65533:rw kov.ini 2>/dev/null") == 0;
    struct stat old {};
    ASSERT_EQ(stat(kConfigFileName, &old), 0);
    char before[256] = {};
    const ssize_t aclSize = getxattr(kConfigFileName, "system.posix_acl_access", before, sizeof before);

    ConfigFile file;
    ASSERT_TRUE(file.Save(kNew).saved());
    struct stat status {};
    ASSERT_EQ(stat(kConfigFileName, &status), 0);
    if (root) {
        EXPECT_EQ(status.st_uid, kOther);
        EXPECT_EQ(status.st_gid, kOther);
    }
    EXPECT_EQ(status.st_mode, old.st_mode);
    EXPECT_NE(status.st_ino, old.st_ino) << "replaced as a whole";
    char value[8] = {};
    EXPECT_EQ(getxattr(kConfigFileName, "user.kov", value, sizeof value), 4);
    EXPECT_STREQ(value, "kept");
    if (acl) {
        char after[256] = {};
        ASSERT_EQ(getxattr(kConfigFileName, "system.posix_acl_access", after, sizeof after), aclSize);
        EXPECT_EQ(std::string(before, aclSize), std::string(after, aclSize));
    }
    EXPECT_EQ(Contents(kConfigFileName), kNew);
}

TEST_F(ConfigFileTest, RaisedRightsDoNotFollowAnotherUsersLink) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root";
    // A player's folder, and in it the player's link to a file of root's.
    Write("root's file", kOld);
    fs::create_symlink(folder_ / "root's file", kConfigFileName);
    ASSERT_EQ(lchown(kConfigFileName, kOther, kOther), 0);
    ASSERT_EQ(chown(folder_.c_str(), kOther, kOther), 0);
    ConfigFile file;
    const SaveResult refused = file.Save(kNew);
    EXPECT_FALSE(refused.saved());
    EXPECT_EQ(Named(refused.reason), "StrangersLink");
    EXPECT_EQ(Contents("root's file"), kOld);
    // The player's own link to the player's own file is followed.
    ASSERT_EQ(chown("root's file", kOther, kOther), 0);
    EXPECT_TRUE(file.Save(kNew).saved());
    EXPECT_EQ(Contents("root's file"), kNew);
    EXPECT_TRUE(fs::is_symlink(kConfigFileName));
}

TEST_F(ConfigFileTest, OverSizeWriteFailsInsteadOfEndingTheProgram) {
    Write(kConfigFileName, kOld);
    for (const bool hardLinked : {false, true}) {
        SCOPED_TRACE(hardLinked ? "in place" : "replaced");
        if (hardLinked) fs::create_hard_link(kConfigFileName, "second");
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 20;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        ConfigFile file;
        const SaveResult result = file.Save(kNew);
        setrlimit(RLIMIT_FSIZE, &saved);
        // In place, it is the record of the old bytes that cannot be written first.
        EXPECT_EQ(Named(result.reason), hardLinked ? "NoJournal TooLarge" : "Refused TooLarge");
        EXPECT_EQ(result.outcome, SaveOutcome::NotSavedUnchanged);
        EXPECT_EQ(Contents(kConfigFileName), kOld);
    }
}

TEST_F(ConfigFileTest, DeletedFolderIsNeverExchangedForAnother) {
    fs::create_directory("gone");
    fs::current_path("gone");
    fs::remove("../gone");
    const bool rootHadOne = fs::exists("/kov.ini");
    ConfigFile file;
    EXPECT_EQ(file.DisplayName(), kConfigFileName) << "no folder's name to show";
    ConfigurationStore store;
    EXPECT_EQ(file.Read(store).outcome, OpenOutcome::Missing);
    const SaveResult result = file.Save(kNew);
    EXPECT_FALSE(result.saved());
    EXPECT_EQ(Named(result.reason), "FolderDeleted");
    EXPECT_EQ(fs::exists("/kov.ini"), rootHadOne);
}

TEST_F(ConfigFileTest, LongAndUndecodableFolderNamesLeadToTheirOwnFile) {
    fs::create_directory("caf\xE9");
    fs::current_path("caf\xE9");
    for (int depth = 0; depth < 20; ++depth) {  // well past 4095 bytes
        const std::string name(250, static_cast<char>('a' + depth));
        ASSERT_EQ(mkdir(name.c_str(), 0700), 0);
        ASSERT_EQ(chdir(name.c_str()), 0);
    }
    Write(kConfigFileName, kOld);
    ConfigFile file;
    EXPECT_TRUE(file.DisplayName() == kConfigFileName ||
                file.DisplayName().find("/caf\\xE9/") != std::string::npos)
        << file.DisplayName();
    ConfigurationStore store;
    EXPECT_EQ(file.Read(store).outcome, OpenOutcome::Read);
    EXPECT_TRUE(HasValue(store, "CONFIG_CATEGORY_USER", "mine"));
    EXPECT_TRUE(file.Save(kNew).saved());
    EXPECT_EQ(Contents(kConfigFileName), kNew);
    // Paths this long are beyond the folder-removal helpers: one level at a time.
    ASSERT_EQ(unlink(kConfigFileName), 0);
    for (int depth = 19; depth >= 0; --depth) {
        ASSERT_EQ(chdir(".."), 0);
        ASSERT_EQ(rmdir(std::string(250, static_cast<char>('a' + depth)).c_str()), 0);
    }
    fs::current_path(folder_);
}

// Run by read_only_fs.sh, inside a file system mounted read-only, with kov.ini in it.
TEST(ConfigFileOnReadOnlyFileSystem, SaysSoAndKeepsTheFile) {
    const char* folder = std::getenv("KOV_READ_ONLY_FS");
    if (folder == nullptr) GTEST_SKIP() << "needs a read-only file system; the read_only_fs test provides one";
    fs::current_path(folder);
    const std::string before = Contents(kConfigFileName);
    ConfigFile file;
    const SaveResult result = file.Save(kNew);
    EXPECT_FALSE(result.saved());
    EXPECT_EQ(Named(result.reason), "Refused ReadOnlyDisk");
    EXPECT_EQ(Contents(kConfigFileName), before);
}

}  // namespace
}  // namespace kov
