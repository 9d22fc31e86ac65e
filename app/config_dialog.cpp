// The settings dialog.
#include "config_dialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>

#include "about_dialog.h"
#include "app_icon.h"
#include "dialog_builder.h"
#include "settings_table.h"

namespace kov {

ConfigDialog::ConfigDialog(QWidget* parent) : QDialog(parent), controller_(*this) {
    controls_ = BuildDialog(*this, kConfigDialogTemplate).controls;

    windowMenu_ = new QMenu(this);
    windowMenu_->addAction(QString::fromUtf8(Tr(kAboutMenuText)), this, &ConfigDialog::ShowAbout);
    // The keyboard's ways to the window menu.
    for (const QKeySequence& keys : {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] {
            const QWidget* focus = focusWidget() != nullptr ? focusWidget() : this;
            ShowWindowMenu(focus->mapToGlobal(focus->rect().center()));
        });
    }

    ConnectNotifications();
}

bool ConfigDialog::Open() {
    opening_ = true;
    const bool opened = controller_.Open();
    opening_ = false;
    return opened;
}

void ConfigDialog::ConnectNotifications() {
    // Only the player's own changes: activated and clicked are not emitted for changes from code.
    for (const ControlBinding& binding : kControls) {
        const int32_t id = binding.control;
        if (binding.kind == ControlKind::List)
            connect(List(id), &QComboBox::activated, this, [this, id] { controller_.Change(id); });
        else
            connect(Button(id), &QAbstractButton::clicked, this, [this, id] { controller_.Change(id); });
    }
    connect(Button(IDOK), &QAbstractButton::clicked, this, &ConfigDialog::accept);
    connect(Button(IDCANCEL), &QAbstractButton::clicked, this, &ConfigDialog::reject);
}

QWidget* ConfigDialog::Control(int32_t control) const {
    const auto found = controls_.find(control);
    return found != controls_.end() ? found->second : nullptr;
}

QComboBox* ConfigDialog::List(int32_t control) const { return qobject_cast<QComboBox*>(Control(control)); }
QAbstractButton* ConfigDialog::Button(int32_t control) const {
    return qobject_cast<QAbstractButton*>(Control(control));
}

void ConfigDialog::SetListPosition(int32_t control, int32_t position) {
    QComboBox* list = List(control);
    if (list == nullptr) return;
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
}

int32_t ConfigDialog::GetListPosition(int32_t control) {
    const QComboBox* list = List(control);
    return list != nullptr ? list->currentIndex() : -1;
}

void ConfigDialog::SetCheck(int32_t control, int32_t state) {
    QAbstractButton* button = Button(control);
    if (button == nullptr) return;
    const QSignalBlocker blocker(button);
    // Like a check message, this sets only this button: exclusivity is the player's clicks' rule.
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(state != 0);
    button->setAutoExclusive(exclusive);
}

int32_t ConfigDialog::GetCheck(int32_t control) {
    const QAbstractButton* button = Button(control);
    return button != nullptr && button->isChecked() ? 1 : 0;
}

void ConfigDialog::SetEnabled(int32_t control, bool enabled) {
    if (QWidget* widget = Control(control)) widget->setEnabled(enabled);
}

void ConfigDialog::Redraw() { repaint(); }

void ConfigDialog::AddListItem(int32_t control, const char* text) {
    if (QComboBox* list = List(control)) list->addItem(QString::fromUtf8(text));
}

void ConfigDialog::SetTabStop(int32_t control, bool tabStop) {
    // Not a tab stop, a control is still focused by a click or the arrow keys of its group.
    if (QWidget* widget = Control(control)) widget->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool ConfigDialog::Ask(const Question& question) {
    QMessageBox box(QMessageBox::Warning, windowTitle(), QString::fromStdString(question.text), QMessageBox::NoButton,
                    this);
    box.setTextFormat(Qt::PlainText);  // file names are shown as they are, never as markup
    QPushButton* safe = box.addButton(QString::fromUtf8(question.safeButton), QMessageBox::RejectRole);
    QPushButton* other = box.addButton(QString::fromUtf8(question.otherButton), QMessageBox::AcceptRole);
    box.setDefaultButton(safe);
    box.setEscapeButton(safe);  // Escape and the close box too
    box.exec();
    return box.clickedButton() == other;
}

void ConfigDialog::ShowMessage(const std::string& text) {
    auto* box = new QMessageBox(QMessageBox::Critical, windowTitle(), QString::fromStdString(text), QMessageBox::Ok, this);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (opening_) {
        box->exec();  // before the dialog is shown: the program may end right after it
        return;
    }
    // Window-modal and open: the player reads it, mends the cause, and presses OK or Cancel again.
    box->open();
}

void ConfigDialog::ShowAbout() {
    AboutDialog about(controller_.FileName(), this);
    about.exec();
}

void ConfigDialog::ShowWindowMenu(const QPoint& globalPosition) { windowMenu_->exec(globalPosition); }

bool ConfigDialog::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    // The icon comes right after the first paint, which does not need it: under X the window
    // system takes every size of it at once, which would otherwise hold up the dialog's start.
    if (event->type() == QEvent::Paint && !iconGiven_) {
        iconGiven_ = true;
        QTimer::singleShot(0, this, [this] { setWindowIcon(AppIcon()); });
    }
    return handled;
}

void ConfigDialog::contextMenuEvent(QContextMenuEvent* event) {
    ShowWindowMenu(event->globalPos());
    event->accept();
}

void ConfigDialog::accept() {
    if (controller_.Ok()) QDialog::accept();
}

}  // namespace kov
