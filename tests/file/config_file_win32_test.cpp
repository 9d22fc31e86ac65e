// The file boundary on Windows, run under Wine: bytes read as they are and "\r\n" written; every
// documented way ReplaceFileW fails, recovered from the disk; a file held by another program; a
// file that only an in-place write keeps whole (another owner, an ACL, a folder that takes no new
// file); the Windows folder refused; long names; VirtualStore copies.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "config_file.h"
#include "faults.h"
#include "file_test_support.h"
#include "win32_text.h"

namespace kov {
namespace {

namespace fs = std::filesystem;
using detail::Failure;
using detail::Problem;
using testing::Contents;
using testing::Step;
using testing::OnDisk;
using testing::Write;

const std::string kOld = OnDisk("[/A]\n\"k\"=dword:00000001\n");
const std::string kNew = "[]\n\n[/A]\n\"k\"=dword:00000002\n\n";

class ConfigFileWin32Test : public testing::FileTest {
protected:
    testing::FaultyFileSystem faulty_;
};

// What ReplaceFileW does before it fails with ERROR_UNABLE_TO_MOVE_REPLACEMENT(_2): the old file
// moved to the backup's name.
void MoveAside(const std::string& replaced) {
    fs::rename(replaced, fs::path(replaced).parent_path() / ".kov.ini.backup");
}

TEST_F(ConfigFileWin32Test, ReadsEveryByteAndWritesCrLf) {
    // Text mode would stop at the Ctrl-Z and lose [/B] at the next save.
    Write(kConfigFileName, "[/A]\r\n\"k\"=dword:1\r\n\x1A\r\n[/B]\r\n\"m\"=dword:2\r\n");
    ConfigFile file;
    ConfigurationStore store;
    const OpenResult opened = file.Read(store);
    ASSERT_EQ(opened.outcome, OpenOutcome::Read);
    EXPECT_TRUE(testing::HasValue(store, "A", "k"));
    EXPECT_TRUE(testing::HasValue(store, "B", "m"));
    EXPECT_EQ(opened.dropped.droppedLines, 1u);  // the Ctrl-Z line itself
    EXPECT_EQ(opened.dropped.firstDropped, "\x1A");
    ASSERT_TRUE(file.Save("[]\n\n[/B]\n\"m\"=dword:00000002\n\n").saved());
    EXPECT_EQ(Contents(kConfigFileName), "[]\r\n\r\n[/B]\r\n\"m\"=dword:00000002\r\n\r\n");
    EXPECT_EQ(Others(), std::vector<std::string>{}) << "no temporary file or backup left";
    EXPECT_NE(file.DisplayName().find("\\kov.ini"), std::string::npos) << file.DisplayName();
    EXPECT_EQ(file.DisplayName().find("\\\\?\\"), std::string::npos) << "shown as a player writes it";
}

TEST_F(ConfigFileWin32Test, EveryDocumentedReplaceFailureIsRecoveredFromTheDisk) {
    const Failure held{Problem::HeldByAnother, ERROR_UNABLE_TO_REMOVE_REPLACED};
    const Failure movedAside{Problem::Other, ERROR_UNABLE_TO_MOVE_REPLACEMENT};
    const Failure movedAsideKept{Problem::Other, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2};
    // Another program makes a new file the moment the old one is moved aside.
    const auto madeAgain = [](const std::string& replaced) {
        MoveAside(replaced);
        Write(replaced, "theirs");
    };
    const struct {
        const char* what;
        Failure failure;
        int times;  // how many calls fail (held: past the layer's wait); after them the real call runs
        std::function<void(const std::string&)> before;
        int refusedMoves;  // how many moves to another name are refused (-1: every one)
        SaveOutcome outcome;
        const char* fileHolds;  // "old", "new" or "" (nothing)
        bool backupKept;
    } cases[] = {
        {"1175, nothing changed, every time", held, -1, nullptr, 0, SaveOutcome::NotSavedUnchanged, "old", false},
        {"1176, no file under the name", movedAside, 1, MoveAside, 0, SaveOutcome::Saved, "new", false},
        {"1177, the old file under the backup name", movedAsideKept, -1, MoveAside, 0, SaveOutcome::Saved, "new", false},
        {"1177, and another program made a new file the moment the old one was moved", movedAsideKept, -1, madeAgain, 0,
         SaveOutcome::Saved, "new", false},
        {"1177, and nothing can be moved back", movedAsideKept, -1, MoveAside, -1, SaveOutcome::NotSavedChanged, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::RemoveTree(folder_);
        fs::create_directories(folder_);
        Write(kConfigFileName, kOld);
        ConfigFile file(faulty_);
        faulty_.Fail(Step::Replace, c.failure, 0, c.times, {}, c.before);
        if (c.refusedMoves != 0)
            faulty_.Fail(Step::Rename, {Problem::AccessDenied, ERROR_ACCESS_DENIED}, 0, c.refusedMoves);
        const SaveResult result = file.Save(kNew);
        faulty_.Clear();
        EXPECT_EQ(result.outcome, c.outcome) << result.reason;
        const std::string holds = std::string(c.fileHolds);
        EXPECT_EQ(Contents(kConfigFileName), holds == "old" ? kOld : holds == "new" ? OnDisk(kNew) : "<unreadable>");
        if (c.backupKept) {
            EXPECT_EQ(result.holds, FileHolds::Nothing);
            EXPECT_EQ(Contents(".kov.ini.backup"), kOld) << "the only copy of the old bytes is kept";
            EXPECT_NE(result.oldBytesAt.find("\\.kov.ini.backup"), std::string::npos) << result.oldBytesAt;
            EXPECT_EQ(Others(), std::vector<std::string>{".kov.ini.backup"});
        } else {
            EXPECT_EQ(Others(), std::vector<std::string>{}) << "nothing of the save is left";
        }
        if (c.outcome == SaveOutcome::NotSavedUnchanged) {
            EXPECT_EQ(result.holds, FileHolds::OldBytes);
        }
    }
}

TEST_F(ConfigFileWin32Test, AFileHeldByAnotherProgramIsWaitedForThenNamed) {
    Write(kConfigFileName, kOld);
    ConfigFile file;
    // The game holds it open without letting it be deleted or renamed.
    HANDLE game = CreateFileW(L"kov.ini", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(game, INVALID_HANDLE_VALUE);
    const SaveResult held = file.Save(kNew);
    EXPECT_EQ(held.outcome, SaveOutcome::NotSavedUnchanged);
    EXPECT_EQ(Named(held.reason), "Refused HeldByAnother");
    EXPECT_EQ(Contents(kConfigFileName), kOld);
    EXPECT_EQ(Others(), std::vector<std::string>{}) << "no temporary file left by a try";
    // Let go a moment into the next try: the save waits for it.
    std::thread letGo([game] {
        Sleep(300);
        CloseHandle(game);
    });
    const SaveResult saved = file.Save(kNew);
    letGo.join();
    EXPECT_EQ(saved.outcome, SaveOutcome::Saved) << saved.reason;
    EXPECT_EQ(Contents(kConfigFileName), OnDisk(kNew));
    EXPECT_EQ(Others(), std::vector<std::string>{});
}

TEST_F(ConfigFileWin32Test, WhatOnlyTheFileItselfCanKeepIsKeptByWritingInPlace) {
    const fs::path state = testing::StateFolder();
    const Failure denied{Problem::AccessDenied, ERROR_ACCESS_DENIED};
    // The folder takes no new file (the player's own state folder still does).
    const auto besideTheFile = [](const std::string& name) { return name.find(".kov.ini.") != std::string::npos; };
    const struct {
        const char* what;
        std::function<void(testing::FaultyFileSystem&)> arrange;
    } cases[] = {
        {"another owner", [&](testing::FaultyFileSystem& faulty) { faulty.Fail(Step::CopyMetadata, denied, 0, -1); }},
        // As without WRITE_DAC, when the ACL cannot be carried over.
        {"an ACL that cannot be carried over", [&](testing::FaultyFileSystem& faulty) { faulty.Fail(Step::Replace, denied, 0, -1); }},
        {"a folder that takes no new file",
         [&](testing::FaultyFileSystem& faulty) { faulty.Fail(Step::Open, denied, 0, -1, besideTheFile); }},
        {"a grown file", [&](testing::FaultyFileSystem& faulty) { faulty.Fail(Step::Open, denied, 0, -1, besideTheFile); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write(kConfigFileName, std::string(c.what) == "a grown file" ? OnDisk("[]\n") : kOld + kOld + kOld);
        const auto identity = testing::Identity(kConfigFileName);
        ConfigFile file(faulty_);
        c.arrange(faulty_);
        const SaveResult result = file.Save(kNew);
        faulty_.Clear();
        EXPECT_EQ(result.outcome, SaveOutcome::Saved) << result.reason;
        EXPECT_EQ(Contents(kConfigFileName), OnDisk(kNew));
        EXPECT_EQ(testing::Identity(kConfigFileName), identity) << "the same file, written in place";
        EXPECT_EQ(Others(), std::vector<std::string>{}) << "no journal left beside it";
        EXPECT_TRUE(!fs::exists(state) || fs::is_empty(state)) << "nor in the player's own folder";
    }
}

TEST_F(ConfigFileWin32Test, TheWindowsFolderIsNeverTheGamesFolder) {
    wchar_t windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    const bool hadOne = fs::exists(fs::path(windows) / kConfigFileName);
    fs::current_path(windows);
    ConfigFile file;
    fs::current_path(folder_);
    ConfigurationStore store;
    const OpenResult opened = file.Read(store);
    EXPECT_EQ(opened.outcome, OpenOutcome::NoFolder);
    EXPECT_EQ(Named(opened.reason), "WindowsFolder");
    EXPECT_EQ(lstrcmpiW(Wide(opened.reason.path).c_str(), windows), 0) << opened.reason.path;
    EXPECT_FALSE(file.Save(kNew).saved());
    EXPECT_EQ(fs::exists(fs::path(windows) / kConfigFileName), hadOne);
}

TEST_F(ConfigFileWin32Test, FoldersBeyond260CharactersWork) {
    std::wstring deep = L"\\\\?\\" + fs::absolute(folder_).wstring();
    for (int level = 0; level < 3; ++level) {
        deep += L"\\" + std::wstring(100, static_cast<wchar_t>(L'a' + level));
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    ASSERT_TRUE(SetCurrentDirectoryW(deep.c_str()));
    const fs::path name = deep + L"\\kov.ini";
    Write(name, kOld);
    ConfigFile file;
    ConfigurationStore store;
    EXPECT_EQ(file.Read(store).outcome, OpenOutcome::Read);
    EXPECT_TRUE(testing::HasValue(store, "A", "k"));
    EXPECT_EQ(file.Save(kNew).outcome, SaveOutcome::Saved);
    EXPECT_GT(file.DisplayName().size(), 300u);
    EXPECT_EQ(Contents(name), OnDisk(kNew));
    SetCurrentDirectoryW(folder_.c_str());
    for (int level = 2; level >= 0; --level) {
        DeleteFileW((deep + L"\\kov.ini").c_str());
        RemoveDirectoryW(deep.c_str());
        deep.resize(deep.rfind(L'\\'));
    }
}

TEST_F(ConfigFileWin32Test, AnOldGamesVirtualStoreCopyIsTheFileItReads) {
    if (testing::AsWindowsXp()) GTEST_SKIP() << "Windows XP keeps no VirtualStore copies";
    const std::wstring leaf = L"Kov test " + std::to_wstring(GetCurrentProcessId());
    const fs::path game = fs::path(testing::Known(FOLDERID_ProgramFilesX86)) / leaf;
    // "Program Files (x86)" on 64-bit Windows, "Program Files" on 32-bit.
    const fs::path store = fs::path(testing::Known(FOLDERID_LocalAppData)) / L"VirtualStore" / game.relative_path();
    fs::create_directories(game);
    fs::create_directories(store);
    Write(game / kConfigFileName, OnDisk("[/A]\n\"stale\"=dword:00000001\n"));
    Write(store / kConfigFileName, OnDisk("[/A]\n\"games\"=dword:00000001\n"));
    fs::current_path(game);
    {
        ConfigFile file;
        ConfigurationStore settings;
        EXPECT_EQ(file.Read(settings).outcome, OpenOutcome::Read);
        EXPECT_TRUE(testing::HasValue(settings, "A", "games"));
        EXPECT_FALSE(testing::HasValue(settings, "A", "stale"));
        EXPECT_NE(file.DisplayName().find("VirtualStore\\" + game.relative_path().string()), std::string::npos)
            << file.DisplayName();
        EXPECT_TRUE(file.Save(kNew).saved());
        EXPECT_EQ(Contents(store / kConfigFileName), OnDisk(kNew));
        EXPECT_EQ(Contents(game / kConfigFileName), OnDisk("[/A]\n\"stale\"=dword:00000001\n"));
    }
    // No copy yet, and the folder refuses the save: Windows would put the game's own write in
    // the store, so the save goes there too.
    fs::remove_all(store);
    {
        ConfigFile file(faulty_);
        ConfigurationStore settings;
        EXPECT_EQ(file.Read(settings).outcome, OpenOutcome::Read);
        // Like a folder under Program Files that a player may not write, it takes nothing.
        const std::string gameLeaf = fs::path(leaf).string();
        faulty_.Fail(Step::Open, {Problem::AccessDenied, ERROR_ACCESS_DENIED}, 0, -1, [&](const std::string& name) {
            return name.find(gameLeaf) != std::string::npos && name.find("VirtualStore") == std::string::npos;
        });
        const SaveResult result = file.Save(kNew);
        faulty_.Clear();
        EXPECT_TRUE(result.saved()) << result.reason;
        EXPECT_EQ(Contents(store / kConfigFileName), OnDisk(kNew));
        EXPECT_EQ(Contents(game / kConfigFileName), OnDisk("[/A]\n\"stale\"=dword:00000001\n"));
        EXPECT_NE(file.DisplayName().find("VirtualStore"), std::string::npos) << "named where it is";
        EXPECT_FALSE(file.ChangedSinceRead());
    }
    fs::current_path(folder_);
    fs::remove_all(game);
    fs::remove_all(store);
}

}  // namespace
}  // namespace kov
