// Builds a dialog's widgets from its template: font, title, fixed size, controls at their
// pixel rectangles, and the tab order.
#pragma once

#include <QDialog>
#include <map>

#include "dialog_template.h"
#include "dialog_units.h"

namespace kov {

// The property that holds each control's identifier, so that tests and tools can find it.
inline constexpr const char* kControlIdProperty = "controlId";

// The template's font: its point size in the platform's default sans-serif family.
QFont DialogFont(const DialogTemplate& dialog);

struct BuiltDialog {
    DialogBaseUnits base;
    std::map<int32_t, QWidget*> controls;  // by identifier, IDC_STATIC ones left out
};

BuiltDialog BuildDialog(QDialog& window, const DialogTemplate& dialog);

}  // namespace kov
