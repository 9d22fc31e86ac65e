// The application icon from the program's resources: 16 and 32 pixel 16-colour images, and
// 48 to 256 pixel ones for dense screens and large icon views.
#pragma once

#include <QIcon>

namespace kov {

QIcon AppIcon();

}  // namespace kov
