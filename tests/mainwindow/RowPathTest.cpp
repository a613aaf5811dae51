// Whether a row's path reaches the row's own file through Windows paths: names refused side by
// side with the names that pass.
#include "mainwindow/RowPath.h"

#include <gtest/gtest.h>

#include <string>

namespace quennet {
namespace {

TEST(RowPath, IsTheFolderFollowedByTheName) {
    EXPECT_EQ(RowPath("C:\\a b\\", "c.txt"), "C:\\a b\\c.txt");
    EXPECT_EQ(RowPath("\\\\server\\share\\", "x"), "\\\\server\\share\\x");
}

TEST(RowPath, NamesThatReachTheirOwnFilePass) {
    for (const char* name :
         {"plain.txt", "no extension", ".hidden", "a.b.c", "trailing dot.x", "  leading", "caf\xC3\xA9.txt",
          "nully.txt", "console.txt", "com0", "com10", "lpt", "[brackets]", "semi;colon", "a%20b"})
        EXPECT_EQ(WhyPathIsNotItself("C:\\files\\", name), "") << name;
    for (const char* folder : {"C:\\", "C:\\a\\b\\", "\\\\server\\share\\", "\\\\server\\share.\\x\\",
                               "\\\\?\\C:\\dot.\\", "C:\\.hidden\\", "C:\\a\\\\b\\"})
        EXPECT_EQ(WhyPathIsNotItself(folder, "file.txt"), "") << folder;
}

TEST(RowPath, NamesWindowsWouldReadAsAnotherFileAreRefusedWithTheReason) {
    const struct {
        const char* name;
        const char* why;
    } cases[] = {
        {"trailing dot.",
         "its name ends in a dot, which Windows leaves out of paths: it would reach another file"},
        {"dots...", "its name ends in a dot, which Windows leaves out of paths: it would reach another file"},
        {"tspace ",
         "its name ends in a space, which Windows leaves out of paths: it would reach another file"},
        {"back\\slash.txt", "its name holds a backslash, which Windows takes for a folder separator: it "
                            "would reach another file"},
        {"for/ward",
         "its name holds a slash, which Windows takes for a folder separator: it would reach another file"},
        {"t??.txt", "its name holds a character this system could not give, so it does not name one file"},
        {"star*", "its name holds a character this system could not give, so it does not name one file"},
        {"lost\xEF\xBF\xBD.txt",
         "its name holds a character this system could not give, so it does not name one file"},
        {"file:stream", "its name holds a colon, which Windows takes for the start of a stream name: it "
                        "would reach another file"},
        {"a<b", "its name holds <, which Windows does not allow in names"},
        {"pipe|d", "its name holds |, which Windows does not allow in names"},
        {"quo\"te", "its name holds \", which Windows does not allow in names"},
        {"line\nbreak", "its name holds a control character, which Windows does not allow in names"},
        {"NUL", "its name is that of a device (NUL), which Windows opens in place of a file"},
        {"con.txt", "its name is that of a device (CON), which Windows opens in place of a file"},
        {"Com3 .log", "its name is that of a device (COM3), which Windows opens in place of a file"},
        {"lpt9", "its name is that of a device (LPT9), which Windows opens in place of a file"},
        {"", "its name is empty"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WhyPathIsNotItself("C:\\files\\", c.name), c.why) << c.name;
}

// A folder on the way is read the same way: "C:\x.\f" is "C:\x\f".
TEST(RowPath, AFolderOnTheWayThatWindowsWouldReadAsAnotherIsRefused) {
    EXPECT_EQ(WhyPathIsNotItself("C:\\x\\trailing dot.\\", "f.txt"),
              "its folder \"trailing dot.\" ends in a dot, which Windows leaves out of paths: it would reach "
              "another file");
    EXPECT_EQ(
        WhyPathIsNotItself("\\\\server\\share\\sp \\deeper\\", "f.txt"),
        "its folder \"sp \" ends in a space, which Windows leaves out of paths: it would reach another file");
    EXPECT_EQ(
        WhyPathIsNotItself("C:\\a?b\\", "f.txt"),
        "its folder \"a?b\" holds a character this system could not give, so it does not name one file");
    // The name is told before its folders.
    EXPECT_EQ(WhyPathIsNotItself("C:\\x.\\", "y."),
              "its name ends in a dot, which Windows leaves out of paths: it would reach another file");
}

} // namespace
} // namespace quennet
