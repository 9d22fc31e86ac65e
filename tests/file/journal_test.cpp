// The rollback journal of in-place saves and the recovery at start, on every platform: what a
// crash leaves (a journal, written whole or cut short; the file old, new, padded or torn; stale
// temporary files) and what the next start makes of it.
#include <cstdlib>
#include <functional>

#include "config_file.h"
#include "faults.h"
#include "file_test_support.h"
#include "journal.h"
#include "in_place.h"
#include "own_names.h"
#include "stop_driver.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kov {
namespace {

namespace fs = std::filesystem;
using detail::DecodeJournal;
using detail::EncodeJournal;
using detail::Journal;
using testing::Contents;
using testing::OnDisk;
using testing::StateFolder;
using testing::Write;

const std::string kOld = OnDisk("[/CONFIG_CATEGORY_USER]\n\"mine\"=dword:00000001\n\"more\"=dword:00000003\n");
const std::string kNew = OnDisk("[/CONFIG_CATEGORY_USER]\n\"mine\"=dword:00000002\n");
const std::string kJournalName = ".kov.ini.journal";

Journal JournalOf(const std::string& old, const std::string& text, std::pair<std::uint64_t, std::uint64_t> identity,
                  std::string path = "kov.ini") {
    detail::Info info;
    info.device = identity.first;
    info.inode = identity.second;
    return detail::JournalOf(info, std::move(path), old, text);
}

class JournalTest : public testing::FileTest {
protected:
    void SetUp() override {
        FileTest::SetUp();
#ifndef _WIN32
        ::setenv("XDG_STATE_HOME", (folder_.string() + "-state").c_str(), 1);  // a state folder of the test's own
#endif
        testing::RemoveTree(StateFolder());
    }
    void TearDown() override {
        testing::RemoveTree(StateFolder());
#ifndef _WIN32
        testing::RemoveTree(folder_.string() + "-state");
#endif
        FileTest::TearDown();
    }
    // The names in the state folder.
    static std::vector<std::string> InState() {
        std::vector<std::string> names;
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(StateFolder(), ignored)) names.push_back(entry.path().filename().string());
        return names;
    }

    testing::FaultyFileSystem faulty_;
};

TEST(JournalFormat, ReadsBackWholeAndNeverWhenCutOrDamaged) {
    const Journal journal = JournalOf(std::string("old\0bytes\r\n", 11), "new", {7, 8}, "/g/k\xE9/kov.ini");
    const std::string bytes = EncodeJournal(journal);
    const auto decoded = DecodeJournal(bytes);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->oldBytes, journal.oldBytes);
    EXPECT_EQ(decoded->path, journal.path);
    EXPECT_EQ(decoded->device, 7u);
    EXPECT_EQ(decoded->inode, 8u);
    EXPECT_EQ(decoded->newSize, 3u);
    EXPECT_EQ(decoded->newBytes, "new");
    Journal first = journal;  // as the first format wrote it, without the new bytes
    first.newBytes.reset();
    EXPECT_FALSE(DecodeJournal(EncodeJournal(first))->newBytes.has_value());
    for (std::size_t cut = 0; cut < bytes.size(); ++cut)
        EXPECT_FALSE(DecodeJournal(bytes.substr(0, cut)).has_value()) << "cut at " << cut;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        std::string damaged = bytes;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x20);
        EXPECT_FALSE(DecodeJournal(damaged).has_value()) << "byte " << at;
    }
    EXPECT_FALSE(DecodeJournal(bytes + "x").has_value());
}

TEST(JournalFormat, TellsWhatAFileHoldsAgainstIt) {
    const Journal shrinking = JournalOf("old text longer", "new", {1, 2});
    const Journal growing = JournalOf("old", "new text longer", {1, 2});
    Journal firstFormat = shrinking;
    firstFormat.newBytes.reset();
    const struct {
        const Journal& journal;
        std::string bytes;
        bool sameFile;
        detail::AgainstJournal holds;
    } cases[] = {
        {shrinking, "old text longer", false, detail::AgainstJournal::OldBytes},
        {shrinking, "new", false, detail::AgainstJournal::NewText},
        {shrinking, detail::PaddedOver("new", 15), false, detail::AgainstJournal::NewTextPadded},
        {shrinking, "new text longer", false, detail::AgainstJournal::Mixture},  // the old tail after the new text
        {shrinking, "", false, detail::AgainstJournal::Mixture},
        {shrinking, "new\n\n\n\n\n\n\n\n\n\nxx", true, detail::AgainstJournal::Other},  // ends in neither
        {shrinking, "their settings!", true, detail::AgainstJournal::Other},
        {shrinking, "old text longer and more", true, detail::AgainstJournal::Other},  // longer than any write made it
        {growing, "new text lo", false, detail::AgainstJournal::Mixture},
        {growing, "new", false, detail::AgainstJournal::Mixture},  // the old size, but not the old bytes
        {growing, std::string("old\0\0\0\0", 7), false, detail::AgainstJournal::Mixture},  // grown, not yet written
        {firstFormat, "new text longer", true, detail::AgainstJournal::Mixture},  // only the identity can tell
        {firstFormat, "new text longer", false, detail::AgainstJournal::Other},
    };
    for (const auto& c : cases) EXPECT_EQ(detail::StateAgainst(c.journal, c.bytes, c.sameFile), c.holds) << c.bytes;
    EXPECT_EQ(detail::PaddedOver("ab", 5), "ab\n\n\n");
    EXPECT_EQ(detail::PaddedOver("abcdef", 5), "abcdef");
}

TEST(JournalFormat, KnowsItsOwnNames) {
    EXPECT_TRUE(detail::IsTemporaryNameOf(".kov.ini.abcXYZ09", "kov.ini"));
    for (const char* other : {".kov.ini.abcXYZ0", ".kov.ini.abcXYZ090", ".kov.ini.abc-YZ09", "kov.ini.abcXYZ09",
                              ".kov.ini.journal", ".kov.ini.backup", ".settings.ini.abcXYZ09"})
        EXPECT_FALSE(detail::IsTemporaryNameOf(other, "kov.ini")) << other;
    EXPECT_TRUE(detail::IsJournalNameInStateFolder(detail::JournalNameInStateFolder(12, 345)));
    for (const char* other : {"12-.journal", "-3.journal", "12-34.journa", "a-3.journal", "12-3x.journal"})
        EXPECT_FALSE(detail::IsJournalNameInStateFolder(other)) << other;
}

TEST_F(JournalTest, AnInterruptedSaveIsFinishedAtTheNextStart) {
    const struct {
        const char* what;
        std::string onDisk;  // what the crash left in the file
        std::string after;   // what the next start leaves
        bool restored;       // and tells the player it put the old bytes back
        bool remounted;      // the disk came back under another device, with other inode numbers
    } cases[] = {
        {"not yet written", kOld, kOld, false, false},
        {"written whole", kNew, kNew, false, false},
        {"written, padded, not yet cut", detail::PaddedOver(kNew, kOld.size()), kNew, false, false},
        {"torn: the new text over the old tail", kNew + kOld.substr(kNew.size()), kOld, true, false},
        {"torn: half of the new text", kNew.substr(0, kNew.size() / 2), kOld, true, false},
        {"torn: an empty file", "", kOld, true, false},
        {"torn, on a disk remounted under another device", kNew + kOld.substr(kNew.size()), kOld, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write(kConfigFileName, c.onDisk);
        auto identity = testing::Identity(kConfigFileName);
        if (c.remounted) identity = {identity.first + 1, identity.second + 7};
        Write(kJournalName, EncodeJournal(JournalOf(kOld, kNew, identity)));
        ConfigFile file;
        const RecoveryReport report = file.Recover();
        EXPECT_EQ(report.restored, c.restored);
        EXPECT_FALSE(report.failure) << report.failure;
        EXPECT_EQ(Contents(kConfigFileName), c.after);
        EXPECT_EQ(Others(), std::vector<std::string>{}) << "the journal is done with";
        EXPECT_EQ(report.empty(), !c.restored);
    }
}

TEST_F(JournalTest, AJournalOfAnotherFileIsKeptAndMentionedAndACutOneRemoved) {
    Write(kConfigFileName, "theirs");
    auto identity = testing::Identity(kConfigFileName);
    ++identity.second;  // the file was replaced since
    const std::string journal = EncodeJournal(JournalOf(kOld, kNew, identity));
    Write(kJournalName, journal);
    ConfigFile file;
    RecoveryReport report = file.Recover();
    EXPECT_FALSE(report.restored);
    ASSERT_EQ(report.keptJournals.size(), 1u);
    EXPECT_NE(report.keptJournals[0].find(kJournalName), std::string::npos);
    EXPECT_EQ(Contents(kConfigFileName), "theirs") << "not applied";
    EXPECT_EQ(Contents(kJournalName), journal) << "kept";

    fs::remove(kConfigFileName);  // the file is gone
    report = ConfigFile().Recover();
    EXPECT_EQ(report.keptJournals.size(), 1u);
    EXPECT_EQ(Contents(kJournalName), journal);

    // Cut short while it was written: its save had not touched the file.
    Write(kConfigFileName, kOld);
    Write(kJournalName, EncodeJournal(JournalOf(kOld, kNew, testing::Identity(kConfigFileName))).substr(0, 40));
    EXPECT_TRUE(ConfigFile().Recover().empty());
    EXPECT_EQ(Others(), std::vector<std::string>{});
    EXPECT_EQ(Contents(kConfigFileName), kOld);
}

TEST_F(JournalTest, AJournalInThePlayersOwnFolderIsFinishedToo) {
    Write(kConfigFileName, kNew + kOld.substr(kNew.size()));
    const auto identity = testing::Identity(kConfigFileName);
    fs::create_directories(StateFolder());
    ConfigFile file;
    Write(StateFolder() / detail::JournalNameInStateFolder(identity.first, identity.second),
          EncodeJournal(JournalOf(kOld, kNew, identity, file.DisplayName())));
    // A journal of some other file stays where it is.
    const std::string theirs = EncodeJournal(JournalOf("a", "b", {1, 2}, "/elsewhere/kov.ini"));
    Write(StateFolder() / "1-2.journal", theirs);
    const RecoveryReport report = file.Recover();
    EXPECT_TRUE(report.restored);
    EXPECT_EQ(Contents(kConfigFileName), kOld);
    EXPECT_EQ(InState(), std::vector<std::string>{"1-2.journal"});
    EXPECT_EQ(Contents(StateFolder() / "1-2.journal"), theirs);
}

TEST_F(JournalTest, StaleTemporaryFilesGoAndARunningSavesStays) {
    Write(kConfigFileName, kOld);
    // Known by name and by what they hold, whoever the file system shows as their owner.
    for (const char* name : {".kov.ini.stale001", ".kov.ini.toolong01"}) Write(name, OnDisk("[]\n\n"));
    Write(".kov.ini.empty001", "");
    for (const char* name : {".kov.ini.theirs01", "notes.txt"}) Write(name, "x");
#ifndef _WIN32
    // As FAT, exFAT or NTFS shows it: owned by the mount's owner, not by the player.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(".kov.ini.stale001", 65534, 65534), 0);
    }
#endif
    // Held as a running save holds its own.
    detail::FileSystem& layer = detail::PlatformFileSystem();
    detail::Folder here;
    detail::File held;
    ASSERT_FALSE(layer.OpenCurrentFolder(here) || layer.CreateNew(here, ".kov.ini.held0001", true, held) ||
                 layer.WriteAt(held, 0, OnDisk("[]\n\n")) || layer.Lock(held));
    EXPECT_TRUE(ConfigFile().Recover().empty());
    held.reset();
    EXPECT_EQ(Others(), (std::vector<std::string>{".kov.ini.held0001", ".kov.ini.theirs01", ".kov.ini.toolong01", "notes.txt"}));
    EXPECT_EQ(Contents(kConfigFileName), kOld);
}

TEST_F(JournalTest, AKeptJournalIsNamedAndTheNextStartFinishesIt) {
    // In place (a second link), where the folder takes no journal: it goes to the player's own
    // folder. Then every sync of the file fails and so does writing the old bytes back.
    Write(kConfigFileName, kOld);
    fs::create_hard_link(kConfigFileName, "second");
    ConfigFile file(faulty_);
    faulty_.Fail(testing::Step::Open, testing::Fault::AccessDenied, 0, -1, kJournalName.c_str());
    faulty_.Fail(testing::Step::Sync, testing::Fault::IoError, 0, -1, kConfigFileName);
    faulty_.Fail(testing::Step::Write, testing::Fault::IoError, 1, -1, kConfigFileName);
    const SaveResult result = file.Save(kNew);
    faulty_.Clear();
    EXPECT_EQ(result.outcome, SaveOutcome::NotSavedChanged);
    ASSERT_EQ(InState().size(), 1u);
    EXPECT_NE(result.oldBytesAt.find(InState()[0]), std::string::npos) << result.oldBytesAt;
    const auto kept = DecodeJournal(Contents(StateFolder() / InState()[0]));
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->oldBytes, kOld);
    EXPECT_EQ(Others(), std::vector<std::string>{"second"}) << "nothing beside the file";

    const RecoveryReport report = ConfigFile().Recover();
    EXPECT_FALSE(report.failure) << report.failure;
    EXPECT_TRUE(Contents(kConfigFileName) == OnDisk(kNew) || Contents(kConfigFileName) == kOld);
    EXPECT_EQ(InState(), std::vector<std::string>{});
    EXPECT_EQ(Contents("second"), Contents(kConfigFileName));
}

TEST_F(JournalTest, WithNoJournalAnywhereThePlayerIsAskedFirst) {
    Write(kConfigFileName, kOld);
    fs::create_hard_link(kConfigFileName, "second");
    for (const bool agree : {false, true}) {
        SCOPED_TRACE(agree ? "Save" : "Cancel");
        ConfigFile file(faulty_);
        faulty_.Fail(testing::Step::Open, testing::Fault::AccessDenied, 0, -1, ".journal");
        int asked = 0;
        const SaveResult result = file.Save(kNew, [&] { return ++asked, agree; });
        faulty_.Clear();
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(result.saved(), agree);
        EXPECT_EQ(result.declined(), !agree);
        EXPECT_EQ(Contents(kConfigFileName), agree ? OnDisk(kNew) : kOld);
        EXPECT_EQ(Others(), std::vector<std::string>{"second"});
    }
}

// Stopped before each call of every kind of save, as a kill would stop it; the next start
// finds the old or the new settings.
TEST_F(JournalTest, StoppedBeforeAnyCallTheNextStartFindsTheOldOrTheNewSettings) {
    for (const testing::StopScenario& scenario : testing::kStopScenarios)
        if (!testing::ExpectEveryStopRecovers(faulty_, scenario, folder_, StateFolder())) return;
}

}  // namespace
}  // namespace kov
