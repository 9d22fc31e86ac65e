// Turns a dialog template into widgets.
#include "dialog_builder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

namespace kov {

namespace {

QWidget* CreateControl(QDialog& window, const ControlTemplate& control, const QRect& pixels) {
    const QString text = QString::fromLatin1(control.text);
    switch (control.type) {
        case ControlType::DefaultPushButton:
        case ControlType::PushButton: {
            auto* button = new QPushButton(text, &window);
            button->setDefault(control.type == ControlType::DefaultPushButton);
            return button;
        }
        case ControlType::DropDownList: {
            auto* list = new QComboBox(&window);
            // The rectangle's height holds the dropped-down list; closed, the list has its own height.
            const int closed = list->sizeHint().height();
            list->setMaxVisibleItems(std::max(1, (pixels.height() - closed) / list->fontMetrics().height()));
            return list;
        }
        case ControlType::StaticText: {
            auto* label = new QLabel(text, &window);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case ControlType::CheckBox:
            return new QCheckBox(text, &window);
        case ControlType::RadioButton:
            return new QRadioButton(text, &window);
        case ControlType::GroupBox: {
            auto* box = new QGroupBox(text, &window);
            box->setAttribute(Qt::WA_TransparentForMouseEvents);
            return box;
        }
        case ControlType::Icon: {
            auto* icon = new QLabel(&window);
            icon->setPixmap(window.windowIcon().pixmap(32, 32));
            icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return icon;
        }
    }
    return nullptr;
}

}  // namespace

QFont DialogFont(const DialogTemplate& dialog) {
    QFont font(QStringLiteral("Sans Serif"), dialog.pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

BuiltDialog BuildDialog(QDialog& window, const DialogTemplate& dialog) {
    window.setFont(DialogFont(dialog));
    window.setWindowTitle(QString::fromLatin1(dialog.title));
    window.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint);
    BuiltDialog built{BaseUnitsOf(QFontMetrics(window.font())), {}};
    window.setFixedSize(DluToPixelsX(dialog.width, built.base), DluToPixelsY(dialog.height, built.base));

    QWidget* previousTabStop = nullptr;
    for (const ControlTemplate& control : dialog.controls) {
        const QRect pixels = DluToPixels(control.rect, built.base);
        QWidget* widget = CreateControl(window, control, pixels);
        widget->setProperty(kControlIdProperty, control.id);
        widget->setGeometry(control.type == ControlType::DropDownList
                                ? QRect(pixels.topLeft(), QSize(pixels.width(), widget->sizeHint().height()))
                                : pixels);
        if (control.type == ControlType::GroupBox) widget->lower();  // a frame behind the controls it surrounds
        if (control.tabStop) {
            widget->setFocusPolicy(Qt::StrongFocus);
            if (previousTabStop != nullptr) QWidget::setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        } else if (control.type == ControlType::RadioButton) {
            widget->setFocusPolicy(Qt::ClickFocus);  // reached by clicking or the arrow keys, not by Tab
        } else {
            widget->setFocusPolicy(Qt::NoFocus);
        }
        if (control.id != IDC_STATIC) built.controls[control.id] = widget;
    }
    return built;
}

}  // namespace kov
