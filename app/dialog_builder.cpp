// Turns a dialog template into widgets.
#include "dialog_builder.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "group_navigation.h"
#include "list_accessible.h"
#include "template_style.h"

namespace kov {

namespace {

constexpr int kMinVisibleItems = 3;

// A list as its template draws it. Closed, it is the style's own; its drop-down part (the
// template's look and row count) is made when the list first opens, not at start: giving a list a
// style, or measuring its rows, builds the whole popup.
class TemplateList : public QComboBox {
public:
    TemplateList(int templateHeight, QWidget* parent) : QComboBox(parent), templateHeight_(templateHeight) {}

    void showPopup() override {
        if (!dropDownMade_) {
            dropDownMade_ = true;
            setStyle(TemplateStyleInstance());
            setMaxVisibleItems(VisibleItems());
        }
        QComboBox::showPopup();
    }

private:
    // The rows it shows dropped down: what its template height leaves below the closed list.
    int VisibleItems() {
        const bool empty = count() == 0;
        if (empty) addItem(QStringLiteral("X"));  // a row to measure
        const int row = std::max(1, view()->sizeHintForRow(0));
        if (empty) clear();
        return std::max(kMinVisibleItems, (templateHeight_ - sizeHint().height()) / row);
    }

    int templateHeight_;
    bool dropDownMade_ = false;
};

QWidget* CreateControl(QDialog& window, const ControlTemplate& control, const QRect& pixels, const QString& text) {
    switch (control.type) {
        case ControlType::DefaultPushButton:
        case ControlType::PushButton: {
            auto* button = new QPushButton(text, &window);
            button->setDefault(control.type == ControlType::DefaultPushButton);
            return button;
        }
        case ControlType::DropDownList: {
            // The rectangle's height holds the dropped-down list; closed, the list has its own height.
            auto* list = new TemplateList(pixels.height(), &window);
            list->setProperty(kNamedListProperty, true);
            return list;
        }
        case ControlType::StaticText: {
            auto* label = new QLabel(text, &window);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            // The settings file's name is shortened in its middle where it does not fit its line.
            const QString shown = control.id == IDC_ABOUT_FILE
                                      ? label->fontMetrics().elidedText(text, Qt::ElideMiddle, pixels.width())
                                      : text;
            if (shown != text) {
                label->setText(shown);
                label->setToolTip(text);
                label->setAccessibleName(text);
            }
            return label;
        }
        case ControlType::CheckBox:
            return new QCheckBox(text, &window);
        case ControlType::RadioButton:
            return new QRadioButton(text, &window);
        case ControlType::GroupBox: {
            auto* box = new QGroupBox(text, &window);
            box->setStyle(TemplateStyleInstance());
            return box;
        }
        case ControlType::Icon: {
            auto* icon = new QLabel(&window);
            icon->setPixmap(window.windowIcon().pixmap(pixels.size()));
            icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            // TRANSLATORS: what a screen reader calls the icon in the About box.
            icon->setAccessibleName(QString::fromUtf8(Tr("Application icon")));
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

BuiltDialog BuildDialog(QDialog& window, const DialogTemplate& dialog, const std::string& fileName) {
    // Rectangles are absolute, as the template gives them: mirroring for right-to-left
    // languages would have to mirror each of them, so the dialog stays left-to-right.
    window.setLayoutDirection(Qt::LeftToRight);
    window.setFont(DialogFont(dialog));
    InstallNamedListAccessibility();
    window.setWindowTitle(QString::fromStdString(ShownText(dialog.title)));
    window.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint);
    BuiltDialog built{BaseUnitsOf(QFontMetrics(window.font())), {}};
    window.setFixedSize(DluToPixelsX(dialog.width, built.base), DluToPixelsY(dialog.height, built.base));

    std::vector<QWidget*> widgets;
    for (const ControlTemplate& control : dialog.controls) {
        const QRect pixels = DluToPixels(control.rect, built.base);
        QWidget* widget = CreateControl(window, control, pixels, QString::fromStdString(ShownText(control.text, fileName)));
        widget->setProperty(kControlIdProperty, control.id);
        widget->setGeometry(control.type == ControlType::DropDownList
                                ? QRect(pixels.topLeft(), QSize(pixels.width(), widget->sizeHint().height()))
                                : pixels);
        if (control.type == ControlType::GroupBox) widget->lower();  // a frame behind the controls it surrounds
        if (control.id != IDC_STATIC) built.controls[control.id] = widget;
        widgets.push_back(widget);
    }

    const auto widgetOf = [&](const ControlTemplate* control) { return widgets[static_cast<std::size_t>(control - dialog.controls.data())]; };
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        const ControlTemplate& control = dialog.controls[i];
        // A list is named by its label (the dialog's table of them).
        if (const char* label = LabelOfList(control.id)) {
            for (const ControlTemplate& text : dialog.controls)
                if (text.text == label) static_cast<QLabel*>(widgetOf(&text))->setBuddy(widgets[i]);
            widgets[i]->setAccessibleName(QString::fromStdString(ShownText(label)).trimmed());
        }
    }
    // A group box holds the controls it frames, so that its caption names their group for
    // assistive technology; their place in the window stays where it was.
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        const ControlTemplate* group = GroupOf(dialog, dialog.controls[i]);
        if (group == nullptr) continue;
        QWidget* box = widgetOf(group);
        const QPoint at = widgets[i]->pos() - box->pos();
        widgets[i]->setParent(box);
        widgets[i]->move(at);
    }

    // After the moves into group boxes, which would reorder the chain.
    QWidget* previousTabStop = nullptr;
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        const ControlTemplate& control = dialog.controls[i];
        // The radio buttons are not tab stops; the checked one joins the chain after the last
        // tab stop before it (the dialog makes it a tab stop), the other is reached with the arrow keys.
        if (control.tabStop || control.type == ControlType::RadioButton) {
            widgets[i]->setFocusPolicy(control.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
            if (previousTabStop != nullptr) QWidget::setTabOrder(previousTabStop, widgets[i]);
            previousTabStop = widgets[i];
        } else {
            widgets[i]->setFocusPolicy(Qt::NoFocus);
        }
    }
    InstallGroupNavigation(dialog, widgets);
    return built;
}

}  // namespace kov
