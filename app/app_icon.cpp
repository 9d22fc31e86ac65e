// The application icon.
#include "app_icon.h"

namespace kov {

QIcon AppIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/kovconfig/icon-32.xpm"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/kovconfig/icon-16.xpm"), QSize(16, 16));
    for (const int size : {48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/kovconfig/icons/kovconfig-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace kov
