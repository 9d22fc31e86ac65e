// What the player is asked about the file, and that the safe answer (the default, Escape, the
// close box) never changes it.
#include <QDir>
#include <QtTest>
#include <sys/stat.h>

#include "app_test_support.h"
#include "config_dialog.h"

namespace kov {
namespace {

using testing::Answers;
using testing::ReadAll;
using testing::WorkingFolder;
using testing::WriteAll;

const QByteArray kOriginal = "[/CONFIG_CATEGORY_USER]\n\"mine\"=dword:00000001\n";
const QString kTitle = QStringLiteral("Configuration for game Kov    ");

class FileQuestionsTest : public QObject {
    Q_OBJECT

private slots:
    void safeAnswers_data() {
        QTest::addColumn<QString>("answer");
        QTest::newRow("default button") << QStringLiteral("Return");
        QTest::newRow("Escape") << QStringLiteral("Escape");
        QTest::newRow("close box") << QStringLiteral("close");
    }

    // A FIFO can be neither read whole nor replaced: the player is told, and the program ends.
    void unreadableFileQuitsUntouched() {
        WorkingFolder folder;
        QCOMPARE(mkfifo("kov.ini", 0644), 0);  // would block a reader that waits for a writer
        for (const QString& answer :
             {QStringLiteral("Return"), QStringLiteral("Escape"), QStringLiteral("close"), QStringLiteral("OK")}) {
            Answers answers({answer});
            ConfigDialog dialog;
            QVERIFY2(answers.texts.isEmpty(), "a question asked while the dialog was built");
            QVERIFY(!dialog.Open());
            QVERIFY(answers.done());
            QCOMPARE(answers.titles.value(0), kTitle);
            QCOMPARE(answers.formats.value(0), Qt::PlainText);
            QVERIFY(answers.texts.value(0).contains(folder.file() + " can neither be read nor replaced"));
        }
        struct stat status {};
        QCOMPARE(stat("kov.ini", &status), 0);
        QVERIFY(S_ISFIFO(status.st_mode));
    }

    void safeAnswers() {
        QFETCH(QString, answer);
        // Changed by another program while the dialog was open.
        {
            WorkingFolder folder;
            QVERIFY(WriteAll(folder.file(), kOriginal));
            ConfigDialog dialog;
            QVERIFY(dialog.Open());
            const QByteArray theirs = kOriginal + "\"theirs\"=dword:00000002\n";
            QVERIFY(WriteAll(folder.file(), theirs));
            Answers answers({answer});
            dialog.accept();
            QVERIFY(answers.done());
            QVERIFY(answers.texts.value(0).contains(folder.file() + " was changed by another program after this dialog opened"));
            QCOMPARE(dialog.result(), 0);
            QCOMPARE(ReadAll(folder.file()), theirs);
        }
        // Lines that cannot be kept.
        {
            WorkingFolder folder;
            const QByteArray commented = "; my note\n" + kOriginal;
            QVERIFY(WriteAll(folder.file(), commented));
            ConfigDialog dialog;
            QVERIFY(dialog.Open());
            Answers answers({answer});
            dialog.accept();
            QVERIFY(answers.done());
            QVERIFY2(answers.texts.value(0).startsWith("1 line of " + folder.file() +
                                                       " is not a setting that this program can keep: “; my note”."),
                     qPrintable(answers.texts.value(0)));
            QCOMPARE(dialog.result(), 0);
            QCOMPARE(ReadAll(folder.file()), commented);
        }
    }

    void agreeingSavesAfterBothQuestions() {
        WorkingFolder folder;
        QVERIFY(WriteAll(folder.file(), "; my note\n" + kOriginal));
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        QVERIFY(WriteAll(folder.file(), "; my note\n" + kOriginal + "\n"));
        Answers answers({QStringLiteral("Replace"), QStringLiteral("Save")});
        dialog.accept();
        QVERIFY(answers.done());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!ReadAll(folder.file()).contains("my note"));
        QVERIFY(ReadAll(folder.file()).contains("\"mine\"=dword:00000001"));
    }

    void folderNamesAreNeverMarkup() {
        WorkingFolder outer;
        QVERIFY(QDir(outer.path()).mkdir("<font size=6>All saved"));
        QDir::setCurrent(outer.file("<font size=6>All saved"));
        // Asked at opening: a file this program cannot read (a message there is the FIFO's, above).
        QVERIFY(WriteAll(QStringLiteral("kov.ini"), QByteArray("\xFF\xFE[\0]\0", 6)));
        {
            Answers answers({QStringLiteral("Quit")});
            ConfigDialog dialog;
            QVERIFY(!dialog.Open());
            QCOMPARE(answers.texts.size(), 1);  // a question, with its Quit button
            QVERIFY(answers.texts.value(0).contains("<font size=6>All saved/kov.ini"));
            QCOMPARE(answers.formats.value(0), Qt::PlainText);
        }
        // Told after OK: a file marked read-only.
        QVERIFY(WriteAll(QStringLiteral("kov.ini"), kOriginal));
        QVERIFY(QFile::setPermissions(QStringLiteral("kov.ini"), QFile::ReadOwner));
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        dialog.accept();
        auto* box = dialog.findChild<QMessageBox*>();
        QVERIFY(box != nullptr);
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QVERIFY(box->text().contains("<font size=6>All saved/kov.ini"));
        dialog.reject();
    }
};

}  // namespace
}  // namespace kov

QTEST_MAIN(kov::FileQuestionsTest)
#include "file_questions_test.moc"
