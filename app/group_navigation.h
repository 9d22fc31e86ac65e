// The arrow keys within a template's groups, the way a dialog manager moves them: from a
// button, Down and Right go to the next control of its group that can take focus, Up and Left
// to the previous one, round the group; a radio button reached so is clicked. A group runs from
// a control marked as starting one to the next such control, in template order.
#pragma once

#include <QWidget>
#include <vector>

#include "dialog_template.h"

namespace kov {

// widgets: the template's controls, in its order.
void InstallGroupNavigation(const DialogTemplate& dialog, const std::vector<QWidget*>& widgets);

}  // namespace kov
