// The settings dialog on Qt: the controls of its template, the window's side of the dialog's
// steps (list items, Tab stops, questions and messages), the About box and the window menu.
// What happens on opening, on a change and on OK is the controller's.
#pragma once

#include <QDialog>
#include <map>

#include "dialog_controller.h"

class QAbstractButton;
class QComboBox;
class QMenu;

namespace kov {

class ConfigDialog : public QDialog, public DialogWindow {
public:
    // Builds the widgets only; nothing is read or asked yet.
    explicit ConfigDialog(QWidget* parent = nullptr);
    // The opening step: reads the file and shows its settings, first asking whether to quit when
    // it exists but cannot be read. False when the player chose to quit (or the folder cannot be
    // used): the dialog is not to be shown, and nothing is saved.
    bool Open();

    // SettingsPanel on the real controls; setting a control from code notifies nobody.
    void SetListPosition(int32_t control, int32_t position) override;
    int32_t GetListPosition(int32_t control) override;
    void SetCheck(int32_t control, int32_t state) override;
    int32_t GetCheck(int32_t control) override;
    void SetEnabled(int32_t control, bool enabled) override;
    void Redraw() override;
    // The rest of the window's side.
    void AddListItem(int32_t control, const char* text) override;
    void SetTabStop(int32_t control, bool tabStop) override;
    bool Ask(const Question& question) override;
    void ShowMessage(const std::string& text) override;

    QWidget* Control(int32_t control) const;
    // The window's menu, holding the About item (the context menu of the dialog).
    QMenu* WindowMenu() const { return windowMenu_; }
    // Opens the About box modally and returns when it closes.
    void ShowAbout();

    // OK: closes the dialog once the settings are saved; stays open otherwise.
    void accept() override;

protected:
    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ConnectNotifications();
    void ShowWindowMenu(const QPoint& globalPosition);
    QComboBox* List(int32_t control) const;
    QAbstractButton* Button(int32_t control) const;

    DialogController controller_;  // holds the store: built with the dialog, cleared with it
    bool opening_ = false;  // the dialog is not shown yet
    bool iconGiven_ = false;
    std::map<int32_t, QWidget*> controls_;
    QMenu* windowMenu_ = nullptr;
};

}  // namespace kov
