// The About box: the icon, a notice line, a credits line, OK, and the name of the settings file
// the dialog edits.
#pragma once

#include <QDialog>
#include <string>

namespace kov {

class AboutDialog : public QDialog {
public:
    explicit AboutDialog(const std::string& fileName, QWidget* parent = nullptr);
};

}  // namespace kov
