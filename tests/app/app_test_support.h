// Helpers for the program's tests: a fresh working folder per test, file access, and
// finding the dialog's controls by identifier.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
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

// The widgets of a window that carry a control identifier, in creation order.
inline QList<QWidget*> TemplateControls(const QWidget& window) {
    QList<QWidget*> controls;
    for (QObject* child : window.children())
        if (auto* widget = qobject_cast<QWidget*>(child); widget && widget->property(kControlIdProperty).isValid())
            controls.append(widget);
    return controls;
}

}  // namespace kov::testing
