// What the player reads about the file: one table of (what happened, platform, language) to
// words, for every reason and every question and message, in English and Polish.
#include <gtest/gtest.h>

#include <functional>

#include "file_messages.h"
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
    Reason reason(What::Refused, {problem, code});
    reason.owner = std::move(owner);
    reason.systemWords = std::move(words);
    return reason;
}
Reason With(What what, Problem problem = Problem::None, long code = 0) { return Reason(what, {problem, code}); }
Reason NotA(Kind kind) {
    Reason reason(What::NotAFile);
    reason.kind = kind;
    return reason;
}
OpenResult Opened(Reason reason, Overwritable overwritable) {
    OpenResult opened;
    opened.outcome = OpenOutcome::Unreadable;
    opened.reason = std::move(reason);
    opened.overwritable = overwritable;
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
std::string Saving(const Reason& reason, const Subject& subject) { return ReasonWords(reason, subject, true); }

TEST(FileMessages, SayWhatHappenedWhatToDoAndWhatTheFileHolds) {
    const auto why = [](Reason reason, Subject subject, bool saving) {
        return [=] { return ReasonWords(reason, subject, saving); };
    };
    RecoveryReport everything;
    everything.restored = true;
    everything.failure = Refused(Problem::NoSpace);
    everything.failedJournal = "/g/.kov.ini.journal";
    everything.keptJournals = {"/s/1-2.journal"};
    const std::string failed = "The settings could not be saved to /g/kov.ini.\n\nIt is saved as UTF-16 text, which "
                               "this program cannot read.\n\n";
    const struct {
        const char* language;
        std::function<std::string()> words;
        std::string expected;
    } rows[] = {
        // Why, in each platform's terms, with what the player can do.
        {"pl", why(Refused(Problem::AccessDenied, 13, "ala"), kLinux, false),
         "Należy do użytkownika ala i nie masz uprawnień do jego odczytu."},
        {"en", why(Refused(Problem::AccessDenied, 13, "ala"), kLinux, true),
         "It belongs to ala, and you do not have permission to change it. Ask ala or an administrator to let you, then "
         "press OK again."},
        {"en", why(Refused(Problem::AccessDenied, 5, "Ala"), kWindows, true),
         "It belongs to Ala, and Windows does not let you change it. Ask an administrator to give you permission to "
         "change it (in its Properties, on the Security tab), then press OK again."},
        {"pl", why(Refused(Problem::AccessDenied), kWindows, true),
         "Windows nie pozwala Ci go zmienić ani tworzyć plików w jego folderze. Nadaj sobie uprawnienia do zmiany obu "
         "(we Właściwościach, na karcie Zabezpieczenia), a potem naciśnij ponownie OK."},
        {"en", why(Refused(Problem::NoSpace), kLinux, true),
         "The disk that holds /g is full. Make room on it, then press OK again."},
        {"en", why(Refused(Problem::NoSpace), {"kov.ini", Os::Posix}, true),
         "Its disk is full. Make room on it, then press OK again."},
        {"pl", why(Refused(Problem::HeldByAnother), kWindows, false),
         "Jest otwarty w innym programie: w grze albo w edytorze. Zamknij tamten program, a potem uruchom ten ponownie."},
        {"en", why(Refused(Problem::ReadOnlyDisk), kWindows, true),
         "The disk that holds it is write-protected. Remove the protection, then press OK again."},
        {"en", why(Refused(Problem::Other, 5, {}, "Input/output error"), kLinux, true),
         "The system reported error 5: Input/output error."},
        {"pl", why(Refused(Problem::Other, 1117), kWindows, true), "System zgłosił błąd 1117."},
        {"en", why(Reason(What::MarkedReadOnly), kLinux, true),
         "It is marked read-only. Give its owner write permission (in its Properties, or with chmod u+w), then press OK "
         "again."},
        {"pl", why(Reason(What::MarkedReadOnly), kWindows, true),
         "Jest oznaczony jako tylko do odczytu. Wyczyść pole „Tylko do odczytu” w jego Właściwościach, a potem naciśnij "
         "ponownie OK."},
        {"en", why(With(What::NoJournal, Problem::NoSpace), kLinux, true),
         "Before it is written over in place, a copy of its old settings must be kept, and none could be written. The "
         "disk that holds /g is full. Make room on it, then press OK again."},
        {"en", why(Reason(What::Declined), kLinux, true), ""},
        // The questions and messages, whole.
        {"en", [] { return UnreadableQuestion(kLinux, Opened(Reason(What::Utf16), Overwritable::Yes)); },
         "The settings file /g/kov.ini cannot be read.\n\nIt is saved as UTF-16 text, which this program cannot "
         "read.\n\nQuit leaves it as it is. Use defaults opens the dialog with the default settings, and OK then "
         "replaces the file with them."},
        {"en", [] { return UnreadableMessage(kLinux, Opened(NotA(Kind::Fifo), Overwritable::NotARegularFile)); },
         "The settings file /g/kov.ini can neither be read nor replaced.\n\nIt is a named pipe (FIFO), not a "
         "file.\n\nNothing was changed, and this program ends. Move it out of the way, then start this program again "
         "to make a new settings file."},
        {"pl", [] { return UnreadableMessage(kLinux, Opened(Refused(Problem::AccessDenied), Overwritable::ReadOnly)); },
         "Pliku ustawień /g/kov.ini nie można ani odczytać, ani zastąpić.\n\nNie masz uprawnień do jego "
         "odczytu.\n\nNie możesz też do niego zapisywać. Niczego nie zmieniono i ten program kończy działanie. Gdy "
         "będziesz mieć prawo do jego odczytu i zapisu, uruchom ten program ponownie."},
        {"en",
         [] {
             Reason reason(What::WindowsFolder);
             reason.path = "C:\\windows";
             return NoFolderMessage(kWindows, Opened(reason, {}));
         },
         "The settings file C:\\Gry\\Kov\\kov.ini cannot be used.\n\nThis program was started in the Windows folder "
         "(C:\\windows), not in the game's folder. Start it in the game's folder, where the game keeps "
         "kov.ini.\n\nNothing was read or changed, and this program ends."},
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
        // The count in its plural form (each form's numbers: the catalogue's test).
        {"pl", [] { return DroppedLinesQuestion(kLinux, {4, "x"}).substr(0, 8); }, "4 linie "},
        {"en", [] { return UnprotectedWriteQuestion(kLinux); },
         "/g/kov.ini can only be saved by writing over it in place, and no copy of its old settings could be kept "
         "first, neither beside it nor in your own folder for this program. If the save were interrupted by a crash or "
         "a power cut, the file could be left damaged.\n\nSave anyway? Cancel returns to the dialog without saving."},
        {"en", [] { return SaveFailedMessage(kLinux, Failed(SaveOutcome::NotSavedUnchanged, FileHolds::OldBytes, Reason(What::Utf16))); },
         failed + "The file was left as it was."},
        {"en", [] { return SaveFailedMessage(kLinux, Failed(SaveOutcome::NotSavedChanged, FileHolds::Other, Reason(What::Utf16))); },
         failed + "The file now holds neither its old settings nor the new ones. No other copy of its old settings "
                  "was kept."},
        {"en",
         [] {
             return SaveFailedMessage(
                 kLinux, Failed(SaveOutcome::NotSavedChanged, FileHolds::Nothing, Reason(What::Utf16), "/g/.kov.ini.journal"));
         },
         failed + "The file is gone. A copy of its old settings is kept in /g/.kov.ini.journal."},
        {"pl", [] { return SaveFailedMessage(kWindows, Failed(SaveOutcome::NotSavedChanged, FileHolds::NewText, Reason(What::Utf16))); },
         "Nie udało się zapisać ustawień w pliku C:\\Gry\\Kov\\kov.ini.\n\nJest zapisany jako tekst UTF-16, którego ten "
         "program nie potrafi odczytać.\n\nPlik zawiera już nowe ustawienia."},
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

}  // namespace
}  // namespace kov
