// Builds a dialog's widgets from its template: font, title, fixed size, controls at their
// pixel rectangles, and the tab order.
#pragma once

#include <QDialog>
#include <map>
#include <string>

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

// Also: texts in the player's language (with fileName for a {file} placeholder; the About box's
// file line, where too long for its rectangle, is shortened in its middle, and whole in its
// tooltip and accessible name), lists drop down as far as their rectangles allow, group boxes
// hold the controls they frame, lists are named by their labels (the dialog's table of them),
// and the arrow keys move within the template's groups (group_navigation.h).
BuiltDialog BuildDialog(QDialog& window, const DialogTemplate& dialog, const std::string& fileName = {});

}  // namespace kov
