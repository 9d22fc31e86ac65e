// The look the dialog templates ask of any style: a group box's caption sits on its frame's
// top line, which is broken behind it, and a list drops down below itself with no more rows
// than its template height leaves room for. Everything else is the active style's own.
#pragma once

#include <QProxyStyle>
#include <map>

namespace kov {

class TemplateStyle : public QProxyStyle {
public:
    // Over a new instance of the style of that name (the application's, as a rule).
    explicit TemplateStyle(const QString& baseStyleName);

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                         const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override;

private:
    mutable std::map<int, int> frameOffsets_;  // by font height: how far below its top the style draws a frame
};

// One instance over the application's current style, made when first asked for and owned by
// the application.
QStyle* TemplateStyleInstance();

}  // namespace kov
