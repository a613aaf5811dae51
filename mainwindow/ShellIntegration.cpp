#include "mainwindow/ShellIntegration.h"

#include "runtime/CommandLine.h"
#include "runtime/Registry.h"

namespace quennet {

namespace {
const std::string kVerb = "Search files for a specific string";
const std::string kUserClasses = "Software\\Classes\\";
const std::string kVerbKey = "Folder\\shell\\" + kVerb;
const std::string kCommandKey = kVerbKey + "\\command\\";

void WriteUserCommand(const ShellVerbKeys& keys) {
    TRegistry user(keys.userRoot);
    user.OpenKey(kUserClasses + kCommandKey, true); // a failure shows in the write below
    user.WriteString("", ShellVerbCommandLine());
}
} // namespace

std::string ShellVerbCommandLine() {
    return "\"" + ExeName() + "\" \"%1\"";
}

bool RefreshShellVerb(const ShellVerbKeys& keys) {
    // The per-user key is asked directly too: Wine's HKEY_CLASSES_ROOT does not show the
    // per-user classes, where Windows merges them in.
    TRegistry user(keys.userRoot, KEY_READ);
    TRegistry merged(keys.mergedRoot, KEY_READ);
    if (!user.KeyExists(kUserClasses + kCommandKey) && !merged.KeyExists(kCommandKey))
        return false;
    try {
        // The verb follows the program when it has been moved or renamed.
        WriteUserCommand(keys);
    } catch (const ERegistryException&) {
    }
    return true;
}

void ApplyShellIntegration(bool checked, const ShellVerbKeys& keys) {
    if (checked) {
        WriteUserCommand(keys);
        return;
    }
    TRegistry(keys.userRoot).DeleteKey(kUserClasses + kVerbKey);
    // A machine-wide verb (an older install's) still shows through the merged view; removing
    // it needs rights the user may not have, and failing is silent.
    TRegistry merged(keys.mergedRoot);
    if (merged.KeyExists(kVerbKey))
        merged.DeleteKey(kVerbKey);
}

void IntegrateIntoShellMouseDown(const TGlyphCheck& box) {
    ApplyShellIntegration(box.Checked());
}

void IntegrateIntoShellKeyDown(TGlyphCheck& box, WORD key) {
    if (key == VK_SPACE)
        box.SetChecked(!box.Checked());
    // Any other key applies the state again, which changes nothing.
    ApplyShellIntegration(box.Checked());
}

} // namespace quennet
