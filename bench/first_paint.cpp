// Start-up to first paint: the real settings dialog (FIRST_PAINT_OURS) or a hand-built dialog
// with the same 25 widgets (lists, boxes, radios, buttons, labels and group boxes), the same
// list items, and no file work. The program ends as soon as the dialog's first paint is done,
// without tearing anything down, so timing (or counting the instructions of) the whole run
// measures the start and nothing else.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <cstdlib>

#ifdef FIRST_PAINT_OURS
#include "config_dialog.h"
#else
#include "settings_table.h"
#endif

namespace {

class QuitOnFirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) QCoreApplication::exit(0);
        return false;
    }
};

#ifndef FIRST_PAINT_OURS
// The baseline: the same kinds and number of widgets and list items, placed plainly.
void AddBareControls(QDialog& dialog) {
    int y = 0;
    for (const kov::ListItems& list : kov::kListItems) {
        auto* combo = new QComboBox(&dialog);
        for (const char* item : list.items) combo->addItem(QString::fromLatin1(item));
        combo->setGeometry(10, y += 30, 150, 24);
    }
    for (const char* text : {"Use Reverb", "Use Stereo", "Use Echo", "Use high quality mixing"})
        (new QCheckBox(QString::fromLatin1(text), &dialog))->setGeometry(200, y += 30, 200, 20);
    for (const char* text : {"Software rendering", "3DFX Voodoo (Glide)"})
        (new QRadioButton(QString::fromLatin1(text), &dialog))->setGeometry(420, y += 30, 200, 20);
    (new QPushButton(QStringLiteral("OK"), &dialog))->setGeometry(420, 10, 100, 24);
    (new QPushButton(QStringLiteral("Cancel"), &dialog))->setGeometry(420, 40, 100, 24);
    y = 0;
    for (const char* text : {"Sound card type", "Sound card port number", "Sound card IRQ number", "8bit DMA channel",
                             "16bit DMA channel", "Playback rate", "Channels"})
        (new QLabel(QString::fromLatin1(text), &dialog))->setGeometry(170, y += 30, 150, 16);
    int x = 0;
    for (const char* text : {"Sound card", "Sound effects", "3D Gfx"}) {
        auto* box = new QGroupBox(QString::fromLatin1(text), &dialog);
        box->setGeometry(x, 0, 200, 260);
        box->lower();
        x += 205;
    }
}
#endif

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
#ifdef FIRST_PAINT_OURS
    kov::ConfigDialog dialog;
    dialog.Open();
#else
    QDialog dialog;
    AddBareControls(dialog);
#endif
    QuitOnFirstPaint quit;
    dialog.installEventFilter(&quit);
    dialog.show();
    application.exec();  // returns once the first paint is done
    std::_Exit(EXIT_SUCCESS);
}
