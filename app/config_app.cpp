// The application object.
#include "config_app.h"

#include <cstdio>
#include <cstdlib>

#include "config_dialog.h"

namespace kov {

namespace {

QtMessageHandler previousHandler = nullptr;

// While the toolkit starts, its complaints about the display are folded into one line, and
// its abort when no display opens becomes an orderly exit.
void StartupMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        const QByteArray display = qgetenv("DISPLAY");
        if (display.isEmpty())
            std::fputs("kovconfig: cannot open a display: DISPLAY is not set\n", stderr);
        else
            std::fprintf(stderr, "kovconfig: cannot open the display \"%s\"\n", display.constData());
        std::_Exit(EXIT_FAILURE);
    }
    if (QByteArray(context.category).startsWith("qt.qpa")) return;
    if (previousHandler != nullptr) previousHandler(type, context, message);
}

}  // namespace

ConfigApp::StartupGuard::StartupGuard() { previousHandler = qInstallMessageHandler(StartupMessageHandler); }

ConfigApp::ConfigApp(int& argc, char** argv) : application_(argc, argv) {
    qInstallMessageHandler(previousHandler);
    QApplication::setApplicationName(QStringLiteral("kovconfig"));
    QApplication::setApplicationVersion(QStringLiteral(KOV_VERSION));
    QApplication::setOrganizationName(QStringLiteral("Kov"));
    QApplication::setDesktopFileName(QStringLiteral("kovconfig"));
}

int ConfigApp::InitInstance() {
    try {
        ConfigDialog dialog;
        if (!dialog.PlayerQuit()) dialog.exec();  // OK or Cancel: either way the program ends
    } catch (const ConfigurationException&) {
        ExitOutOfMemory();  // building the store's top-level categories
    }
    return EXIT_SUCCESS;
}

}  // namespace kov
