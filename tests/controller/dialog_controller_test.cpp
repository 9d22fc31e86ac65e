// The dialog's steps with a recording window and scripted answers: what is asked, what the safe
// answer (the default, Escape, the close box) leaves of the file, and what a failed save says.
#include "dialog_controller.h"

#include <fstream>

#include "config_file.h"
#include "control_ids.h"
#include "faults.h"
#include "file_test_support.h"
#include "journal.h"
#include "recording_window.h"
#include "settings_table.h"
#include "speaking.h"

namespace kov {
namespace {

using testing::Answer;
using testing::Contents;
using testing::OnDisk;
using testing::RecordingWindow;
using testing::Write;
namespace fs = std::filesystem;

constexpr const char* kFile = "kov.ini";
const std::string kTheirs = OnDisk("[/CONFIG_CATEGORY_USER]\n\"mine\"=dword:00000001\n");

class DialogControllerTest : public testing::FileTest {
protected:
    RecordingWindow window;
    testing::FaultyFileSystem faulty;
};

TEST_F(DialogControllerTest, OpeningFillsTheListsFirstAndMakesTheCheckedRadioATabStop) {
    DialogController controller(window);
    ASSERT_TRUE(controller.Open());
    EXPECT_TRUE(window.questions.empty());
    for (const ListItems& list : kListItems)
        EXPECT_EQ(window.items[list.control], std::vector<std::string>(list.items.begin(), list.items.end()));
    // Every item is in place before a position is selected.
    const auto firstSelection = std::find_if(window.calls.begin(), window.calls.end(),
                                             [](const std::string& call) { return call.starts_with("list"); });
    EXPECT_EQ(std::count_if(firstSelection, window.calls.end(),
                            [](const std::string& call) { return call.starts_with("item"); }),
              0);
    EXPECT_TRUE(window.tabStops[IDC_SOFTWARE_RENDERING]);
    EXPECT_FALSE(window.tabStops[IDC_GLIDE_RENDERING]);

    // The player picks the other rendering: stored at once, and the Tab stop follows it.
    window.panel.checks[IDC_SOFTWARE_RENDERING] = 0;
    window.panel.checks[IDC_GLIDE_RENDERING] = 1;
    controller.Change(IDC_GLIDE_RENDERING);
    EXPECT_TRUE(window.tabStops[IDC_GLIDE_RENDERING]);
    EXPECT_FALSE(window.tabStops[IDC_SOFTWARE_RENDERING]);
    ASSERT_TRUE(controller.Ok());
    EXPECT_NE(Contents(kFile).find(OnDisk("\"rendering device\"=dword:00000001\n")), std::string::npos);
    EXPECT_TRUE(window.messages.empty());
}

TEST_F(DialogControllerTest, AFileThatCannotBeReadIsLeftAloneUnlessThePlayerChoosesDefaultsThatOkCanSave) {
    const struct {
        const char* what;
        bool folder;     // kov.ini is a folder, which OK could never replace: told, and the program ends
        Answer answer;   // else it is too large to read, and the player is asked
        bool opens;
    } cases[] = {
        {"a folder", true, Answer::Safe, false},
        {"too large: Quit", false, Answer::Safe, false},
        {"too large: Use defaults", false, Answer::Other, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(kFile);
        if (c.folder) fs::create_directory(kFile);
        else fs::resize_file((Write(kFile, kTheirs), kFile), kMaxFileSize + 1);
        RecordingWindow player;
        player.answers = {c.answer};
        DialogController controller(player);
        EXPECT_EQ(controller.Open(), c.opens);
        if (c.folder) {
            EXPECT_TRUE(player.questions.empty());
            ASSERT_EQ(player.messages.size(), 1u);
            EXPECT_NE(player.messages[0].find("can neither be read nor replaced"), std::string::npos) << player.messages[0];
            EXPECT_TRUE(fs::is_directory(kFile));
            continue;
        }
        ASSERT_EQ(player.questions.size(), 1u);
        EXPECT_STREQ(player.questions[0].safeButton, "Quit");
        EXPECT_STREQ(player.questions[0].otherButton, "Use defaults");
        EXPECT_NE(player.questions[0].text.find("cannot be read"), std::string::npos) << player.questions[0].text;
        if (!c.opens) {
            EXPECT_EQ(fs::file_size(kFile), kMaxFileSize + 1);
            continue;
        }
        EXPECT_EQ(player.panel.GetListPosition(IDC_SOUND_CARD_TYPE), 0) << "the defaults are shown";
        EXPECT_TRUE(controller.Ok()) << "and OK saves them over it";
        EXPECT_NE(Contents(kFile).find(OnDisk("\"driver type\"=dword:0001ffff\n")), std::string::npos);
    }
}

TEST_F(DialogControllerTest, SpeaksThePlayersLanguage) {
    const testing::Speaking speaking("pl_PL.UTF-8");
    Write(kFile, kTheirs);
    RecordingWindow player;
    DialogController controller(player);
    ASSERT_TRUE(controller.Open());
    EXPECT_EQ(player.items[IDC_SOUND_CARD_TYPE][0], "Automatycznie");
    EXPECT_EQ(player.items[IDC_IRQ][2], "IRQ 5");
    EXPECT_EQ(player.items[IDC_PLAYBACK_RATE][1], "22050") << "numbers stay numbers";
    Write(kFile, kTheirs + OnDisk("\"theirs\"=dword:00000002\n"));
    player.answers = {Answer::Safe};
    EXPECT_FALSE(controller.Ok());
    ASSERT_EQ(player.questions.size(), 1u);
    EXPECT_STREQ(player.questions[0].safeButton, "Anuluj");
    EXPECT_STREQ(player.questions[0].otherButton, "Zastąp");
}

TEST_F(DialogControllerTest, QuestionsBeforeASaveKeepTheFileUnlessThePlayerAgrees) {
    const struct {
        const char* what;
        std::string before;  // when the dialog opens
        std::string after;   // when OK is pressed
        const char* safe;
        const char* other;
        const char* asked;
    } cases[] = {
        {"changed by another program", kTheirs, kTheirs + OnDisk("\"theirs\"=dword:00000002\n"), "Cancel", "Replace",
         "was changed by another program after this dialog opened"},
        {"lines it cannot keep", OnDisk("; my note\n") + kTheirs, OnDisk("; my note\n") + kTheirs, "Cancel", "Save",
         "1 line of "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write(kFile, c.before);
        RecordingWindow player;
        DialogController controller(player);
        ASSERT_TRUE(controller.Open());
        if (c.after != c.before) Write(kFile, c.after);
        player.answers = {Answer::Safe};
        EXPECT_FALSE(controller.Ok());
        ASSERT_EQ(player.questions.size(), 1u);
        EXPECT_STREQ(player.questions[0].safeButton, c.safe);
        EXPECT_STREQ(player.questions[0].otherButton, c.other);
        EXPECT_NE(player.questions[0].text.find(c.asked), std::string::npos) << player.questions[0].text;
        EXPECT_EQ(Contents(kFile), c.after) << "the safe answer changes nothing";
        EXPECT_TRUE(player.messages.empty());

        player.answers = {Answer::Other};
        EXPECT_TRUE(controller.Ok());
        EXPECT_NE(Contents(kFile).find(OnDisk("\"driver type\"=dword:0001ffff\n")), std::string::npos);
        EXPECT_EQ(Contents(kFile).find("my note"), std::string::npos);
        EXPECT_TRUE(player.unexpected.empty());
    }
}

TEST_F(DialogControllerTest, AFailedSaveKeepsTheDialogOpenAndSaysWhatTheFileHolds) {
    // Not saved, and the file as it was.
    Write(kFile, kTheirs);
    fs::permissions(kFile, fs::perms::owner_read);
    {
        DialogController controller(window);
        ASSERT_TRUE(controller.Open());
        EXPECT_FALSE(controller.Ok());
        ASSERT_EQ(window.messages.size(), 1u);
        EXPECT_NE(window.messages[0].find("It is marked read-only."), std::string::npos) << window.messages[0];
        EXPECT_NE(window.messages[0].find("The file was left as it was."), std::string::npos) << window.messages[0];
        EXPECT_EQ(Contents(kFile), kTheirs);
    }
    fs::permissions(kFile, fs::perms::owner_read | fs::perms::owner_write);
    // Not saved, and the file not as it was: in place (a second link), the sync fails and so does
    // writing the old bytes back.
    fs::create_hard_link(kFile, "second");
    RecordingWindow player;
    DialogController controller(player, faulty);
    ASSERT_TRUE(controller.Open());
    faulty.Fail(testing::Step::Sync, testing::Fault::IoError, 0, 1, kFile);
    faulty.Fail(testing::Step::Write, testing::Fault::IoError, 1, -1, kFile);
    EXPECT_FALSE(controller.Ok());
    faulty.Clear();
    ASSERT_EQ(player.messages.size(), 1u);
    EXPECT_EQ(player.messages[0].find("left as it was"), std::string::npos) << player.messages[0];
    // What the message says the file holds is what it holds.
    const bool holdsNew = Contents(kFile).find(OnDisk("\"driver type\"=dword:0001ffff\n")) != std::string::npos;
    EXPECT_NE(player.messages[0].find(holdsNew ? "The file already holds the new settings."
                                               : "The file now holds neither its old settings nor the new ones."),
              std::string::npos)
        << player.messages[0];
    // OK again: the file is this program's own now, so no question, and the save goes through.
    EXPECT_TRUE(controller.Ok());
    EXPECT_TRUE(player.questions.empty());
    EXPECT_EQ(Contents("second"), Contents(kFile));
}

TEST_F(DialogControllerTest, AnInterruptedSaveIsPutRightAndToldBeforeTheSettingsAreRead) {
    const std::string next = OnDisk("[/CONFIG_CATEGORY_USER]\n\"m\"=dword:00000002\n");
    Write(kFile, next + kTheirs.substr(next.size()));  // torn: the new text over the old tail
    const auto [device, inode] = testing::Identity(kFile);
    detail::Info info;
    info.device = device;
    info.inode = inode;
    Write(".kov.ini.journal", detail::EncodeJournal(detail::JournalOf(info, "kov.ini", kTheirs, next)));
    DialogController controller(window);
    ASSERT_TRUE(controller.Open());
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_NE(window.messages[0].find("was interrupted"), std::string::npos) << window.messages[0];
    EXPECT_NE(window.messages[0].find("put back as it was before that save"), std::string::npos);
    EXPECT_EQ(Contents(kFile), kTheirs);
    EXPECT_TRUE(window.questions.empty()) << "the old settings are read, with nothing to drop";
    EXPECT_EQ(Others(), std::vector<std::string>{});
}

TEST_F(DialogControllerTest, WithNoRecordOfTheOldSettingsPossibleOkAsksFirst) {
    Write(kFile, kTheirs);
    fs::create_hard_link(kFile, "second");  // saved in place
    DialogController controller(window, faulty);
    ASSERT_TRUE(controller.Open());
    faulty.Fail(testing::Step::Open, testing::Fault::AccessDenied, 0, -1, ".journal");
    window.answers = {Answer::Safe};
    EXPECT_FALSE(controller.Ok());
    ASSERT_EQ(window.questions.size(), 1u);
    EXPECT_STREQ(window.questions[0].safeButton, "Cancel");
    EXPECT_STREQ(window.questions[0].otherButton, "Save");
    EXPECT_NE(window.questions[0].text.find("no copy of its old settings could be kept first"), std::string::npos)
        << window.questions[0].text;
    EXPECT_TRUE(window.messages.empty()) << "the player chose; nothing failed";
    EXPECT_EQ(Contents(kFile), kTheirs);
    window.answers = {Answer::Other};
    EXPECT_TRUE(controller.Ok());
    faulty.Clear();
    EXPECT_NE(Contents("second").find(OnDisk("\"driver type\"=dword:0001ffff\n")), std::string::npos);
}

}  // namespace
}  // namespace kov
