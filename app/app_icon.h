// The application icon, 32 by 32 and 16 by 16 pixels, from the program's resources.
#pragma once

#include <QIcon>

namespace kov {

QIcon AppIcon();

}  // namespace kov
