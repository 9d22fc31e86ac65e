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
#include <cstdio>
#include <cstdlib>

#include "about_dialog.h"
#include "app_icon.h"
#include "dialog_builder.h"
#include "file_messages.h"
#include "settings.h"
#include "settings_table.h"

namespace kov {

void ExitOutOfMemory() {
    std::fputs("kovconfig: out of memory; the settings were not saved\n", stderr);
    std::_Exit(EXIT_FAILURE);
}

ConfigDialog::ConfigDialog(QWidget* parent) : QDialog(parent) {
    setWindowIcon(AppIcon());
    controls_ = BuildDialog(*this, kConfigDialogTemplate).controls;
    for (const int32_t radio : {IDC_SOFTWARE_RENDERING, IDC_GLIDE_RENDERING})
        connect(Button(radio), &QAbstractButton::toggled, this, [this] { FollowCheckedRadio(controls_); });
    // The lists are filled before the settings select positions in them.
    for (const ListItems& list : kListItems)
        for (const char* item : list.items) List(list.control)->addItem(QString::fromLatin1(item));

    windowMenu_ = new QMenu(this);
    windowMenu_->addAction(QString::fromLatin1(kAboutMenuText), this, &ConfigDialog::ShowAbout);
    // The keyboard's ways to the window menu.
    for (const QKeySequence& keys : {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] {
            const QWidget* focus = focusWidget() != nullptr ? focusWidget() : this;
            ShowWindowMenu(focus->mapToGlobal(focus->rect().center()));
        });
    }

    OnInitDialog();
    ConnectNotifications();
}

void ConfigDialog::OnInitDialog() {
    try {
        const OpenResult opened = file_.Read(store_);
        if (opened.outcome == OpenOutcome::Unreadable &&
            !Ask(UnreadableMessage(file_.DisplayName(), opened), kQuitButton, kUseDefaultsButton)) {
            playerQuit_ = true;
            return;
        }
        dropped_ = opened.dropped;
        ApplyOpeningRules(*this, LoadSettings(store_, *this));
    } catch (const ConfigurationException&) {
        ExitOutOfMemory();
    }
}

void ConfigDialog::ConnectNotifications() {
    // Only the player's own changes: activated and clicked are not emitted for changes from code.
    for (const ControlBinding& binding : kControls) {
        const int32_t id = binding.control;
        if (binding.kind == ControlKind::List)
            connect(List(id), &QComboBox::activated, this, [this, id] { Notify(id); });
        else
            connect(Button(id), &QAbstractButton::clicked, this, [this, id] { Notify(id); });
    }
    connect(Button(IDOK), &QAbstractButton::clicked, this, &ConfigDialog::accept);
    connect(Button(IDCANCEL), &QAbstractButton::clicked, this, &ConfigDialog::reject);
}

void ConfigDialog::Notify(int32_t control) {
    // Nothing may be thrown through the event loop; the store throws only when memory runs out.
    try {
        OnUserChange(store_, *this, control);
    } catch (const ConfigurationException&) {
        ExitOutOfMemory();
    }
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
    FollowCheckedRadio(controls_);
}

int32_t ConfigDialog::GetCheck(int32_t control) {
    const QAbstractButton* button = Button(control);
    return button != nullptr && button->isChecked() ? 1 : 0;
}

void ConfigDialog::SetEnabled(int32_t control, bool enabled) {
    if (QWidget* widget = Control(control)) widget->setEnabled(enabled);
}

void ConfigDialog::Redraw() { repaint(); }

void ConfigDialog::ShowAbout() {
    AboutDialog about(this);
    about.exec();
}

void ConfigDialog::ShowWindowMenu(const QPoint& globalPosition) { windowMenu_->exec(globalPosition); }

void ConfigDialog::contextMenuEvent(QContextMenuEvent* event) {
    ShowWindowMenu(event->globalPos());
    event->accept();
}

bool ConfigDialog::Ask(const std::string& text, const char* safeButton, const char* otherButton) {
    QMessageBox box(QMessageBox::Warning, windowTitle(), QString::fromStdString(text), QMessageBox::NoButton, this);
    box.setTextFormat(Qt::PlainText);  // file names are shown as they are, never as markup
    QPushButton* safe = box.addButton(QString::fromLatin1(safeButton), QMessageBox::RejectRole);
    QPushButton* other = box.addButton(QString::fromLatin1(otherButton), QMessageBox::AcceptRole);
    box.setDefaultButton(safe);
    box.setEscapeButton(safe);  // Escape and the close box too
    box.exec();
    return box.clickedButton() == other;
}

void ConfigDialog::accept() {
    if (file_.ChangedSinceRead() && !Ask(ChangedMessage(file_.DisplayName()), kCancelButton, kReplaceButton)) return;
    if (dropped_.droppedLines > 0 &&
        !Ask(DroppedLinesMessage(file_.DisplayName(), dropped_), kCancelButton, kSaveButton))
        return;
    std::string text;
    try {
        text = store_.WriteToString();
    } catch (const ConfigurationException&) {
        ExitOutOfMemory();
    }
    const SaveResult result = file_.Save(text);
    if (!result.fileUnchanged) dropped_ = {};  // the new text is in place: nothing left to drop
    if (!result.saved) {
        // Window-modal and open: the player reads it, mends the cause, and presses OK or Cancel again.
        auto* box = new QMessageBox(QMessageBox::Critical, windowTitle(),
                                    QString::fromStdString(SaveFailedMessage(file_.DisplayName(), result)),
                                    QMessageBox::Ok, this);
        box->setTextFormat(Qt::PlainText);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    QDialog::accept();
}

}  // namespace kov
