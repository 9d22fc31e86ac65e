// The settings logic: loading the stored settings into the controls, writing each user
// change back into the store at once, and the sound-card rules that enable and disable
// the audio controls. Everything goes through SettingsPanel, nothing touches the file.
#pragma once

#include <cstdint>

#include "configuration_store.h"
#include "control_ids.h"
#include "settings_panel.h"

namespace kov {

// Reads the twelve settings (creating each missing one with its default), sets the thirteen
// controls, and returns the position computed for the sound-card list (-1 for an unknown type).
int32_t LoadSettings(ConfigurationStore& store, SettingsPanel& panel);

// The one entry point for a user's change of a control: a list's selection changed, or a
// box or radio button was clicked. Identifiers of other controls are ignored.
void OnUserChange(ConfigurationStore& store, SettingsPanel& panel, int32_t control);

// Stores the sound-card type for list position p; a position outside the list stores nothing.
void StoreSoundCardType(ConfigurationStore& store, int32_t p);

// The enabled states when the dialog opens, for the position LoadSettings returned.
void ApplyOpeningRules(SettingsPanel& panel, int32_t p);
// The enabled states after the player picks position p (-1: nothing selected).
void ApplyChangeRules(SettingsPanel& panel, int32_t p);
// The sound-card list's change handler: rules, store, then a redraw of the whole dialog.
void OnSoundCardTypeChanged(ConfigurationStore& store, SettingsPanel& panel);

}  // namespace kov
