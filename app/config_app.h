// The application: owns the QApplication, runs the settings dialog modally once, and ends
// when it closes.
#pragma once

#include <QApplication>
#include <QTranslator>

namespace kov {

class ConfigApp {
public:
    // Ends the program with a one-line message when no display can be opened.
    ConfigApp(int& argc, char** argv);
    // Runs the dialog; the exit status, 0 once the dialog has closed.
    int InitInstance();

private:
    // Set up before the QApplication: the player's language, and the toolkit's abort turned into a
    // clear message in it.
    struct StartupGuard {
        StartupGuard();
    };

    StartupGuard guard_;
    QApplication application_;
    QTranslator qtTexts_;  // the toolkit's own texts in the player's language
};

}  // namespace kov
