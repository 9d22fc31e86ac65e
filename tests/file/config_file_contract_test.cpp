// What the program promises about kov.ini, as tests against the file boundary's public
// interface, run on every platform (natively, and the Windows build under Wine), with the
// failures a disk cannot be made to show on demand injected.
#include <cstring>
#include <functional>

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#endif

#include "config_file.h"
#include "faults.h"
#include "file_test_support.h"
#include "printable_name.h"

namespace kov {
namespace {

using testing::Contents;
using testing::HasValue;
using testing::Fault;
using testing::kWindows;
using testing::OnDisk;
using testing::Step;
using testing::Write;
namespace fs = std::filesystem;

const std::string kOld = OnDisk("[/CONFIG_CATEGORY_USER]\n\"mine\"=dword:00000001\n");
const std::string kNew = "[]\n\n[/CONFIG_CATEGORY_USER]\n\"mine\"=dword:00000002\n\n";

class ConfigFileContract : public testing::FileTest {
protected:
    testing::FaultyFileSystem faulty_;
};

bool ReadsAsDefaults(ConfigurationStore& store) { return store.WriteToString() == ConfigurationStore().WriteToString(); }

TEST_F(ConfigFileContract, NoFileMeansTheDefaultsAndASaveMakesIt) {
    ConfigFile file;
    ConfigurationStore store;
    EXPECT_EQ(file.Read(store).outcome, OpenOutcome::Missing);
    EXPECT_TRUE(ReadsAsDefaults(store));
    EXPECT_FALSE(file.ChangedSinceRead());
    Write(kConfigFileName, kOld);
    EXPECT_TRUE(file.ChangedSinceRead()) << "a file that appears is a change";
    fs::remove(kConfigFileName);
#ifndef _WIN32
    const mode_t previous = umask(022);
#endif
    const SaveResult saved = file.Save(kNew);
#ifndef _WIN32
    umask(previous);
    EXPECT_EQ(fs::status(kConfigFileName).permissions(), fs::perms(0644)) << "the mode the umask gives a new file";
#endif
    EXPECT_EQ(saved.outcome, SaveOutcome::Saved);
    EXPECT_EQ(Contents(kConfigFileName), OnDisk(kNew));
    EXPECT_EQ(Others(), std::vector<std::string>{}) << "nothing of the save is left beside it";
    EXPECT_FALSE(file.ChangedSinceRead()) << "its own save is no change by another program";
    EXPECT_NE(file.DisplayName().find(kConfigFileName), std::string::npos);
}

// Nor is what OK cannot replace (no regular file, or marked read-only) saved over.
TEST_F(ConfigFileContract, WhatCannotBeReadWholeIsNotReadAtAll) {
    const struct {
        const char* what;
        std::function<void(testing::FaultyFileSystem&)> make;
        const char* reason;  // as Named() gives it
        Overwritable overwritable;
    } cases[] = {
        {"folder", [](testing::FaultyFileSystem&) { fs::create_directory(kConfigFileName); }, "NotAFile Folder",
         Overwritable::NotARegularFile},
        {"too large",
         [](testing::FaultyFileSystem&) { fs::resize_file((Write(kConfigFileName, kOld), kConfigFileName), kMaxFileSize + 1); },
         "TooLarge", Overwritable::Yes},
        {"UTF-16", [](testing::FaultyFileSystem&) { Write(kConfigFileName, std::string("\xFF\xFE[\0]\0", 6)); }, "Utf16",
         Overwritable::Yes},
        {"I/O error at open",
         [](testing::FaultyFileSystem& faulty) {
             Write(kConfigFileName, kOld), faulty.Fail(Step::Open, Fault::IoError, 0, 1, kConfigFileName);
         },
         "Refused Other", Overwritable::Yes},
        {"I/O error after 64 KiB",
         [](testing::FaultyFileSystem& faulty) {
             Write(kConfigFileName, kOld + std::string(100000, '\n') + kOld);
             faulty.Fail(Step::Read, Fault::IoError, 1, 1, kConfigFileName);
         },
         "Refused Other", Overwritable::Yes},
        // Last: Windows removes no read-only file.
        {"too large, and marked read-only",
         [](testing::FaultyFileSystem&) {
             fs::resize_file((Write(kConfigFileName, kOld), kConfigFileName), kMaxFileSize + 1);
             fs::permissions(kConfigFileName, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
         },
         "TooLarge", Overwritable::ReadOnly},
#ifndef _WIN32
        {"FIFO", [](testing::FaultyFileSystem&) { ASSERT_EQ(mkfifo(kConfigFileName, 0644), 0); }, "NotAFile Fifo",
         Overwritable::NotARegularFile},
        {"link to /dev/zero", [](testing::FaultyFileSystem&) { fs::create_symlink("/dev/zero", kConfigFileName); },
         "NotAFile Device", Overwritable::NotARegularFile},
        {"socket",
         [](testing::FaultyFileSystem&) {
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             std::strcpy(address.sun_path, kConfigFileName);
             ASSERT_EQ(bind(socket(AF_UNIX, SOCK_STREAM, 0), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
         },
         "NotAFile Socket", Overwritable::NotARegularFile},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(kConfigFileName);
        ConfigFile file(faulty_);
        c.make(faulty_);
        ConfigurationStore store;
        const OpenResult opened = file.Read(store);
        faulty_.Clear();
        EXPECT_EQ(opened.outcome, OpenOutcome::Unreadable);
        EXPECT_EQ(Named(opened.reason), c.reason);
        EXPECT_EQ(opened.overwritable, c.overwritable);
        EXPECT_TRUE(ReadsAsDefaults(store)) << "nothing may be read";
        EXPECT_FALSE(file.ChangedSinceRead()) << "the player chose the defaults: no false question";
        if (c.overwritable == Overwritable::Yes) continue;
        const auto before = fs::symlink_status(kConfigFileName).type();
        const SaveResult saved = ConfigFile().Save(kNew);
        EXPECT_EQ(saved.outcome, SaveOutcome::NotSavedUnchanged) << "what OK cannot replace it does not save over";
        EXPECT_EQ(Named(saved.reason), c.overwritable == Overwritable::ReadOnly ? "MarkedReadOnly" : c.reason);
        EXPECT_EQ(fs::symlink_status(kConfigFileName).type(), before);
        EXPECT_EQ(Others(), std::vector<std::string>{});
    }
}

TEST_F(ConfigFileContract, ReadsSettingsAndReportsWhatItCannotKeep) {
    Write(kConfigFileName, OnDisk("\xEF\xBB\xBF[/CONFIG_CATEGORY_USER]\n\"mine\"=dword:1\n; note\n"));
    ConfigFile file;
    ConfigurationStore store;
    const OpenResult opened = file.Read(store);
    EXPECT_EQ(opened.outcome, OpenOutcome::Read);
    EXPECT_TRUE(HasValue(store, "CONFIG_CATEGORY_USER", "mine"));
    EXPECT_EQ(opened.dropped.droppedLines, 1u);
    EXPECT_EQ(opened.dropped.firstDropped, "; note") << "shown without its line end";
}

TEST_F(ConfigFileContract, ChangesByOthersAreNoticed) {
    const struct {
        const char* what;
        std::function<void()> change;
        bool changed;
    } cases[] = {
        {"nothing", [] {}, false},
        {"same size and time, other bytes",
         [] {
             const auto time = fs::last_write_time(kConfigFileName);
             Write(kConfigFileName, std::string(kOld).replace(kOld.find('1'), 1, "7"));
             fs::last_write_time(kConfigFileName, time);
         },
         true},
        {"replaced", [] { Write("other", kOld), fs::rename("other", kConfigFileName); }, true},
        {"removed", [] { fs::remove(kConfigFileName); }, true},
        {"grown", [] { Write(kConfigFileName, kOld + OnDisk("\n")); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write(kConfigFileName, kOld);
        ConfigFile file;
        ConfigurationStore store;
        file.Read(store);
        c.change();
        EXPECT_EQ(file.ChangedSinceRead(), c.changed);
    }
}

TEST_F(ConfigFileContract, AnUpperCaseNameIsTheGamesFileUnderItsOwnName) {
    Write("KOV.INI", kOld);
    ConfigFile file;
    ConfigurationStore store;
    EXPECT_EQ(file.Read(store).outcome, OpenOutcome::Read);
    EXPECT_TRUE(HasValue(store, "CONFIG_CATEGORY_USER", "mine"));
    EXPECT_NE(file.DisplayName().find("KOV.INI"), std::string::npos) << file.DisplayName();
    ASSERT_TRUE(file.Save(kNew).saved());
    EXPECT_EQ(Contents("KOV.INI"), OnDisk(kNew));
    EXPECT_EQ(Others(), std::vector<std::string>{"KOV.INI"}) << "no second file the game never reads";
}

TEST_F(ConfigFileContract, HardLinksStayOneFile) {
    Write(kConfigFileName, kOld);
    fs::create_hard_link(kConfigFileName, "other name");
    ConfigFile file;
    ASSERT_EQ(file.Save(kNew).outcome, SaveOutcome::Saved);
    EXPECT_EQ(Contents("other name"), OnDisk(kNew));
    EXPECT_EQ(testing::LinkCount(kConfigFileName), 2u);
}

TEST_F(ConfigFileContract, SymbolicLinksStayLinksAndTheirTargetTakesTheText) {
    if (testing::AsWindowsXp()) GTEST_SKIP() << "Windows XP has no links to files, and no way to follow Wine's";
    fs::create_directory("real");
    Write("real/settings.ini", kOld);
    ASSERT_TRUE(testing::MakeSymbolicLink("real/settings.ini", "middle"));
    // An absolute link, then a relative one.
    ASSERT_TRUE(testing::MakeSymbolicLink((folder_ / "middle").string(), kConfigFileName));
    ConfigFile file;
    ConfigurationStore store;
    EXPECT_EQ(file.Read(store).outcome, OpenOutcome::Read);
    ASSERT_EQ(file.Save(kNew).outcome, SaveOutcome::Saved);
    // Still links to that one file (which Wine does not show as links otherwise).
    EXPECT_TRUE(testing::SameFile(kConfigFileName, "real/settings.ini"));
    EXPECT_TRUE(testing::SameFile("middle", "real/settings.ini"));
    EXPECT_EQ(testing::LinkCount("real/settings.ini"), 1u);
    if (!kWindows) {
        EXPECT_TRUE(fs::is_symlink(kConfigFileName) && fs::is_symlink("middle"));
    }
    EXPECT_EQ(Contents("real/settings.ini"), OnDisk(kNew));
    EXPECT_EQ(Others(), (std::vector<std::string>{"middle", "real"})) << "no temporary file left";
    EXPECT_EQ(std::distance(fs::directory_iterator("real"), {}), 1) << "nor beside the target";
}

TEST_F(ConfigFileContract, ReadOnlyFilesAreNeverReplaced) {
    Write(kConfigFileName, kOld);
    fs::permissions(kConfigFileName, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ConfigFile file;
    const SaveResult refused = file.Save(kNew);
    EXPECT_EQ(refused.outcome, SaveOutcome::NotSavedUnchanged);
    EXPECT_EQ(Named(refused.reason), "MarkedReadOnly");
    EXPECT_EQ(Contents(kConfigFileName), kOld);
    EXPECT_EQ(Others(), std::vector<std::string>{});
}

TEST_F(ConfigFileContract, AFolderReplacedByAnotherOfTheSameNameNeverGetsTheFile) {
    fs::create_directory("game");
    Write("game/kov.ini", kOld);
    fs::current_path("game");
    ConfigFile file;
    fs::current_path(folder_);
    fs::rename("game", "moved");
    fs::create_directory("game");
    Write("game/kov.ini", "theirs");
    const SaveResult result = file.Save(kNew);
    EXPECT_EQ(Contents("game/kov.ini"), "theirs");
    // Its own folder, under whatever name it has now, gets the text (POSIX, through the folder
    // held open); or nothing is saved, and the player is told why (Windows, by the folder's name).
    EXPECT_EQ(Contents("moved/kov.ini"), result.saved() ? OnDisk(kNew) : kOld) << result.reason;
    EXPECT_EQ(result.saved(), !kWindows);
    if (!result.saved()) {
        EXPECT_EQ(result.outcome, SaveOutcome::NotSavedUnchanged);
        EXPECT_EQ(Named(result.reason), "FolderMoved");
    }
}

TEST_F(ConfigFileContract, EachFailingStepLeavesTheFileWhole) {
    const struct {
        const char* what;
        bool inPlace;  // a second hard link: written in place
        Step step;
        Fault fault;
        const char* onlyFile;  // a step on this file only
        SaveOutcome outcome;
        const char* reason;  // as Named() gives it
    } cases[] = {
        {"write", false, Step::Write, Fault::IoError, nullptr, SaveOutcome::NotSavedUnchanged, "Refused Other"},
        {"sync", false, Step::Sync, Fault::IoError, nullptr, SaveOutcome::NotSavedUnchanged, "Refused Other"},
        {"replace", false, Step::Replace, Fault::IoError, nullptr, SaveOutcome::NotSavedUnchanged, "Refused Other"},
        {"no room for a second copy, but for the text in the file's own space", false, Step::Write, Fault::DiskFull,
         nullptr, SaveOutcome::Saved, "None"},
        {"the folder's sync after the rename", false, Step::SyncFolder, Fault::IoError, nullptr,
         SaveOutcome::NotSavedChanged, "NotSynced Other"},
        {"in place: write, disk full", true, Step::Write, Fault::DiskFull, kConfigFileName, SaveOutcome::NotSavedUnchanged,
         "Refused NoSpace"},
        {"in place: sync", true, Step::Sync, Fault::IoError, kConfigFileName, SaveOutcome::NotSavedUnchanged,
         "Refused Other"},
        {"in place: no room for the longer text", true, Step::Reserve, Fault::DiskFull, kConfigFileName,
         SaveOutcome::NotSavedUnchanged, "Refused NoSpace"},
        {"in place: the close after the write", true, Step::Close, Fault::IoError, kConfigFileName,
         SaveOutcome::NotSavedChanged, "Refused Other"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder_ / "second");
        Write(kConfigFileName, kOld);
        if (c.inPlace) fs::create_hard_link(kConfigFileName, folder_ / "second");
        ConfigFile file(faulty_);
        faulty_.Fail(c.step, c.fault, 0, 1, c.onlyFile);
        const SaveResult result = file.Save(kNew);
        faulty_.Clear();
        EXPECT_EQ(result.outcome, c.outcome) << result.reason;
        const bool unchanged = c.outcome == SaveOutcome::NotSavedUnchanged;
        EXPECT_EQ(result.holds, unchanged ? FileHolds::OldBytes : FileHolds::NewText);
        EXPECT_EQ(Named(result.reason), c.reason);
        EXPECT_EQ(Contents(kConfigFileName), unchanged ? kOld : OnDisk(kNew));
        EXPECT_EQ(Others(), c.inPlace ? std::vector<std::string>{"second"} : std::vector<std::string>{});
    }
}

TEST_F(ConfigFileContract, AFailedSaveThatChangedTheFileSaysWhatItHolds) {
    // In place (a second link), the sync fails, and then writing the old bytes back fails too.
    Write(kConfigFileName, kOld);
    fs::create_hard_link(kConfigFileName, "second");
    ConfigFile file(faulty_);
    faulty_.Fail(Step::Sync, Fault::IoError, 0, 1, kConfigFileName);
    faulty_.Fail(Step::Write, Fault::IoError, 1, -1, kConfigFileName);
    const SaveResult result = file.Save(kNew);
    faulty_.Clear();
    const std::string now = Contents(kConfigFileName);
    ASSERT_NE(now, kOld);
    EXPECT_EQ(result.outcome, SaveOutcome::NotSavedChanged);
    EXPECT_EQ(result.holds, now == OnDisk(kNew) ? FileHolds::NewText : FileHolds::Other);
    EXPECT_EQ(Named(result.reason), "Refused Other");
    EXPECT_FALSE(file.ChangedSinceRead()) << "what the file holds now is this save's doing";
}

TEST(PrintableName, EscapesWhatIsNotUtf8Text) {
    EXPECT_EQ(PrintableName("/home/gra\xC5\xBC/kov.ini"), "/home/gra\xC5\xBC/kov.ini");
    EXPECT_EQ(PrintableName("caf\xE9/x"), "caf\\xE9/x");
    EXPECT_EQ(PrintableName("a\nb\x7F"), "a\\x0Ab\\x7F");
    EXPECT_EQ(PrintableName("\xC0\xAF \xED\xA0\x80 \xF4\x90\x80\x80"),
              "\\xC0\\xAF \\xED\\xA0\\x80 \\xF4\\x90\\x80\\x80");  // overlong, surrogate, beyond U+10FFFF
    EXPECT_EQ(PrintableName("\xE2\x82"), "\\xE2\\x82");                  // cut short
}

}  // namespace
}  // namespace kov
