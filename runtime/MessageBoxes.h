// The program's message boxes. All are modal to the active window of the calling thread.
#pragma once

#include <string>

namespace quennet {

// Invalid input: caption "Error", error icon, one OK button.
void ShowErrorBox(const std::string& text);
// Caption "Information" unless given, information icon, one OK button.
void ShowInformationBox(const std::string& text, const std::string& caption = "Information");
// A question with the buttons Yes and Cancel (Escape and the close box mean Cancel);
// true when the answer is Yes.
bool ConfirmYesCancel(const std::string& text, const std::string& caption = "Confirm");

// What every box of the program goes through: MessageBox with the UTF-8 text fitted to the
// monitor (`type` as MessageBox takes it). The system wraps a long line at its spaces, but
// not a long run without one, such as a path: such a run is broken into lines that fit, after
// a backslash where it can. Returns what MessageBox returns.
int ShowMessageBox(const std::string& text, const std::string& caption, unsigned type);

} // namespace quennet
