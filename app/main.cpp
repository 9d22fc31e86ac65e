// kovconfig: the settings utility for the game Kov.
#include "config_app.h"

int main(int argc, char** argv) {
    kov::ConfigApp application(argc, argv);
    return application.InitInstance();
}
