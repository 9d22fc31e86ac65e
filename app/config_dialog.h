// The settings dialog: owns the configuration store, shows the settings on the controls of
// its template, writes each player change into the store at once and the file on OK.
#pragma once

#include <QDialog>
#include <map>

#include "config_file.h"
#include "configuration_store.h"
#include "settings_panel.h"

class QAbstractButton;
class QComboBox;
class QMenu;

namespace kov {

class ConfigDialog : public QDialog, public SettingsPanel {
public:
    // Reads the file; when it exists but cannot be read, asks first whether to quit.
    explicit ConfigDialog(QWidget* parent = nullptr);
    // The player chose to quit at opening: the dialog is not to be shown, and nothing is saved.
    bool PlayerQuit() const { return playerQuit_; }

    // SettingsPanel on the real controls; setting a control from code notifies nobody.
    void SetListPosition(int32_t control, int32_t position) override;
    int32_t GetListPosition(int32_t control) override;
    void SetCheck(int32_t control, int32_t state) override;
    int32_t GetCheck(int32_t control) override;
    void SetEnabled(int32_t control, bool enabled) override;
    void Redraw() override;

    QWidget* Control(int32_t control) const;
    // The window's menu, holding the About item (the context menu of the dialog).
    QMenu* WindowMenu() const { return windowMenu_; }
    // Opens the About box modally and returns when it closes.
    void ShowAbout();

    // OK: saves the file, after asking when it changed since opening or when lines that were read
    // cannot be kept; the dialog stays open when the player cancels or the save fails.
    void accept() override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void OnInitDialog();
    void ConnectNotifications();
    void Notify(int32_t control);
    void ShowWindowMenu(const QPoint& globalPosition);
    QComboBox* List(int32_t control) const;
    QAbstractButton* Button(int32_t control) const;
    // Asks a question whose first button is the safe answer; true for the other one.
    bool Ask(const std::string& text, const char* safeButton, const char* otherButton);

    ConfigurationStore store_;
    ConfigFile file_;     // kov.ini in the folder that was current when the dialog opened
    ReadReport dropped_;  // what reading could not keep
    bool playerQuit_ = false;
    std::map<int32_t, QWidget*> controls_;
    QMenu* windowMenu_ = nullptr;
};

// Reports that memory ran out and ends the program without touching the file.
[[noreturn]] void ExitOutOfMemory();

}  // namespace kov
