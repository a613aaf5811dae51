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

} // namespace quennet
