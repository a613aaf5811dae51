// The program's own path and its command-line arguments, split the way the program has
// always split them: blanks separate arguments, double quotes group blanks into one and are
// dropped, and a backslash is an ordinary character (so "C:\" stays C:\).
#pragma once

#include <string>
#include <vector>

namespace quennet {

// Argument 0 is the program as it was started; an index past the end gives "".
std::string ParamStr(int index);
int ParamCount(); // not counting argument 0
// The full path of the running executable.
std::string ExeName();

// The splitting rule on its own.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

} // namespace quennet
