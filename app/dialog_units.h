// Dialog units to pixels, the way the Windows dialog manager maps them from the dialog font.
#pragma once

#include <QFontMetrics>
#include <QRect>

#include "dialog_template.h"

namespace kov {

struct DialogBaseUnits {
    int x;  // the average width of the 52 letters A-Z a-z, rounded
    int y;  // the font's height
};

DialogBaseUnits BaseUnitsOf(const QFontMetrics& metrics);
// Each coordinate on its own: horizontal ones times x / 4, vertical ones times y / 8, rounded.
int DluToPixelsX(int dlu, DialogBaseUnits base);
int DluToPixelsY(int dlu, DialogBaseUnits base);
QRect DluToPixels(const DluRect& rect, DialogBaseUnits base);

}  // namespace kov
