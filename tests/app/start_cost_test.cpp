// What the dialog leaves until it is needed, and that nothing of it is lost: the lists' popups
// are made when a list first opens, the window icon comes after the first paint, and the icon's
// compiled-in pixels give, at every size and scale, what Qt's own icon of the design files gives.
#include <QAbstractItemView>
#include <QComboBox>
#include <QFrame>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "app_icon.h"
#include "app_test_support.h"
#include "config_dialog.h"
#include "dialog_template.h"

namespace kov {
namespace {

using testing::WorkingFolder;

// The icon as it was made before: Qt's icon engine over the design's image files.
QIcon IconFromFiles() {
    QIcon icon;
    const QString resources = QStringLiteral(KOV_SOURCE_DIR "/app/resources/");
    icon.addFile(resources + QStringLiteral("icon-32.xpm"), QSize(32, 32));
    icon.addFile(resources + QStringLiteral("icon-16.xpm"), QSize(16, 16));
    for (const int size : {48, 64, 128, 256})
        icon.addFile(resources + QStringLiteral("icons/kovconfig-%1.png").arg(size), QSize(size, size));
    return icon;
}

QImage Pixels(const QPixmap& pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_ARGB32); }

class StartCostTest : public QObject {
    Q_OBJECT

private slots:
    void listsMakeTheirPopupsWhenFirstOpened() {
        WorkingFolder folder;
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QList<QComboBox*> lists;
        for (const ControlTemplate& control : kConfigDialogTemplate.controls)
            if (control.type == ControlType::DropDownList) lists.append(qobject_cast<QComboBox*>(dialog.Control(control.id)));
        QCOMPARE(lists.size(), 7);
        for (QComboBox* list : lists) QVERIFY2(list->findChild<QFrame*>() == nullptr, "a popup made at start");
        lists[2]->showPopup();
        QTRY_VERIFY(lists[2]->view()->isVisible());
        QVERIFY(lists[2]->findChild<QFrame*>() != nullptr);
        QVERIFY(lists[2]->maxVisibleItems() >= 3);
        lists[2]->hidePopup();
        QVERIFY2(lists[3]->findChild<QFrame*>() == nullptr, "only the list opened");
    }

    void theWindowIconComesRightAfterTheFirstPaint() {
        WorkingFolder folder;
        ConfigDialog dialog;
        QVERIFY(dialog.Open());
        QVERIFY2(!dialog.testAttribute(Qt::WA_SetWindowIcon), "nothing of the icon before the dialog is shown");
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTRY_VERIFY(dialog.testAttribute(Qt::WA_SetWindowIcon));
        QCOMPARE(dialog.windowIcon().availableSizes(),
                 (QList<QSize>{{32, 32}, {16, 16}, {48, 48}, {64, 64}, {128, 128}, {256, 256}}));
    }

    void theIconIsTheDesignsAtEverySizeAndScale() {
        const QIcon compiled = AppIcon();
        const QIcon files = IconFromFiles();
        QCOMPARE(compiled.availableSizes(), files.availableSizes());
        const QSize sizes[] = {{16, 16}, {20, 20}, {24, 24}, {31, 31}, {32, 32}, {40, 40}, {48, 48}, {100, 100},
                               {128, 128}, {255, 255}, {256, 256}, {300, 300}, {50, 20}, {8, 64}};
        for (const qreal scale : {1.0, 1.5, 2.0}) {
            for (const QSize& size : sizes) {
                const QString what = QStringLiteral("%1x%2 at %3").arg(size.width()).arg(size.height()).arg(scale);
                const QPixmap ours = compiled.pixmap(size, scale);
                const QPixmap theirs = files.pixmap(size, scale);
                QVERIFY2(ours.size() == theirs.size() && Pixels(ours) == Pixels(theirs), qPrintable(what));
                QCOMPARE(ours.devicePixelRatio(), theirs.devicePixelRatio());
                QVERIFY2(compiled.actualSize(size) == files.actualSize(size), qPrintable(what));
            }
        }
        const QPixmap disabled = compiled.pixmap(QSize(32, 32), QIcon::Disabled);
        QVERIFY(Pixels(disabled) == Pixels(files.pixmap(QSize(32, 32), QIcon::Disabled)));
        // Painted, as the About box's icon is.
        QImage ourPaint(40, 40, QImage::Format_ARGB32_Premultiplied), theirPaint = ourPaint;
        ourPaint.fill(Qt::transparent);
        theirPaint.fill(Qt::transparent);
        {
            QPainter painter(&ourPaint);
            compiled.paint(&painter, QRect(2, 3, 30, 30));
        }
        {
            QPainter painter(&theirPaint);
            files.paint(&painter, QRect(2, 3, 30, 30));
        }
        QVERIFY(ourPaint == theirPaint);
    }
};

}  // namespace
}  // namespace kov

QTEST_MAIN(kov::StartCostTest)
#include "start_cost_test.moc"
