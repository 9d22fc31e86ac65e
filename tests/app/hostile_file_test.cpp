// Whatever kov.ini holds, the dialog opens, shows and saves in bounded time and memory.
#include <QElapsedTimer>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QtTest>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app_test_support.h"
#include "config_dialog.h"
#include "control_ids.h"

namespace kov {
namespace {

using testing::Answers;
using testing::ReadAll;
using testing::WorkingFolder;
using testing::WriteAll;

constexpr qint64 kMaxMilliseconds = 20000;
constexpr long kMaxGrowthKiB = 1024 * 1024;

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QByteArray Repeated(int count, const std::function<QByteArray(int)>& piece) {
    QByteArray out;
    for (int i = 0; i < count; ++i) out += piece(i);
    return out;
}

class HostileFileTest : public QObject {
    Q_OBJECT

private slots:
    void opensShowsAndSaves_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("mustKeep");  // a line the saved file must still hold
        QTest::addColumn<bool>("dropsLines");     // OK asks before lines that cannot be kept go
        QByteArray junk(1 << 20, '\0');
        QRandomGenerator random(7);
        for (char& c : junk) c = static_cast<char>(random.bounded(256));
        QTest::newRow("binary junk") << junk << QByteArray("[/CONFIG_CATEGORY_MACHINE/Audio/Driver]\n") << true;
        QTest::newRow("NUL bytes inside lines")
            << QByteArray("[/CONFIG_CATEGORY_USER]\n\"a\"=dword:5\0\"b\"=dword:6\n\0[x]\n\"c\"=string:\"x\0y\"\n", 70)
            << QByteArray("\"a\"=dword:00000005\n\"c\"=string:\"x\"\n") << true;
        QTest::newRow("10 MB line without a newline")
            << "[/CONFIG_CATEGORY_USER]\n\"long\"=string:\"" + QByteArray(10 << 20, 'x')
            << "\"long\"=string:\"" + QByteArray(10 << 20, 'x') + "\"\n" << false;
        QTest::newRow("100,000 sections")
            << Repeated(100000, [](int i) { return "[/CONFIG_CATEGORY_USER/S" + QByteArray::number(i) + "]\n\"k\"=dword:1\n"; })
            << QByteArray("[/CONFIG_CATEGORY_USER/S99999]\n\"k\"=dword:00000001\n\n") << false;
        QTest::newRow("100,000 values in one section")
            << "[/CONFIG_CATEGORY_USER/One]\n" +
                   Repeated(100000, [](int i) { return "\"key " + QByteArray::number(i) + "\"=dword:2\n"; })
            << QByteArray("\"key 99999\"=dword:00000002\n") << false;
        QTest::newRow("headers of separators only")
            << QByteArray("[/]\n\"r\"=dword:1\n[//////]\n\"s\"=dword:2\n[]\n[/ /]\n\"t\"=dword:3\n")
            << QByteArray("[]\n\"r\"=dword:00000001\n\"s\"=dword:00000002\n") << false;
        QTest::newRow("deep nesting")
            << Repeated(1, [](int) { return "[/" + QByteArray("a/").repeated(120) + "]\n\"deep\"=dword:1\n"; })
            << QByteArray("\"deep\"=dword:00000001\n") << false;
    }

    void opensShowsAndSaves() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, mustKeep);
        QFETCH(bool, dropsLines);
        WorkingFolder folder;
        QVERIFY(WriteAll(folder.file(), file));
        const long peakBefore = PeakKiB();
        QElapsedTimer timer;
        timer.start();
        {
            ConfigDialog dialog;
            QVERIFY(dialog.Open());
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            Answers answers({QStringLiteral("Save")});
            QTest::keyClick(&dialog, Qt::Key_Return);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(answers.done(), dropsLines);
        }
        QVERIFY2(timer.elapsed() < kMaxMilliseconds, qPrintable(QString::number(timer.elapsed()) + " ms"));
        QVERIFY2(PeakKiB() - peakBefore < kMaxGrowthKiB, qPrintable(QString::number(PeakKiB() - peakBefore) + " KiB"));
        const QByteArray saved = ReadAll(folder.file());
        QVERIFY(saved.startsWith("[]\n"));
        QVERIFY(saved.contains(mustKeep));
        QVERIFY(saved.contains("\"rendering device\"="));
    }

    // A folder can never be replaced by the file: no defaults are offered that OK could not save.
    void aFolderNamedLikeTheFileIsToldAndLeftAlone() {
        WorkingFolder folder;
        QVERIFY(QDir(folder.path()).mkdir("kov.ini"));
        Answers answers({QStringLiteral("OK")});
        ConfigDialog dialog;
        QVERIFY(!dialog.Open());
        QVERIFY(answers.done());
        QVERIFY2(answers.texts.value(0).contains("It is a folder, not a file."), qPrintable(answers.texts.value(0)));
        QVERIFY(QFileInfo(folder.file()).isDir());
    }

    void anUnreadableFileMeansDefaultsOnRequest() {
        if (geteuid() == 0) QSKIP("root reads any file; the unprivileged run of this suite covers it");
        WorkingFolder folder;
        const QByteArray original = "[/CONFIG_CATEGORY_MACHINE/Audio/Driver]\n\"driver io\"=dword:00000280\n";
        QVERIFY(WriteAll(folder.file(), original));
        QVERIFY(QFile::setPermissions(folder.file(), QFile::WriteOwner));
        Answers answers({QStringLiteral("Use defaults")});
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        QVERIFY(answers.done());
        QVERIFY2(answers.texts.value(0).contains("You do not have permission to read it."), qPrintable(answers.texts.value(0)));
        QVERIFY(answers.texts.value(0).contains("OK then replaces the file"));
        QCOMPARE(dialog.GetListPosition(IDC_PORT), 1);  // "port 220", the default
        dialog.accept();  // as promised: the defaults replace it, which keeps its mode
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        struct stat status {};
        QCOMPARE(::stat(QFile::encodeName(folder.file()).constData(), &status), 0);
        QCOMPARE(status.st_mode & 07777, 0200u);
        QVERIFY(QFile::setPermissions(folder.file(), QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(ReadAll(folder.file()).contains("\"driver io\"=dword:00000220"));
    }
};

}  // namespace
}  // namespace kov

QTEST_MAIN(kov::HostileFileTest)
#include "hostile_file_test.moc"
