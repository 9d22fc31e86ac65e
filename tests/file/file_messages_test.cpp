// What the player reads about the file: one table of (what happened, platform, language) to
// words, for every reason and every question and message, in English and Polish; and the
// system's own words only in the language asked for.
#include <cerrno>
#include <functional>

#ifdef _WIN32
#include <windows.h>
#endif

#include "faults.h"
#include "file_messages.h"
#include "file_test_support.h"
#include "speaking.h"

namespace kov {
namespace {

using detail::Kind;
using detail::Os;
using detail::Problem;
using What = Reason::What;

const Subject kLinux{"/g/kov.ini", Os::Posix};
const Subject kWindows{"C:\\Gry\\Kov\\kov.ini", Os::Windows};

Reason Refused(Problem problem, long code = 0, std::string owner = {}, std::string words = {}) {
    Reason reason(What::Refused);
    reason.failure = {problem, code};
    reason.owner = std::move(owner);
    reason.systemWords = std::move(words);
    return reason;
}
Reason With(What what, Problem problem = Problem::None, long code = 0) {
    Reason reason(what);
    reason.failure = {problem, code};
    return reason;
}
Reason NotA(Kind kind) {
    Reason reason(What::NotAFile);
    reason.kind = kind;
    return reason;
}
OpenResult Opened(Reason reason, Replacement replacement) {
    OpenResult opened;
    opened.outcome = OpenOutcome::Unreadable;
    opened.reason = std::move(reason);
    opened.replacement = replacement;
    return opened;
}
SaveResult Failed(SaveOutcome outcome, FileHolds holds, Reason reason, std::string keptAt = {}) {
    SaveResult result;
    result.outcome = outcome;
    result.holds = holds;
    result.reason = std::move(reason);
    result.oldBytesAt = std::move(keptAt);
    return result;
}
std::string Reading(const Reason& reason, const Subject& subject) { return ReasonWords(reason, subject, false); }
std::string Saving(const Reason& reason, const Subject& subject) { return ReasonWords(reason, subject, true); }

TEST(FileMessages, SayWhatHappenedWhatToDoAndWhatTheFileHolds) {
    RecoveryReport everything;
    everything.restored = true;
    everything.failure = Refused(Problem::NoSpace);
    everything.failedJournal = "/g/.kov.ini.journal";
    everything.keptJournals = {"/s/1-2.journal"};
    const struct {
        const char* language;
        std::function<std::string()> words;
        std::string expected;
    } rows[] = {
        // Why: the system's refusals, in each platform's terms.
        {"en", [] { return Reading(Refused(Problem::NotFound), kLinux); },
         "It was not found: it, or the folder it is in, may have been moved or deleted."},
        {"en", [] { return Saving(Refused(Problem::Exists), kLinux); },
         "Another file of the same name appeared while it was being saved."},
        {"en", [] { return Reading(Refused(Problem::AccessDenied), kLinux); }, "You do not have permission to read it."},
        {"pl", [] { return Reading(Refused(Problem::AccessDenied, 13, "ala"), kLinux); },
         "Należy do użytkownika ala i nie masz uprawnień do jego odczytu."},
        {"en", [] { return Saving(Refused(Problem::AccessDenied, 13, "ala"), kLinux); },
         "It belongs to ala, and you do not have permission to change it. Ask ala or an administrator to let you, then "
         "press OK again."},
        {"en", [] { return Saving(Refused(Problem::AccessDenied, 5, "Ala"), kWindows); },
         "It belongs to Ala, and Windows does not let you change it. Ask an administrator to give you permission to "
         "change it (in its Properties, on the Security tab), then press OK again."},
        {"en", [] { return Saving(Refused(Problem::AccessDenied), kLinux); },
         "You do not have permission to change it, or to make files in its folder. Give yourself write permission to "
         "both (in their Properties, or with chmod), then press OK again."},
        {"pl", [] { return Saving(Refused(Problem::AccessDenied), kWindows); },
         "Windows nie pozwala Ci go zmienić ani tworzyć plików w jego folderze. Nadaj sobie uprawnienia do zmiany obu "
         "(we Właściwościach, na karcie Zabezpieczenia), a potem naciśnij ponownie OK."},
        {"en", [] { return Saving(Refused(Problem::NoSpace), kLinux); },
         "The disk that holds /g is full. Make room on it, then press OK again."},
        {"pl", [] { return Saving(Refused(Problem::NoSpace), kWindows); },
         "Dysk, na którym jest folder C:\\Gry\\Kov, jest pełny. Zwolnij na nim miejsce, a potem naciśnij ponownie OK."},
        {"en", [] { return Saving(Refused(Problem::NoSpace), {"kov.ini", Os::Posix}); },
         "Its disk is full. Make room on it, then press OK again."},
        {"en", [] { return Saving(Refused(Problem::TooLarge), kLinux); }, "Its disk does not take a file this large."},
        {"en", [] { return Saving(Refused(Problem::HeldByAnother), kWindows); },
         "Another program has it open: the game, or an editor. Close that program, then press OK again."},
        {"pl", [] { return Reading(Refused(Problem::HeldByAnother), kWindows); },
         "Jest otwarty w innym programie: w grze albo w edytorze. Zamknij tamten program, a potem uruchom ten ponownie."},
        {"en", [] { return Saving(Refused(Problem::NotSupported), kLinux); },
         "The file system of its disk cannot do what this needs."},
        {"en", [] { return Saving(Refused(Problem::ReadOnlyDisk), kLinux); },
         "The disk that holds it is read-only: mounted read-only, or write-protected. Make it writable, then press OK "
         "again."},
        {"en", [] { return Saving(Refused(Problem::ReadOnlyDisk), kWindows); },
         "The disk that holds it is write-protected. Remove the protection, then press OK again."},
        {"en", [] { return Saving(Refused(Problem::UntrustedLink), kLinux); },
         "It is a symbolic link that another user made to a file that is not theirs. This program does not follow such "
         "a link while it runs with raised rights: run it as yourself, not as root."},
        {"en", [] { return Saving(Refused(Problem::Other, 5, {}, "Input/output error"), kLinux); },
         "The system reported error 5: Input/output error."},
        {"pl", [] { return Saving(Refused(Problem::Other, 1117), kWindows); }, "System zgłosił błąd 1117."},
        // Why: the program's own findings.
        {"en", [] { return Reading(NotA(Kind::Folder), kLinux); }, "It is a folder, not a file."},
        {"en", [] { return Reading(NotA(Kind::Fifo), kLinux); }, "It is a named pipe (FIFO), not a file."},
        {"en", [] { return Reading(NotA(Kind::Device), kLinux); }, "It is a device, not a file."},
        {"en", [] { return Reading(NotA(Kind::Socket), kLinux); }, "It is a socket, not a file."},
        {"pl", [] { return Reading(NotA(Kind::Other), kLinux); }, "To nie jest zwykły plik."},
        {"en", [] { return Reading(Reason(What::TooLarge), kLinux); },
         "It is larger than 16 MiB, far more than a settings file holds."},
        {"en", [] { return Reading(Reason(What::Utf16), kLinux); },
         "It is saved as UTF-16 text, which this program cannot read."},
        {"en", [] { return Saving(Reason(What::MarkedReadOnly), kLinux); },
         "It is marked read-only. Give its owner write permission (in its Properties, or with chmod u+w), then press OK "
         "again."},
        {"pl", [] { return Saving(Reason(What::MarkedReadOnly), kWindows); },
         "Jest oznaczony jako tylko do odczytu. Wyczyść pole „Tylko do odczytu” w jego Właściwościach, a potem naciśnij "
         "ponownie OK."},
        {"en", [] { return Reading(With(What::FolderNotOpened, Problem::AccessDenied), kLinux); },
         "The folder this program was started in cannot be opened. You do not have permission to read it."},
        {"en",
         [] {
             Reason reason(What::WindowsFolder);
             reason.path = "C:\\windows";
             return Reading(reason, kWindows);
         },
         "This program was started in the Windows folder (C:\\windows), not in the game's folder. Start it in the "
         "game's folder, where the game keeps kov.ini."},
        {"en", [] { return Saving(Reason(What::FolderDeleted), kLinux); },
         "The folder it was in was deleted after this dialog opened. Start this program again in the game's folder."},
        {"en", [] { return Saving(Reason(What::FolderMoved), kWindows); },
         "The folder it was in was moved, renamed or replaced after this dialog opened, so the settings are not saved "
         "into another folder. Start this program again in the game's folder."},
        {"en", [] { return Saving(Reason(What::ReplacedMeanwhile), kLinux); },
         "Another program replaced it while it was being saved."},
        {"en", [] { return Saving(With(What::NoJournal, Problem::NoSpace), kLinux); },
         "Before it is written over in place, a copy of its old settings must be kept, and none could be written. The "
         "disk that holds /g is full. Make room on it, then press OK again."},
        {"en", [] { return Saving(With(What::NotSynced, Problem::Other, 5), kLinux); },
         "The new settings were written, but the disk did not confirm that they are stored: they may be lost if the "
         "power fails. The system reported error 5."},
        {"en", [] { return Saving(Reason(What::Declined), kLinux); }, ""},
        // The questions and messages, whole.
        {"en", [] { return UnreadableQuestion(kLinux, Opened(Reason(What::Utf16), Replacement::Allowed)); },
         "The settings file /g/kov.ini cannot be read.\n\nIt is saved as UTF-16 text, which this program cannot "
         "read.\n\nQuit leaves it as it is. Use defaults opens the dialog with the default settings, and OK then "
         "replaces the file with them."},
        {"en", [] { return UnreadableMessage(kLinux, Opened(NotA(Kind::Fifo), Replacement::NotARegularFile)); },
         "The settings file /g/kov.ini can neither be read nor replaced.\n\nIt is a named pipe (FIFO), not a "
         "file.\n\nNothing was changed, and this program ends. Move it out of the way, then start this program again "
         "to make a new settings file."},
        {"pl", [] { return UnreadableMessage(kLinux, Opened(Refused(Problem::AccessDenied), Replacement::ReadOnly)); },
         "Pliku ustawień /g/kov.ini nie można ani odczytać, ani zastąpić.\n\nNie masz uprawnień do jego "
         "odczytu.\n\nNie możesz też do niego zapisywać. Niczego nie zmieniono i ten program kończy działanie. Gdy "
         "będziesz mieć prawo do jego odczytu i zapisu, uruchom ten program ponownie."},
        {"en", [] { return NoFolderMessage(kLinux, Opened(With(What::FolderNotOpened, Problem::NotFound), {})); },
         "The settings file /g/kov.ini cannot be used.\n\nThe folder this program was started in cannot be opened. It "
         "was not found: it, or the folder it is in, may have been moved or deleted.\n\nNothing was read or changed, "
         "and this program ends."},
        {"en", [&] { return RecoveryMessage(kLinux, everything); },
         "The last save of /g/kov.ini was interrupted: the program ended, or the power failed, while it was written. "
         "The file was put back as it was before that save.\n\nThe last save of /g/kov.ini was interrupted, and the "
         "file could not be put back as it was.\n\nThe disk that holds /g is full. Make room on it, then press OK "
         "again.\n\nA copy of its old settings is kept in /g/.kov.ini.journal; the next start tries again.\n\nA "
         "record of an interrupted save was found in /s/1-2.journal, but /g/kov.ini is gone or is another file now, "
         "so it was not applied. It is kept in case its settings are wanted; delete it when they are not."},
        {"en", [] { return RecoveryMessage(kLinux, {}); }, ""},
        {"pl", [] { return ChangedQuestion(kWindows); },
         "Plik C:\\Gry\\Kov\\kov.ini został zmieniony przez inny program po otwarciu tego okna.\n\nZastąpić te zmiany "
         "ustawieniami widocznymi w oknie? „Anuluj” wraca do okna bez zapisywania."},
        {"en", [] { return DroppedLinesQuestion(kLinux, {1, std::string(100, 'x')}); },
         "1 line of /g/kov.ini is not a setting that this program can keep: “" + std::string(60, 'x') +
             "…”.\n\nSave the settings without it? Cancel returns to the dialog without saving."},
        {"en", [] { return DroppedLinesQuestion(kLinux, {3, "; a comment\x01"}); },
         "3 lines of /g/kov.ini are not settings that this program can keep. The first is: “; a comment\\x01”.\n\nSave "
         "the settings without them? Cancel returns to the dialog without saving."},
        {"pl", [] { return DroppedLinesQuestion(kLinux, {1, "x"}).substr(0, 8); }, "1 linia "},
        {"pl", [] { return DroppedLinesQuestion(kLinux, {4, "x"}).substr(0, 8); }, "4 linie "},
        {"pl", [] { return DroppedLinesQuestion(kLinux, {5, "x"}).substr(0, 8); }, "5 linii "},
        {"pl", [] { return DroppedLinesQuestion(kLinux, {12, "x"}).substr(0, 9); }, "12 linii "},
        {"pl", [] { return DroppedLinesQuestion(kLinux, {22, "x"}).substr(0, 9); }, "22 linie "},
        {"en", [] { return UnprotectedWriteQuestion(kLinux); },
         "/g/kov.ini can only be saved by writing over it in place, and no copy of its old settings could be kept "
         "first, neither beside it nor in your own folder for this program. If the save were interrupted by a crash or "
         "a power cut, the file could be left damaged.\n\nSave anyway? Cancel returns to the dialog without saving."},
        {"en",
         [] { return SaveFailedMessage(kLinux, Failed(SaveOutcome::NotSavedUnchanged, FileHolds::OldBytes, Reason(What::Utf16))); },
         "The settings could not be saved to /g/kov.ini.\n\nIt is saved as UTF-16 text, which this program cannot "
         "read.\n\nThe file was left as it was."},
        {"en",
         [] { return SaveFailedMessage(kLinux, Failed(SaveOutcome::NotSavedUnchanged, FileHolds::Nothing, Reason(What::Utf16))); },
         "The settings could not be saved to /g/kov.ini.\n\nIt is saved as UTF-16 text, which this program cannot "
         "read.\n\nNo file was made."},
        {"en",
         [] { return SaveFailedMessage(kLinux, Failed(SaveOutcome::NotSavedChanged, FileHolds::NewText, Reason(What::Utf16))); },
         "The settings could not be saved to /g/kov.ini.\n\nIt is saved as UTF-16 text, which this program cannot "
         "read.\n\nThe file already holds the new settings."},
        {"en",
         [] { return SaveFailedMessage(kLinux, Failed(SaveOutcome::NotSavedChanged, FileHolds::Other, Reason(What::Utf16))); },
         "The settings could not be saved to /g/kov.ini.\n\nIt is saved as UTF-16 text, which this program cannot "
         "read.\n\nThe file now holds neither its old settings nor the new ones. No other copy of its old settings was "
         "kept."},
        {"en",
         [] {
             return SaveFailedMessage(
                 kLinux, Failed(SaveOutcome::NotSavedChanged, FileHolds::Nothing, Reason(What::Utf16), "/g/.kov.ini.journal"));
         },
         "The settings could not be saved to /g/kov.ini.\n\nIt is saved as UTF-16 text, which this program cannot "
         "read.\n\nThe file is gone. A copy of its old settings is kept in /g/.kov.ini.journal."},
        {"pl",
         [] { return SaveFailedMessage(kWindows, Failed(SaveOutcome::NotSavedChanged, FileHolds::Unknown, Reason(What::Utf16))); },
         "Nie udało się zapisać ustawień w pliku C:\\Gry\\Kov\\kov.ini.\n\nJest zapisany jako tekst UTF-16, którego ten "
         "program nie potrafi odczytać.\n\nNie udało się ponownie odczytać pliku, aby sprawdzić, co zawiera. Nie "
         "zachowano żadnej innej kopii jego starych ustawień."},
    };
    for (const auto& row : rows) {
        const testing::Speaking speaking(row.language);
        EXPECT_EQ(row.words(), row.expected);
    }
}

// Every reason in every platform's terms has its own words in Polish: none is left in English
// by a text that never reaches the catalogue.
TEST(FileMessages, EveryReasonIsSaidInPolish) {
    for (int what = 1; what <= static_cast<int>(What::NotSynced); ++what)
        for (int problem = 1; problem <= static_cast<int>(Problem::Other); ++problem)
            for (const Subject& subject : {kLinux, kWindows}) {
                Reason reason = With(static_cast<What>(what), static_cast<Problem>(problem), 5);
                reason.kind = Kind::Folder;
                const std::string english = Saving(reason, subject);
                const testing::Speaking speaking("pl");
                const std::string polish = Saving(reason, subject);
                EXPECT_FALSE(polish.empty()) << english;
                EXPECT_NE(polish, english);
            }
}

// The system's own words for an error the program has none of its own for: in the language
// asked for, or none at all.
TEST(FileMessages, TheSystemsWordsAreInTheLanguageAskedOrNone) {
#ifdef _WIN32
    const long code = ERROR_IO_DEVICE;
#else
    const long code = EIO;
#endif
    detail::FileSystem& system = detail::PlatformFileSystem();
    const std::string english = system.SystemWords(code, "en");
    EXPECT_FALSE(english.empty());
    EXPECT_NE(english.back(), '.') << "ends without the period the sentence gives it";
    const std::string polish = system.SystemWords(code, "pl");
    EXPECT_NE(polish, english) << "where the system has no Polish words, none";
    EXPECT_EQ(system.SystemWords(code, "xx"), "");
}

}  // namespace
}  // namespace kov
