// Saving when the file cannot be written: the old file stays as it was, the player is told,
// and the dialog stays open with the edits.
#include <QAbstractButton>
#include <QFileInfo>
#include <QMessageBox>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app_test_support.h"
#include "config_dialog.h"
#include "control_ids.h"

namespace kov {
namespace {

using testing::DefaultFile;
using testing::ReadAll;
using testing::WorkingFolder;
using testing::WriteAll;

const QByteArray kOriginal = "[/CONFIG_CATEGORY_USER]\n\"mine\"=dword:00000001\n";

QStringList Entries(const QString& path) { return QDir(path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden); }

// Presses OK and checks that the save failed the way a player must see it.
void ExpectFailedSave(ConfigDialog& dialog, const QString& fileName, const QString& reason) {
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.Control(IDC_GLIDE_RENDERING), Qt::LeftButton);  // an edit to keep
    QTest::keyClick(&dialog, Qt::Key_Return);
    QVERIFY2(dialog.isVisible(), "the dialog closed although nothing was saved");
    QCOMPARE(dialog.result(), 0);
    auto* box = dialog.findChild<QMessageBox*>();
    QVERIFY2(box != nullptr && box->isVisible(), "no message");
    QVERIFY2(box->text().contains(fileName), qPrintable(box->text()));
    QVERIFY2(box->text().contains(reason), qPrintable(box->text()));
    QCOMPARE(box->textFormat(), Qt::PlainText);
    box->close();
    QVERIFY(static_cast<QAbstractButton*>(dialog.Control(IDC_GLIDE_RENDERING))->isChecked());
}

class SaveFailureTest : public QObject {
    Q_OBJECT

private slots:
    void readOnlyFileIsNeverReplaced() {
        WorkingFolder folder;
        QVERIFY(WriteAll(folder.file(), kOriginal));
        QVERIFY(QFile::setPermissions(folder.file(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        ExpectFailedSave(dialog, folder.file(), QStringLiteral("It is marked read-only."));
        QCOMPARE(ReadAll(folder.file()), kOriginal);
        QCOMPARE(Entries(folder.path()), QStringList{"kov.ini"});

        // Mended by the player: OK again saves and closes.
        QVERIFY(QFile::setPermissions(folder.file(), QFile::ReadOwner | QFile::WriteOwner));
        QTest::keyClick(&dialog, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(ReadAll(folder.file()).contains("\"rendering device\"=dword:00000001"));
        QVERIFY(ReadAll(folder.file()).startsWith("[]\n\n[/CONFIG_CATEGORY_MACHINE]\n"));
    }

    // No temporary file can be made beside it: the file itself takes the new text; a new file
    // cannot be made at all.
    void readOnlyFolder() {
        if (geteuid() == 0) QSKIP("root may write into a read-only folder; the unprivileged run of this suite covers it");
        WorkingFolder folder;
        QVERIFY(WriteAll(folder.file(), kOriginal));
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
        {
            ConfigDialog dialog;
            QVERIFY(dialog.Open());
            dialog.accept();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QVERIFY(ReadAll(folder.file()).contains("\"mine\"=dword:00000001"));
        QVERIFY(ReadAll(folder.file()).contains("\"rendering device\"=dword:00000000"));
        QCOMPARE(Entries(folder.path()), QStringList{"kov.ini"});

        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QFile::remove(folder.file()));
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        ExpectFailedSave(dialog, folder.file(), QStringLiteral("You do not have permission to change it"));
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(Entries(folder.path()), QStringList{});
        dialog.reject();
    }

    void fullDiskLeavesTheOldFile() {
        WorkingFolder folder;
        QVERIFY(WriteAll(folder.file(), kOriginal));
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        // Files may grow to 100 bytes only; the new text is longer.
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        ExpectFailedSave(dialog, folder.file(), QStringLiteral("Its disk does not take a file this large."));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousSignal);
        QCOMPARE(ReadAll(folder.file()), kOriginal);
        QCOMPARE(Entries(folder.path()), QStringList{"kov.ini"});
        dialog.reject();
    }

    // Run by full_disk.sh inside a tiny file system of its own.
    void fullFileSystemLeavesTheOldFile() {
        const QByteArray smallDisk = qgetenv("KOV_SMALL_DISK");
        if (smallDisk.isEmpty()) QSKIP("needs a small file system; the full_disk test provides one");
        QDir::setCurrent(QString::fromLocal8Bit(smallDisk));
        // The old file fills one page of two and another file the other; the new text needs two.
        const QByteArray original = "[/CONFIG_CATEGORY_USER]\n\"big\"=string:\"" + QByteArray(3500, 'x') + "\"\n";
        QVERIFY(WriteAll(QStringLiteral("kov.ini"), original));
        QVERIFY(WriteAll(QStringLiteral("other"), QByteArray(4000, 'o')));
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        ExpectFailedSave(dialog, QDir::current().absoluteFilePath(QStringLiteral("kov.ini")),
                         QStringLiteral("The disk that holds %1 is full.").arg(QDir::currentPath()));
        QCOMPARE(ReadAll(QStringLiteral("kov.ini")), original);
        QCOMPARE(Entries(QDir::currentPath()), (QStringList{"kov.ini", "other"}));
        dialog.reject();
    }

    void folderRemovedWhileTheDialogIsOpen() {
        WorkingFolder folder;
        QVERIFY(WriteAll(folder.file(), kOriginal));
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        const QString fileName = folder.file();
        QVERIFY(QDir(folder.path()).removeRecursively());
        testing::Answers answers({QStringLiteral("Replace")});
        ExpectFailedSave(dialog, fileName, QStringLiteral("was deleted"));
        QVERIFY2(!answers.done(), "asked whether to replace a file that cannot be saved into its folder");
        QVERIFY(!QFileInfo::exists(fileName));
        dialog.reject();
    }

    void symbolicLinkKeepsPointingAtItsTarget() {
        WorkingFolder folder;
        QVERIFY(QDir(folder.path()).mkdir("real"));
        const QString target = folder.file("real/settings.ini");
        QVERIFY(WriteAll(target, kOriginal));
        QVERIFY(QFile::link("real/settings.ini", folder.file()));
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(QFileInfo(folder.file()).isSymLink());
        QCOMPARE(QFileInfo(folder.file()).symLinkTarget(), QFileInfo(target).absoluteFilePath());
        QVERIFY(ReadAll(target).startsWith(DefaultFile().left(DefaultFile().size() - 1)));
        QVERIFY(ReadAll(target).endsWith("[/CONFIG_CATEGORY_USER]\n\"mine\"=dword:00000001\n\n"));
    }

    void permissionsAreKept() {
        WorkingFolder folder;
        QVERIFY(WriteAll(folder.file(), kOriginal));
        QVERIFY(QFile::setPermissions(folder.file(), QFile::ReadOwner | QFile::WriteOwner));
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        struct stat status {};
        QCOMPARE(::stat(QFile::encodeName(folder.file()).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, 0600u);
        QVERIFY(ReadAll(folder.file()).contains("\"mine\"=dword:00000001"));
    }
};

}  // namespace
}  // namespace kov

QTEST_MAIN(kov::SaveFailureTest)
#include "save_failure_test.moc"
