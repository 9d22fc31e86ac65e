// The arrow keys within a template's groups.
#include "group_navigation.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QRadioButton>

namespace kov {

namespace {

class GroupNavigator : public QObject {
public:
    GroupNavigator(std::vector<QWidget*> widgets, std::vector<int> groups, QObject* parent)
        : QObject(parent), widgets_(std::move(widgets)), groups_(std::move(groups)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        int step;
        switch (key->key()) {
            case Qt::Key_Down:
            case Qt::Key_Right:
                step = 1;
                break;
            case Qt::Key_Up:
            case Qt::Key_Left:
                step = -1;
                break;
            default:
                return false;
        }
        const auto at = std::find(widgets_.begin(), widgets_.end(), watched);
        if (at == widgets_.end()) return false;
        Move(static_cast<int>(at - widgets_.begin()), step);
        return true;
    }

private:
    void Move(int from, int step) {
        const int count = static_cast<int>(widgets_.size());
        for (int i = (from + step + count) % count; i != from; i = (i + step + count) % count) {
            QWidget* candidate = widgets_[static_cast<std::size_t>(i)];
            if (groups_[static_cast<std::size_t>(i)] != groups_[static_cast<std::size_t>(from)]) continue;
            if (!candidate->isEnabled() || candidate->isHidden() || candidate->focusPolicy() == Qt::NoFocus) continue;
            candidate->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            if (auto* radio = qobject_cast<QRadioButton*>(candidate)) radio->click();
            return;
        }
    }

    std::vector<QWidget*> widgets_;
    std::vector<int> groups_;
};

}  // namespace

void InstallGroupNavigation(const DialogTemplate& dialog, const std::vector<QWidget*>& widgets) {
    if (widgets.empty()) return;
    std::vector<int> groups;
    int group = 0;
    for (const ControlTemplate& control : dialog.controls) {
        if (control.group && !groups.empty()) ++group;
        groups.push_back(group);
    }
    auto* navigator = new GroupNavigator(widgets, groups, widgets.front()->window());
    // Lists keep their arrow keys for choosing an item.
    for (QWidget* widget : widgets)
        if (qobject_cast<QAbstractButton*>(widget)) widget->installEventFilter(navigator);
}

}  // namespace kov
