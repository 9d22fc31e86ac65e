// The application icon.
#include "app_icon.h"

namespace kov {

QIcon AppIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/kovconfig/icon-32.xpm"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/kovconfig/icon-16.xpm"), QSize(16, 16));
    return icon;
}

}  // namespace kov
