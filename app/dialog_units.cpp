// Dialog units to pixels.
#include "dialog_units.h"

#include <QString>

namespace kov {

namespace {

// a * b / c rounded half away from zero, like the Windows MulDiv.
int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

DialogBaseUnits BaseUnitsOf(const QFontMetrics& metrics) {
    static const QString kAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return {MulDiv(metrics.horizontalAdvance(kAlphabet), 1, 52), metrics.height()};
}

int DluToPixelsX(int dlu, DialogBaseUnits base) { return MulDiv(dlu, base.x, 4); }
int DluToPixelsY(int dlu, DialogBaseUnits base) { return MulDiv(dlu, base.y, 8); }

QRect DluToPixels(const DluRect& rect, DialogBaseUnits base) {
    return {DluToPixelsX(rect.left, base), DluToPixelsY(rect.top, base), DluToPixelsX(rect.width, base),
            DluToPixelsY(rect.height, base)};
}

}  // namespace kov
