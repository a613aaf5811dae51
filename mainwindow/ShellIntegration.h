#pragma once
// The "Search files for a specific string" verb on every folder in Explorer. It is written
// per user (HKEY_CURRENT_USER\Software\Classes), which the shell merges into
// HKEY_CLASSES_ROOT: a standard user cannot write the machine-wide classes. Looking it up
// goes through HKEY_CLASSES_ROOT, so a machine-wide verb left by an older install counts too,
// and through the per-user classes themselves, which Wine does not merge in.
#include "controls/GlyphCheck.h"

#include <windows.h>

#include <string>

namespace quennet {

// Where the verb is written and looked up; tests point these at keys of their own.
struct ShellVerbKeys {
    HKEY userRoot = HKEY_CURRENT_USER;   // the per-user classes are "Software\Classes" below it
    HKEY mergedRoot = HKEY_CLASSES_ROOT; // what the shell sees
};

// "\"<full path of this program>\" \"%1\"".
std::string ShellVerbCommandLine();

// Start-up: whether the verb's command key is visible (the caller then ticks
// IntegrateIntoShell with SetChecked, no event, no sound); if so the per-user command is
// rewritten to point at the program that runs now. Every failure is silent.
bool RefreshShellVerb(const ShellVerbKeys& keys = {});

// Makes the registry follow the check box: checked writes the verb and its command,
// unchecked deletes the per-user verb and then, silently, a machine-wide one still visible.
// A failed write raises ERegistryException "Failed to set data for ''", which the runtime
// shows in its error box; the box stays checked.
void ApplyShellIntegration(bool checked, const ShellVerbKeys& keys = {});

// The handlers of IntegrateIntoShell. The box raises OnMouseDown only for the left button,
// after it has toggled itself. KeyDown: Space toggles the box without sound, then any key
// re-applies the state; the caller passes the key on to the panel's key handling afterwards.
void IntegrateIntoShellMouseDown(const TGlyphCheck& box);
void IntegrateIntoShellKeyDown(TGlyphCheck& box, WORD key);

} // namespace quennet
