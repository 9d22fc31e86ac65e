// The application object.
#include "config_app.h"

#include <QLibraryInfo>
#include <QLocale>
#include <cstdio>
#include <cstdlib>

#include "catalogue.h"
#include "config_dialog.h"
#include "kov_version.h"

namespace kov {

namespace {

QtMessageHandler previousHandler = nullptr;
// The platform layer's messages, held back until it is known whether start-up failed.
QStringList* platformMessages = nullptr;
bool noDisplay = false;

// Phrases with which Qt's platform plugins say that no display could be reached.
bool SaysNoDisplay(const QString& message) {
    return message.contains(QLatin1String("could not connect to display")) ||
           message.contains(QLatin1String("Failed to create wl_display"));
}

// While the toolkit starts: a display that cannot be reached becomes one clear line and an
// orderly exit; any other fatal problem (a missing platform plugin, say) is passed on as Qt
// words it, with the platform layer's messages that explain it.
void StartupMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        if (noDisplay) {
            const QByteArray display = qgetenv("DISPLAY");
            if (display.isEmpty())
                std::fprintf(stderr, "%s\n", Tr("kovconfig: cannot open a display: DISPLAY is not set"));
            else
                std::fprintf(stderr, "%s\n",
                             Format(Tr("kovconfig: cannot open the display \"{display}\""), {{"display", display.constData()}})
                                 .c_str());
            std::_Exit(EXIT_FAILURE);
        }
        for (const QString& held : *platformMessages) std::fprintf(stderr, "%s\n", qPrintable(held));
        std::fprintf(stderr, "%s\n", qPrintable(message));
        std::_Exit(EXIT_FAILURE);
    }
    if (QByteArray(context.category).startsWith("qt.qpa")) {
        noDisplay = noDisplay || SaysNoDisplay(message);
        platformMessages->append(message);
        return;
    }
    if (previousHandler != nullptr) previousHandler(type, context, message);
}

}  // namespace

ConfigApp::StartupGuard::StartupGuard() {
    // The player's language, as the locale variables name it, from the first word on.
    UseLanguage(PosixLanguagePreferences(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                         std::getenv("LANG")));
    platformMessages = new QStringList;
    previousHandler = qInstallMessageHandler(StartupMessageHandler);
}

ConfigApp::ConfigApp(int& argc, char** argv) : application_(argc, argv) {
    qInstallMessageHandler(previousHandler);
    delete platformMessages;  // started: what the platform layer said was no failure
    platformMessages = nullptr;
    QApplication::setApplicationName(QStringLiteral("kovconfig"));
    QApplication::setApplicationVersion(QStringLiteral(KOV_VERSION_TEXT));
    QApplication::setOrganizationName(QStringLiteral("Kov"));
    QApplication::setDesktopFileName(QStringLiteral("kovconfig"));
    // The toolkit's own texts (a message box's buttons, say) in the same language, where Qt's
    // translations are installed.
    const QLocale language(QString::fromUtf8(CurrentLanguage().data(), static_cast<qsizetype>(CurrentLanguage().size())));
    if (qtTexts_.load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts_);
}

int ConfigApp::InitInstance() {
    ConfigDialog dialog;
    if (dialog.Open()) dialog.exec();  // OK or Cancel: either way the program ends
    return EXIT_SUCCESS;
}

}  // namespace kov
