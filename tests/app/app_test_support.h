// Helpers for the program's tests: a fresh working folder per test, file access, and
// finding the dialog's controls by identifier.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "dialog_builder.h"

namespace kov::testing {

// Makes a new empty folder the current directory for the life of the object.
class WorkingFolder {
public:
    WorkingFolder() : previous_(QDir::currentPath()) {
        QVERIFY2(folder_.isValid(), "no temporary folder");
        QDir::setCurrent(folder_.path());
    }
    ~WorkingFolder() { QDir::setCurrent(previous_); }
    QString path() const { return folder_.path(); }
    QString file(const QString& name = QStringLiteral("kov.ini")) const { return folder_.filePath(name); }

private:
    QString previous_;
    QTemporaryDir folder_;
};

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
    return file.readAll();
}

inline bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline QByteArray DefaultFile() { return ReadAll(QStringLiteral(KOV_TEST_DATA_DIR "/default_kov.ini")); }

// The widgets of a window that carry a control identifier, group boxes' contents included.
inline QList<QWidget*> TemplateControls(const QWidget& window) {
    QList<QWidget*> controls;
    for (QWidget* widget : window.findChildren<QWidget*>())
        if (widget->property(kControlIdProperty).isValid()) controls.append(widget);
    return controls;
}

// Answers the question boxes that the code under test opens modally, in order: a button's
// text clicks it, "Escape" and "Return" press those keys, "close" uses the close box. Records
// each text, format and title.
class Answers {
public:
    explicit Answers(QStringList answers) : pending_(std::move(answers)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start(5);
    }
    QStringList texts;
    QList<Qt::TextFormat> formats;
    QStringList titles;
    bool done() const { return pending_.isEmpty(); }

private:
    void Poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible() || box->property("answered").toBool() || pending_.isEmpty()) return;
        box->setProperty("answered", true);
        texts.append(box->text());
        formats.append(box->textFormat());
        titles.append(box->windowTitle());
        const QString answer = pending_.takeFirst();
        if (answer == QLatin1String("Escape")) {
            QTest::keyClick(box, Qt::Key_Escape);
        } else if (answer == QLatin1String("Return")) {
            QTest::keyClick(box, Qt::Key_Return);
        } else if (answer == QLatin1String("close")) {
            box->close();
        } else {
            QAbstractButton* chosen = nullptr;
            for (QAbstractButton* button : box->buttons())
                if (button->text() == answer) chosen = button;
            if (chosen == nullptr) {
                texts.append(QStringLiteral("<no button %1>").arg(answer));  // fails the caller's checks
                box->reject();
            } else {
                chosen->click();
            }
        }
        if (pending_.isEmpty()) timer_.stop();
    }

    QStringList pending_;
    QTimer timer_;
};

}  // namespace kov::testing
