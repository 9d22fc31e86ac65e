// The About box: the icon, a notice line, a credits line and OK.
#pragma once

#include <QDialog>

namespace kov {

class AboutDialog : public QDialog {
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace kov
