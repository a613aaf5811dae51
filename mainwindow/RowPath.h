// The one place where a listed file's full path is made from its row, and the test of whether
// that path reaches the file itself. Plain logic, no window code: every action on a row asks
// it first (the viewer can too: dialogs need only this header and quennet_mainwindow_core).
//
// Windows reads a path step by step: it drops a dot or a space at the end of every step, splits
// at a backslash and at a slash, takes a colon as the start of a stream name and "CON" or "NUL"
// as devices. A file whose name does any of that (made on another system, or through "\\?\"
// paths) would be reached as another file, so such a row is refused, never acted on.
#pragma once

#include <string>
#include <string_view>

namespace quennet {

// folder (which ends with its separator) + name.
std::string RowPath(std::string_view folder, std::string_view name);

// Empty when RowPath(folder, name) reaches exactly this file; otherwise why not, in plain words
// that follow "path: " in a message ("its name ends in a dot, which Windows leaves out of
// paths: it would reach another file").
std::string WhyPathIsNotItself(std::string_view folder, std::string_view name);
// The same for a folder's text alone (for "Open containing folder").
std::string WhyFolderIsNotItself(std::string_view folder);

} // namespace quennet
