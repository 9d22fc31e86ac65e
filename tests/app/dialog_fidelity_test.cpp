// The dialog as its template draws it, in every style Qt ships: lists that drop down within
// their rectangles, captions on their frames, the keyboard's ways through the controls and
// the names that assistive technology reads.
#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QtTest>

#include "about_dialog.h"
#include "app_test_support.h"
#include "config_dialog.h"
#include "control_ids.h"
#include "dialog_builder.h"
#include "speaking.h"

namespace kov {
namespace {

using testing::ReadAll;
using testing::WorkingFolder;
using testing::WriteAll;

// A sound card whose controls are all enabled.
const QByteArray kSixteenBitCard = "[/CONFIG_CATEGORY_MACHINE/Audio/Driver]\n\"driver type\"=dword:00010003\n";

int FocusedId() {
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr ? focus->property(kControlIdProperty).toInt() : 0;
}

class DialogFidelityTest : public QObject {
    Q_OBJECT

private slots:
    void listsDropDownWithinTheirRectangles_data() {
        QTest::addColumn<QString>("style");
        for (const QString& style : QStyleFactory::keys()) QTest::newRow(qPrintable(style)) << style;
    }

    void listsDropDownWithinTheirRectangles() {
        QFETCH(QString, style);
        QApplication::setStyle(style);
        WorkingFolder folder;
        QVERIFY(WriteAll(folder.file(), kSixteenBitCard));
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const DialogBaseUnits base = BaseUnitsOf(QFontMetrics(dialog.font()));
        for (const ControlTemplate& control : kConfigDialogTemplate.controls) {
            if (control.type != ControlType::DropDownList) continue;
            auto* list = qobject_cast<QComboBox*>(dialog.Control(control.id));
            list->showPopup();  // its rows are measured as it shows them once it is open
            QAbstractItemView* view = list->view();
            QTRY_VERIFY(view->isVisible());
            const int row = view->sizeHintForRow(0);
            const int room = DluToPixelsY(control.rect.height, base) - list->height();
            const int expected = std::max(3, room / row);
            const int shown = view->viewport()->height() / row;
            QVERIFY2(shown == std::min(expected, list->count()),
                     qPrintable(QStringLiteral("list %1 shows %2 rows, not %3").arg(control.id).arg(shown).arg(expected)));
            QCOMPARE(view->verticalScrollBar()->isVisible(), list->count() > expected);
            QVERIFY2(view->window()->geometry().top() >= list->mapToGlobal(QPoint(0, list->height() - 1)).y(),
                     "the list opens below itself");
            list->hidePopup();
        }
        QApplication::setStyle(QStringLiteral("Fusion"));
    }

    void captionsSitOnTheirFrameLines_data() { listsDropDownWithinTheirRectangles_data(); }

    void captionsSitOnTheirFrameLines() {
        QFETCH(QString, style);
        QApplication::setStyle(style);
        WorkingFolder folder;
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (QGroupBox* box : dialog.findChildren<QGroupBox*>()) {
            const QImage image = box->grab().toImage();
            const double scale = image.devicePixelRatio();  // the pixels of a dense screen
            const int lineY = static_cast<int>(box->fontMetrics().height() / 2 * scale);
            // The frame's top line, right of the caption: the first row unlike the one above the box.
            const int x = image.width() - static_cast<int>(8 * scale);
            const QRgb background = image.pixel(x, 0);
            int top = 0;
            while (top < image.height() && image.pixel(x, top) == background) ++top;
            QVERIFY2(std::abs(top - lineY) <= 2 * scale, qPrintable(QStringLiteral("%1: frame at %2, caption middle at %3")
                                                                      .arg(box->title()).arg(top).arg(lineY)));
            // Behind the caption the line is broken: its trailing blanks show the background.
            const QFontMetrics& metrics = box->fontMetrics();
            const int blankX = static_cast<int>((metrics.averageCharWidth() + metrics.horizontalAdvance(box->title()) - 3) * scale);
            int drawn = 0;
            for (int y = std::max(0, top - 1); y <= top + 1; ++y)
                if (image.pixel(blankX, y) != background) ++drawn;
            QVERIFY2(drawn == 0, qPrintable(box->title()));
        }
        QApplication::setStyle(QStringLiteral("Fusion"));
    }

    void theRenderingRadiosAreReachableByKeyboard() {
        WorkingFolder folder;  // no file: sound card "Autodetection", the audio controls disabled
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.Control(IDOK)->setFocus();
        QList<int> visited;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.append(FocusedId());
        }
        QCOMPARE(visited, (QList<int>{IDCANCEL, IDC_SOUND_CARD_TYPE, IDC_SOFTWARE_RENDERING, IDOK}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        // Every arrow moves between the radios and checks the one it reaches: the check boxes
        // of their group are disabled.
        for (const auto& [key, reached] : {std::pair{Qt::Key_Down, IDC_GLIDE_RENDERING},
                                           std::pair{Qt::Key_Up, IDC_SOFTWARE_RENDERING},
                                           std::pair{Qt::Key_Right, IDC_GLIDE_RENDERING},
                                           std::pair{Qt::Key_Left, IDC_SOFTWARE_RENDERING},
                                           std::pair{Qt::Key_Down, IDC_GLIDE_RENDERING}}) {
            QTest::keyClick(QApplication::focusWidget(), key);
            QCOMPARE(FocusedId(), reached);
            QCOMPARE(dialog.GetCheck(reached), 1);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(ReadAll(folder.file()).contains("\"rendering device\"=dword:00000001"));
    }

    void arrowsMoveWithinTheTemplatesGroups() {
        WorkingFolder folder;
        QVERIFY(WriteAll(folder.file(), kSixteenBitCard));
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // Check boxes and radios form one group, in template order, round the group.
        dialog.Control(IDC_USE_REVERB)->setFocus();
        QList<int> visited;
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
            visited.append(FocusedId());
        }
        QCOMPARE(visited, (QList<int>{IDC_USE_STEREO, IDC_USE_ECHO, IDC_USE_HQ_MIXING, IDC_SOFTWARE_RENDERING,
                                      IDC_GLIDE_RENDERING, IDC_USE_REVERB}));
        QCOMPARE(dialog.GetCheck(IDC_GLIDE_RENDERING), 1);
        QVERIFY2(dialog.GetCheck(IDC_USE_HQ_MIXING) == 0, "moving onto a check box does not check it");
        // OK and Cancel share their group with the first two lists.
        dialog.Control(IDOK)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(FocusedId(), IDCANCEL);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(FocusedId(), IDC_SOUND_CARD_TYPE);
        dialog.reject();
    }

    void assistiveTechnologyReadsNamesAndGroups() {
        WorkingFolder folder;
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        const std::pair<int, const char*> lists[] = {
            {IDC_SOUND_CARD_TYPE, "Sound card type"}, {IDC_PORT, "Sound card port number"},
            {IDC_IRQ, "Sound card IRQ number"},       {IDC_DMA_8BIT, "8bit DMA channel"},
            {IDC_DMA_16BIT, "16bit DMA channel"},     {IDC_PLAYBACK_RATE, "Playback rate"},
            {IDC_EFFECT_CHANNELS, "Channels"},
        };
        for (const auto& [id, name] : lists) {
            QAccessibleInterface* list = QAccessible::queryAccessibleInterface(dialog.Control(id));
            QCOMPARE(list->text(QAccessible::Name), QString::fromLatin1(name));
            QCOMPARE(list->role(), QAccessible::ComboBox);
            QCOMPARE(list->text(QAccessible::Value), qobject_cast<QComboBox*>(dialog.Control(id))->currentText());
            QCOMPARE(list->parent()->role(), QAccessible::Grouping);
        }
        const std::pair<int, const char*> grouped[] = {
            {IDC_PORT, "Sound card     "},     {IDC_DMA_16BIT, "Sound card     "},
            {IDC_USE_ECHO, "Sound effects   "}, {IDC_PLAYBACK_RATE, "Sound effects   "},
            {IDC_GLIDE_RENDERING, "3D Gfx    "},
        };
        for (const auto& [id, group] : grouped) {
            QAccessibleInterface* parent = QAccessible::queryAccessibleInterface(dialog.Control(id))->parent();
            QCOMPARE(parent->text(QAccessible::Name).trimmed(), QString::fromLatin1(group).trimmed());
        }
        QCOMPARE(dialog.Control(IDOK)->parentWidget(), &dialog);  // outside every group box
        AboutDialog about("kov.ini");
        const QList<QLabel*> labels = about.findChildren<QLabel*>();
        const auto icon = std::find_if(labels.begin(), labels.end(), [](QLabel* l) { return !l->pixmap().isNull(); });
        QVERIFY(icon != labels.end());
        QVERIFY(!QAccessible::queryAccessibleInterface(*icon)->text(QAccessible::Name).isEmpty());
    }

    void rightToLeftLeavesTheLayoutAsDrawn() {
        WorkingFolder folder;
        QList<QRect> leftToRight;
        {
            ConfigDialog dialog;
            QVERIFY(dialog.Open());
            for (QWidget* control : testing::TemplateControls(dialog)) leftToRight.append(control->geometry());
        }
        QApplication::setLayoutDirection(Qt::RightToLeft);
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        QApplication::setLayoutDirection(Qt::LeftToRight);
        QList<QRect> rightToLeft;
        for (QWidget* control : testing::TemplateControls(dialog)) {
            rightToLeft.append(control->geometry());
            QCOMPARE(control->layoutDirection(), Qt::LeftToRight);
        }
        QCOMPARE(rightToLeft, leftToRight);
    }

    void everyTextFitsItsControl_data() {
        QTest::addColumn<QString>("style");
        QTest::addColumn<QString>("language");
        for (const QString& style : QStyleFactory::keys())
            for (const QString& language : {QStringLiteral("en"), QStringLiteral("pl")})
                QTest::newRow(qPrintable(style + " " + language)) << style << language;
    }

    // Each text as wide as it is drawn (trailing blanks aside) within the room its control gives
    // it: a label's width, a box's or a button's beside its indicator, a list's field beside its
    // arrow, a group box's frame.
    void everyTextFitsItsControl() {
        QFETCH(QString, style);
        QFETCH(QString, language);
        QApplication::setStyle(style);
        const testing::Speaking speaking(language.toStdString());
        WorkingFolder folder;
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        AboutDialog about("kov.ini");
        QList<QWidget*> controls = testing::TemplateControls(dialog) + testing::TemplateControls(about);
        for (QWidget* control : controls) {
            const QFontMetrics metrics = control->fontMetrics();
            QStyle* look = control->style();
            QStringList texts;
            int room = control->width();
            if (auto* list = qobject_cast<QComboBox*>(control)) {
                QStyleOptionComboBox option;
                option.initFrom(list);
                room = look->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list).width();
                for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
            } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
                texts << box->title();
                room -= 2 * look->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, box);
            } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                texts << button->text();
                if (qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button))
                    room -= look->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, button) +
                            look->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, button);
                else
                    room -= 2 * look->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
            } else if (auto* label = qobject_cast<QLabel*>(control); label != nullptr && label->pixmap().isNull()) {
                texts << label->text();
            }
            for (const QString& text : texts)
                QVERIFY2(metrics.horizontalAdvance(text.trimmed()) <= room,
                         qPrintable(QStringLiteral("\"%1\" is %2 pixels wide, in %3").arg(text.trimmed())
                                        .arg(metrics.horizontalAdvance(text.trimmed())).arg(room)));
        }
    }
};

}  // namespace
}  // namespace kov

QTEST_MAIN(kov::DialogFidelityTest)
#include "dialog_fidelity_test.moc"
