// Writing the results list to a file the user chose. The rows go into a new file beside it
// (same folder, so same volume), which is renamed onto the chosen name only once every byte
// is written: a full disk or a refused write never leaves a partial list under that name, and
// a file already there stays as it was.
#pragma once

#include "mainwindow/ListSnapshot.h"

#include <string>

namespace quennet {

// Empty when the file is complete under `path`; otherwise why not, in the system's words.
// May run on any thread.
std::string SaveListFile(const std::string& path, const ListSnapshot& rows, ListFormat format);

} // namespace quennet
