// Splitting of the command line, as the shell verb's "%1" arrives.
#include "runtime/CommandLine.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace quennet {
namespace {

TEST(CommandLine, BlanksSplitQuotesGroupBackslashesStay) {
    struct Case {
        const char* line;
        std::vector<std::string> args;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"q.exe", {"q.exe"}},
        {"\"C:\\Program Files\\q.exe\" \"C:\\My Folder\"", {"C:\\Program Files\\q.exe", "C:\\My Folder"}},
        {"q.exe C:\\", {"q.exe", "C:\\"}},
        {"q.exe \"C:\\\"", {"q.exe", "C:\\"}}, // the verb's "%1" for a drive root
        {"q.exe  a\tb ", {"q.exe", "a", "b"}},
        {"q.exe ab\"c d\"e", {"q.exe", "abc de"}},
        {"q.exe \"\" x", {"q.exe", "", "x"}},
        {"q.exe \"unterminated arg", {"q.exe", "unterminated arg"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
}

TEST(CommandLine, ExeNameIsTheRunningProgram) {
    std::string exe = ExeName();
    EXPECT_NE(exe.find("runtime_tests.exe"), std::string::npos);
    EXPECT_EQ(GetFileAttributesA(exe.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(ParamStr(ParamCount() + 1), "");
}

} // namespace
} // namespace quennet
