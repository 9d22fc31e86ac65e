// The settings dialog: its built window, the player's input, OK, Cancel and the About box.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <functional>

#include "about_dialog.h"
#include "app_test_support.h"
#include "config_dialog.h"
#include "control_ids.h"
#include "settings_table.h"

namespace kov {
namespace {

using testing::DefaultFile;
using testing::ReadAll;
using testing::WorkingFolder;
using testing::WriteAll;

struct ExpectedControl {
    int id;
    const char* className;
    int left, top, width, height;
    const char* text;
};

// The settings dialog in tab order, written out independently of the program's own table.
const ExpectedControl kExpectedConfigControls[] = {
    {1, "QPushButton", 251, 97, 97, 14, "OK"},
    {2, "QPushButton", 251, 123, 97, 14, "Cancel"},
    {1003, "QComboBox", 29, 28, 87, 48, ""},
    {1004, "QComboBox", 29, 61, 87, 49, ""},
    {-1, "QLabel", 37, 18, 69, 8, "Sound card type     "},
    {-1, "QLabel", 25, 49, 96, 8, "Sound card port number      "},
    {1005, "QComboBox", 29, 93, 87, 49, ""},
    {-1, "QLabel", 18, 82, 114, 8, "Sound card IRQ number            "},
    {-1, "QLabel", 33, 113, 78, 8, "8bit DMA channel     "},
    {1006, "QComboBox", 29, 125, 87, 49, ""},
    {-1, "QLabel", 31, 146, 82, 8, "16bit DMA channel     "},
    {1007, "QComboBox", 29, 158, 87, 45, ""},
    {1008, "QComboBox", 146, 28, 87, 49, ""},
    {-1, "QLabel", 147, 18, 84, 8, "Playback rate            "},
    {1010, "QComboBox", 146, 61, 87, 63, ""},
    {-1, "QLabel", 166, 49, 46, 8, "Channels     "},
    {1014, "QCheckBox", 146, 113, 79, 10, "Use Reverb        "},
    {1015, "QCheckBox", 146, 94, 77, 10, "Use Stereo        "},
    {1016, "QCheckBox", 146, 131, 73, 10, "Use Echo        "},
    {1017, "QCheckBox", 146, 149, 93, 10, "Use high quality mixing"},
    {1018, "QRadioButton", 256, 23, 89, 10, "Software rendering  "},
    {1019, "QRadioButton", 256, 44, 83, 10, "3DFX Voodoo (Glide)"},
    {-1, "QGroupBox", 249, 6, 100, 59, "3D Gfx    "},
    {-1, "QGroupBox", 12, 6, 124, 176, "Sound card     "},
    {-1, "QGroupBox", 139, 6, 106, 176, "Sound effects   "},
};

QString TextOf(const QWidget* widget) {
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (auto* box = qobject_cast<const QGroupBox*>(widget)) return box->title();
    return {};
}

// The base units measured here the way the Windows dialog manager does.
QPoint BaseUnits(const QWidget& window) {
    const QFontMetrics metrics(window.font());
    const int alphabet = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {static_cast<int>(std::lround(alphabet / 52.0)), metrics.height()};
}

int ToX(int dlu, QPoint base) { return static_cast<int>(std::lround(dlu * base.x() / 4.0)); }
int ToY(int dlu, QPoint base) { return static_cast<int>(std::lround(dlu * base.y() / 8.0)); }

QWidget* FindControl(const QWidget& window, int id, const QString& text) {
    for (QWidget* widget : testing::TemplateControls(window))
        if (widget->property(kControlIdProperty).toInt() == id && (id != -1 || TextOf(widget) == text)) return widget;
    return nullptr;
}

// Runs `then` once the next modal dialog or popup is showing, while the caller blocks in it.
void WhenShown(std::function<void(QWidget*)> then) {
    QTimer::singleShot(0, qApp, [then] {
        QWidget* shown = QApplication::activePopupWidget();
        if (shown == nullptr) shown = QApplication::activeModalWidget();
        if (shown == nullptr) {
            WhenShown(then);
            return;
        }
        then(shown);
    });
}

class ConfigDialogTest : public QObject {
    Q_OBJECT

private slots:
    void builtWindowMatchesItsTemplate() {
        WorkingFolder folder;
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        const QPoint base = BaseUnits(dialog);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Configuration for game Kov    "));
        QCOMPARE(dialog.font().pointSize(), 8);
        QCOMPARE(dialog.minimumSize(), QSize(ToX(364, base), ToY(189, base)));
        QCOMPARE(dialog.maximumSize(), dialog.minimumSize());
        QVERIFY(!(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(testing::TemplateControls(dialog).size(), std::size(kExpectedConfigControls));

        for (const ExpectedControl& expected : kExpectedConfigControls) {
            const QString text = QString::fromLatin1(expected.text);
            QWidget* widget = FindControl(dialog, expected.id, text);
            QVERIFY2(widget != nullptr, qPrintable(QStringLiteral("control %1 %2").arg(expected.id).arg(text)));
            QCOMPARE(widget->metaObject()->className(), expected.className);
            QCOMPARE(TextOf(widget), text);
            const QRect geometry(widget->mapTo(&dialog, QPoint(0, 0)), widget->size());
            QCOMPARE(geometry.x(), ToX(expected.left, base));
            QCOMPARE(geometry.y(), ToY(expected.top, base));
            QCOMPARE(geometry.width(), ToX(expected.width, base));
            if (qobject_cast<QComboBox*>(widget))
                QCOMPARE(geometry.height(), widget->sizeHint().height());  // closed; the rectangle holds the drop-down
            else
                QCOMPARE(geometry.height(), ToY(expected.height, base));
        }
    }

    void tabOrderAndFocus() {
        WorkingFolder folder;
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        // The checked radio button follows the last tab stop.
        const QList<int> expected = {1, 2, 1003, 1004, 1005, 1006, 1007, 1008, 1010, 1014, 1015, 1016, 1017, 1018};
        QList<int> order;
        QWidget* widget = dialog.Control(1);
        do {
            if (widget->focusPolicy() & Qt::TabFocus) order.append(widget->property(kControlIdProperty).toInt());
            widget = widget->nextInFocusChain();
        } while (widget != dialog.Control(1));
        QCOMPARE(order, expected);
        QVERIFY(!(dialog.Control(IDC_GLIDE_RENDERING)->focusPolicy() & Qt::TabFocus));
        // The player's choice moves the tab stop with it.
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(dialog.Control(IDC_GLIDE_RENDERING), Qt::LeftButton);
        QVERIFY(dialog.Control(IDC_GLIDE_RENDERING)->focusPolicy() & Qt::TabFocus);
        QVERIFY(!(dialog.Control(IDC_SOFTWARE_RENDERING)->focusPolicy() & Qt::TabFocus));
        QVERIFY(static_cast<QPushButton*>(dialog.Control(1))->isDefault());
    }

    void listsHoldTheirItems() {
        WorkingFolder folder;
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        for (const ListItems& list : kListItems) {
            auto* combo = qobject_cast<QComboBox*>(dialog.Control(list.control));
            QVERIFY(combo != nullptr);
            QStringList items;
            for (int i = 0; i < combo->count(); ++i) items.append(combo->itemText(i));
            QStringList expected;
            for (const char* item : list.items) expected.append(QString::fromLatin1(item));
            QCOMPARE(items, expected);
        }
        QCOMPARE(qobject_cast<QComboBox*>(dialog.Control(IDC_SOUND_CARD_TYPE))->itemText(0),
                 QStringLiteral("Autodetection                 "));
    }

    void openingRulesAreTheOnlyDisabling() {
        WorkingFolder folder;
        // A 16-bit card: the opening rules disable nothing, so whatever is disabled came from elsewhere.
        QVERIFY(WriteAll(folder.file(), "[/CONFIG_CATEGORY_MACHINE/Audio/Driver]\n\"driver type\"=dword:00010003\n"));
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        for (QWidget* widget : testing::TemplateControls(dialog))
            QVERIFY2(widget->isEnabled(), qPrintable(TextOf(widget)));

        QVERIFY(WriteAll(folder.file(), "[/CONFIG_CATEGORY_MACHINE/Audio/Driver]\n\"driver type\"=dword:00000000\n"));
        ConfigDialog none;
        QVERIFY(none.Open());
        for (int id : {1004, 1005, 1006, 1007}) QVERIFY(!none.Control(id)->isEnabled());
        for (int id : {1003, 1008, 1010, 1014, 1015, 1016, 1017, 1018, 1019, 1, 2}) QVERIFY(none.Control(id)->isEnabled());
    }

    void okAtOnceWritesTheDefaultFile() {
        WorkingFolder folder;
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Return);  // the default button
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(ReadAll(folder.file()), DefaultFile());
    }

    void cancelEscapeAndCloseWriteNothing_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Cancel button") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("close box") << 2;
    }
    void cancelEscapeAndCloseWriteNothing() {
        QFETCH(int, way);
        for (bool existing : {false, true}) {
            WorkingFolder folder;
            const QByteArray original = "[/CONFIG_CATEGORY_USER]\n\"mine\"=dword:00000001\n";
            if (existing) QVERIFY(WriteAll(folder.file(), original));
            ConfigDialog dialog;
            QVERIFY(dialog.Open());
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QTest::mouseClick(dialog.Control(IDC_USE_HQ_MIXING), Qt::LeftButton);  // a change to lose
            if (way == 0) QTest::mouseClick(dialog.Control(2), Qt::LeftButton);
            if (way == 1) QTest::keyClick(&dialog, Qt::Key_Escape);
            if (way == 2) dialog.close();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QVERIFY(!dialog.isVisible());
            QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), existing ? 1 : 0);
            if (existing) QCOMPARE(ReadAll(folder.file()), original);
        }
    }

    void whatTheDialogDoesNotShowSurvivesOk() {
        WorkingFolder folder;
        QVERIFY(WriteAll(folder.file(),
                         "[/CONFIG_CATEGORY_MACHINE/Audio/Driver]\n\"driver irq\"=dword:00000007\n"
                         "\"extra\"=string:\"kept text\"\n"
                         "[/CONFIG_CATEGORY_USER/Profile]\n\"name\"=string:\"Player One\"\n\"seen\"=bool:True\n"
                         "\"count\"=dword:0000002a\n"));
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        dialog.accept();
        const QByteArray text = ReadAll(folder.file());
        QVERIFY(text.contains("[/CONFIG_CATEGORY_MACHINE/Audio/Driver]\n\"driver irq\"=dword:00000007\n"
                              "\"extra\"=string:\"kept text\"\n\"driver type\"=dword:0001ffff\n"));
        QVERIFY(text.contains("[/CONFIG_CATEGORY_USER/Profile]\n\"name\"=string:\"Player One\"\n\"seen\"=bool:True\n"
                              "\"count\"=dword:0000002a\n\n"));
    }

    void playerInputIsStoredAndCodeChangesAreNot() {
        WorkingFolder folder;
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // From code: nothing must reach the store.
        dialog.SetListPosition(IDC_IRQ, 0);
        dialog.SetCheck(IDC_USE_REVERB, 0);
        dialog.SetCheck(IDC_GLIDE_RENDERING, 1);
        dialog.SetListPosition(IDC_SOUND_CARD_TYPE, 5);
        // Back to what was loaded, then the player's own changes.
        dialog.SetListPosition(IDC_IRQ, 2);
        dialog.SetCheck(IDC_USE_REVERB, 1);
        dialog.SetCheck(IDC_GLIDE_RENDERING, 0);
        dialog.SetListPosition(IDC_SOUND_CARD_TYPE, 0);
        QTest::mouseClick(dialog.Control(IDC_SOUND_CARD_TYPE), Qt::LeftButton);  // opens the list
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);      // and closes it unchanged
        dialog.Control(IDC_SOUND_CARD_TYPE)->setFocus();
        QTest::keyClick(dialog.Control(IDC_SOUND_CARD_TYPE), Qt::Key_End);  // "Sound Blaster 16" enables all
        QTest::keyClick(dialog.Control(IDC_IRQ), Qt::Key_Down);             // "irq 7"
        QTest::keyClick(dialog.Control(IDC_PORT), Qt::Key_End);             // "port 280"
        QTest::mouseClick(dialog.Control(IDC_USE_STEREO), Qt::LeftButton);  // off
        QTest::keyClick(dialog.Control(IDC_USE_HQ_MIXING), Qt::Key_Space);  // on
        QTest::mouseClick(dialog.Control(IDC_GLIDE_RENDERING), Qt::LeftButton);
        QVERIFY(!static_cast<QAbstractButton*>(dialog.Control(IDC_SOFTWARE_RENDERING))->isChecked());
        QTest::keyClick(dialog.Control(IDC_EFFECT_CHANNELS), Qt::Key_Down);  // "9"
        dialog.accept();

        QByteArray expected = DefaultFile();
        const std::pair<const char*, const char*> changes[] = {
            {"\"driver type\"=dword:0001ffff", "\"driver type\"=dword:00010003"},
            {"\"driver io\"=dword:00000220", "\"driver io\"=dword:00000280"},
            {"\"driver irq\"=dword:00000005", "\"driver irq\"=dword:00000007"},
            {"\"playback channels\"=dword:00000002", "\"playback channels\"=dword:00000001"},
            {"\"effects chanels\"=dword:00000007", "\"effects chanels\"=dword:00000008"},
            {"\"use hq mixing  \"=dword:00000000", "\"use hq mixing  \"=dword:00000001"},
            {"\"rendering device\"=dword:00000000", "\"rendering device\"=dword:00000001"},
        };
        for (const auto& [from, to] : changes) expected.replace(from, to);
        QCOMPARE(ReadAll(folder.file()), expected);
    }

    void soundCardChangeSetsTheGroupsAndRepaintsAtOnce() {
        WorkingFolder folder;
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCoreApplication::processEvents();
        int paints = 0;
        PaintCounter counter(&paints);
        dialog.installEventFilter(&counter);
        auto* list = dialog.Control(IDC_SOUND_CARD_TYPE);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);  // "None": both groups disabled
        QVERIFY2(paints > 0, "the dialog was not repainted before the handler returned");
        for (int id : {1004, 1005, 1006, 1007, 1008, 1010, 1014, 1015, 1016, 1017}) QVERIFY(!dialog.Control(id)->isEnabled());
        QTest::keyClick(list, Qt::Key_Down);  // "Sound Blaster": only the 16-bit DMA list
        for (int id : {1004, 1005, 1006, 1008, 1010, 1014, 1015, 1016, 1017}) QVERIFY(dialog.Control(id)->isEnabled());
        QVERIFY(!dialog.Control(IDC_DMA_16BIT)->isEnabled());
        QTest::keyClick(list, Qt::Key_Up);
        QTest::keyClick(list, Qt::Key_Up);  // "Autodetection" after a change: only the hardware group
        for (int id : {1004, 1005, 1006, 1007}) QVERIFY(!dialog.Control(id)->isEnabled());
        for (int id : {1008, 1010, 1014, 1015, 1016, 1017}) QVERIFY(dialog.Control(id)->isEnabled());
        dialog.removeEventFilter(&counter);
        dialog.reject();
    }

    void aboutIsReachableFromTheWindowMenu() {
        WorkingFolder folder;
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QString menuItem, aboutTitle;
        QSize aboutSize;
        bool aboutHadIcon = false;
        WhenShown([&](QWidget* popup) {
            auto* menu = qobject_cast<QMenu*>(popup);
            QVERIFY(menu != nullptr);
            menuItem = menu->actions().value(0)->text();
            WhenShown([&](QWidget* about) {
                aboutTitle = about->windowTitle();
                aboutSize = about->size();
                aboutHadIcon = !about->windowIcon().isNull();
                QTest::keyClick(about, Qt::Key_Return);  // OK
            });
            QTest::keyClick(menu, Qt::Key_A);  // the item's mnemonic
        });
        // A right click on a control reaches the dialog's menu.
        const QWidget* radio = dialog.Control(IDC_GLIDE_RENDERING);
        QTest::mouseClick(dialog.windowHandle(), Qt::RightButton, {}, radio->geometry().center());
        QCOMPARE(menuItem, QStringLiteral("&About config..."));
        QCOMPARE(aboutTitle, QStringLiteral("About Config - Kov"));
        AboutDialog reference(std::string{});
        QCOMPARE(aboutSize, reference.size());
        QVERIFY(aboutHadIcon);
        QVERIFY(dialog.isVisible());
        QVERIFY(QApplication::activeModalWidget() == nullptr || QApplication::activeModalWidget() == &dialog);

        // By keyboard: Shift+F10 and the Menu key open the same menu.
        for (const QKeyCombination keys : {QKeyCombination(Qt::ShiftModifier, Qt::Key_F10), QKeyCombination(Qt::Key_Menu)}) {
            bool opened = false;
            WhenShown([&](QWidget* popup) {
                opened = qobject_cast<QMenu*>(popup) != nullptr;
                popup->close();
            });
            QApplication::setActiveWindow(&dialog);
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            QTest::keyClick(dialog.windowHandle(), keys.key(), keys.keyboardModifiers());
            QTRY_VERIFY(opened);
        }
        dialog.reject();
    }

    void aboutBoxMatchesItsTemplateAndNamesTheFile() {
        for (const QString& file : {QStringLiteral("/home/gracz/Kov/KOV.INI"), QStringLiteral("/") + QString(300, u'x') + "/kov.ini"}) {
        AboutDialog about(file.toStdString());
        const QPoint base = BaseUnits(about);
        QCOMPARE(about.size(), QSize(ToX(235, base), ToY(55, base)));
        QList<int> ids;
        for (QWidget* widget : testing::TemplateControls(about)) ids.append(widget->property(kControlIdProperty).toInt());
        QCOMPARE(ids.count(-1), 3);
        QCOMPARE(ids.count(1), 1);
        // The file's whole name, shortened in the middle only where it does not fit its line.
        auto* line = qobject_cast<QLabel*>(FindControl(about, IDC_ABOUT_FILE, {}));
        QVERIFY(line != nullptr);
        const QString whole = "Settings file: " + file;
        QCOMPARE(line->accessibleName().isEmpty() ? line->text() : line->accessibleName(), whole);
        QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <= line->width());
        QVERIFY(line->text().endsWith("kov.ini", Qt::CaseInsensitive));
        auto* ok = qobject_cast<QPushButton*>(FindControl(about, 1, {}));
        QVERIFY(ok != nullptr && ok->isDefault());
        QCOMPARE(ok->geometry(), QRect(ToX(161, base), ToY(20, base), ToX(50, base), ToY(14, base)));
        }
    }

private:
    class PaintCounter : public QObject {
    public:
        explicit PaintCounter(int* paints) : paints_(paints) {}
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++*paints_;
            return false;
        }

    private:
        int* paints_;
    };
};

}  // namespace
}  // namespace kov

QTEST_MAIN(kov::ConfigDialogTest)
#include "config_dialog_test.moc"
