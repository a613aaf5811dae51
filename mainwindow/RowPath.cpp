#include "mainwindow/RowPath.h"

#include <array>
#include <cctype>

namespace quennet {

namespace {

constexpr std::string_view kAnotherFile = ": it would reach another file";

// U+FFFD in UTF-8: what a conversion leaves for a character it could not give.
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Why one step of a path (a folder's name or the file's) is not read as itself, with `subject`
// saying which step it is; empty when it is. Separators are the caller's: a folder's text is
// split at them, a file name must not hold them.
std::string WhyStepIsNotItself(std::string_view step, const std::string& subject) {
    if (step.empty())
        return subject + " is empty";
    // "?" and "*" are what the ANSI functions give for a character outside the code page, and
    // a pattern to the shell, which would act on every file it matches.
    if (step.find_first_of("?*") != std::string_view::npos ||
        step.find(kReplacementCharacter) != std::string_view::npos)
        return subject + " holds a character this system could not give, so it does not name one file";
    if (step.find(':') != std::string_view::npos)
        return subject + " holds a colon, which Windows takes for the start of a stream name" +
               std::string(kAnotherFile);
    for (const char c : step) {
        if (static_cast<unsigned char>(c) < 0x20)
            return subject + " holds a control character, which Windows does not allow in names";
        if (c == '<' || c == '>' || c == '"' || c == '|')
            return subject + " holds " + std::string(1, c) + ", which Windows does not allow in names";
    }
    if (step.back() == '.' && step != "." && step != "..")
        return subject + " ends in a dot, which Windows leaves out of paths" + std::string(kAnotherFile);
    if (step.back() == ' ')
        return subject + " ends in a space, which Windows leaves out of paths" + std::string(kAnotherFile);
    return std::string();
}

// "NUL", "con.txt", "Com1 .log": names Windows opens as a device wherever they stand.
std::string DeviceNamed(std::string_view name) {
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    std::string upper;
    for (const char c : base)
        upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    static const std::array<std::string_view, 4> plain = {"CON", "PRN", "AUX", "NUL"};
    for (const std::string_view device : plain)
        if (upper == device)
            return upper;
    if (upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
        upper[3] >= '1' && upper[3] <= '9')
        return upper;
    return std::string();
}

// Where the steps of a folder's text begin: after "C:\", "\\server\share\" or "\\?\...\".
std::size_t AfterRoot(std::string_view folder) {
    if (folder.size() >= 3 && folder[1] == ':' && IsSeparator(folder[2]))
        return 3;
    if (folder.size() >= 2 && IsSeparator(folder[0]) && IsSeparator(folder[1])) {
        // "\\?\" and "\\.\" paths are taken literally: nothing in them is dropped or split.
        if (folder.size() >= 4 && (folder[2] == '?' || folder[2] == '.') && IsSeparator(folder[3]))
            return folder.size();
        std::size_t at = 2;
        for (int part = 0; part < 2 && at < folder.size(); ++part) { // server, share
            while (at < folder.size() && !IsSeparator(folder[at]))
                ++at;
            if (at < folder.size())
                ++at;
        }
        return at;
    }
    return 0;
}

} // namespace

std::string RowPath(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + name.size());
    path.append(folder).append(name);
    return path;
}

std::string WhyPathIsNotItself(std::string_view folder, std::string_view name) {
    if (name.find('\\') != std::string_view::npos)
        return "its name holds a backslash, which Windows takes for a folder separator" +
               std::string(kAnotherFile);
    if (name.find('/') != std::string_view::npos)
        return "its name holds a slash, which Windows takes for a folder separator" +
               std::string(kAnotherFile);
    std::string why = WhyStepIsNotItself(name, "its name");
    if (!why.empty())
        return why;
    const std::string device = DeviceNamed(name);
    if (!device.empty())
        return "its name is that of a device (" + device + "), which Windows opens in place of a file";
    return WhyFolderIsNotItself(folder);
}

std::string WhyFolderIsNotItself(std::string_view folder) {
    for (std::size_t start = AfterRoot(folder); start < folder.size();) {
        std::size_t end = start;
        while (end < folder.size() && !IsSeparator(folder[end]))
            ++end;
        if (end > start) { // "\\" inside a folder's text reads as one separator
            const std::string_view step = folder.substr(start, end - start);
            const std::string why = WhyStepIsNotItself(step, "its folder \"" + std::string(step) + "\"");
            if (!why.empty())
                return why;
        }
        start = end + 1;
    }
    return std::string();
}

} // namespace quennet
