// The look the dialog templates ask of any style.
#include "template_style.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>

namespace kov {

namespace {

// The caption's distance from the frame's left edge, and the gap kept on each side of it.
int CaptionIndent(const QFontMetrics& metrics) { return metrics.averageCharWidth(); }
int CaptionGap(const QFontMetrics& metrics) { return std::max(2, metrics.averageCharWidth() / 3); }

// Some styles draw a group box frame lower than the rectangle they are given, to leave room for
// a caption above it. How much lower is found by drawing one.
int FrameDrawnBelowTop(const QStyle& style, const QStyleOptionFrame& frame, const QWidget* widget) {
    QImage image(64, 4 * frame.fontMetrics.height() + 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QStyleOptionFrame probe = frame;
    probe.rect = image.rect();
    {
        QPainter painter(&image);
        style.drawPrimitive(QStyle::PE_FrameGroupBox, &probe, &painter, widget);
    }
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0) return y;
    return 0;
}

}  // namespace

TemplateStyle::TemplateStyle(const QString& baseStyleName) : QProxyStyle(QStyleFactory::create(baseStyleName)) {}

int TemplateStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                             QStyleHintReturn* returnData) const {
    // A popup menu over the list would ignore the row count; a list below it keeps it.
    if (hint == SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

QRect TemplateStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                                    const QWidget* widget) const {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || box == nullptr || (box->subControls & SC_GroupBoxCheckBox))
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    const QFontMetrics& metrics = option->fontMetrics;
    const QRect& all = option->rect;
    const int lineY = metrics.height() / 2;  // the frame's top line runs through the caption's middle
    switch (subControl) {
        case SC_GroupBoxLabel: {
            const int width = std::min(metrics.horizontalAdvance(box->text) + 1, all.width() - 2 * CaptionIndent(metrics));
            return visualRect(option->direction, all,
                              QRect(all.left() + CaptionIndent(metrics), all.top(), std::max(0, width), metrics.height()));
        }
        case SC_GroupBoxFrame:
            return all.adjusted(0, lineY, 0, 0);
        case SC_GroupBoxContents:
            return all.adjusted(2, metrics.height(), -2, -2);
        default:
            return QProxyStyle::subControlRect(control, option, subControl, widget);
    }
}

void TemplateStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                       const QWidget* widget) const {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || box == nullptr || (box->subControls & SC_GroupBoxCheckBox)) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QRect caption = subControlRect(CC_GroupBox, option, SC_GroupBoxLabel, widget);
    if (box->subControls & SC_GroupBoxFrame) {
        QStyleOptionFrame frame;
        frame.QStyleOption::operator=(*box);
        frame.features = box->features;
        frame.lineWidth = box->lineWidth;
        frame.midLineWidth = box->midLineWidth;
        frame.rect = subControlRect(CC_GroupBox, option, SC_GroupBoxFrame, widget);
        // Measured once per font height: the same for every group box of a dialog.
        const int height = box->fontMetrics.height();
        auto measured = frameOffsets_.find(height);
        if (measured == frameOffsets_.end())
            measured = frameOffsets_.emplace(height, FrameDrawnBelowTop(*baseStyle(), frame, widget)).first;
        frame.rect.setTop(frame.rect.top() - measured->second);
        painter->save();
        QRegion visible(option->rect);
        if (!box->text.isEmpty()) {
            const int gap = CaptionGap(option->fontMetrics);
            visible -= caption.adjusted(-gap, 0, gap, 0);
        }
        painter->setClipRegion(visible);
        proxy()->drawPrimitive(PE_FrameGroupBox, &frame, painter, widget);
        painter->restore();
    }
    if ((box->subControls & SC_GroupBoxLabel) && !box->text.isEmpty())
        proxy()->drawItemText(painter, caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextHideMnemonic,
                              box->palette, box->state & State_Enabled, box->text, QPalette::WindowText);
}

QStyle* TemplateStyleInstance() {
    static QPointer<QStyle> instance;
    static QString baseName;
    if (instance.isNull() || baseName != QApplication::style()->name()) {
        baseName = QApplication::style()->name();
        instance = new TemplateStyle(baseName);
        instance->setParent(qApp);
    }
    return instance;
}

}  // namespace kov
