// Loading and saving the configuration file.
#include "config_file.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kov {

void LoadConfigurationFile(ConfigurationStore& store, const char* fileName) {
    std::FILE* file = std::fopen(fileName, "rt");
    if (file == nullptr) return;  // no file: the settings' defaults
    store.ReadFromFile(file);
    std::fclose(file);
}

SaveResult SaveConfigurationFile(const QString& fileName, const std::string& text) {
    const QFileInfo info(fileName);
    // Write through a link to its target, so that the link itself stays.
    const QString target = info.isSymLink() ? info.symLinkTarget() : fileName;
    const QFileInfo targetInfo(target);
    // A file marked read-only stays as it is, even for a user who could replace it.
    if (targetInfo.exists() && (!targetInfo.isWritable() || !(targetInfo.permissions() & QFileDevice::WriteOwner)))
        return {false, QString::fromLocal8Bit(std::strerror(EACCES)) + QStringLiteral(" (the file is read-only)")};

    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) return {false, file.errorString()};
    const auto size = static_cast<qint64>(text.size());
    // QSaveFile::commit() does not notice a failing last flush, so every step is checked here.
    if (file.write(text.data(), size) != size || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return {false, reason};
    }
    if (!file.commit()) return {false, file.errorString()};
    return {true, {}};
}

}  // namespace kov
