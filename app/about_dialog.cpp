// The About box, built from its template.
#include "about_dialog.h"

#include <QPushButton>

#include "app_icon.h"
#include "dialog_builder.h"

namespace kov {

AboutDialog::AboutDialog(const std::string& fileName, QWidget* parent) : QDialog(parent) {
    setWindowIcon(AppIcon());
    const BuiltDialog built = BuildDialog(*this, kAboutDialogTemplate, fileName);
    connect(static_cast<QPushButton*>(built.controls.at(IDOK)), &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace kov
