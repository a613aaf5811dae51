// The program's message boxes, read and answered from a second thread.
#include "BoxWatcher.h"

#include "runtime/MessageBoxes.h"

#include <gtest/gtest.h>

namespace quennet {
namespace {

TEST(MessageBoxes, ErrorBoxHasCaptionErrorOneOkAndTheErrorIcon) {
    test::BoxWatcher watcher("Error");
    ShowErrorBox("Invalid directory.");
    const test::BoxSeen& seen = watcher.Serve();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "Invalid directory.");
    EXPECT_EQ(seen.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(seen.icon, LoadIcon(nullptr, IDI_ERROR));
}

TEST(MessageBoxes, InformationBoxKeepsLinesSeparatedByCarriageReturns) {
    test::BoxWatcher watcher("Information");
    ShowInformationBox("first\rsecond");
    const test::BoxSeen& seen = watcher.Serve();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "first\rsecond");
    EXPECT_EQ(seen.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(seen.icon, LoadIcon(nullptr, IDI_INFORMATION));
}

TEST(MessageBoxes, ConfirmationShowsYesAndCancelOnly) {
    {
        test::BoxWatcher watcher("Confirm", "&Yes");
        EXPECT_TRUE(ConfirmYesCancel("Are you sure you wish to delete the selected file(s)?"));
        const test::BoxSeen& seen = watcher.Serve();
        EXPECT_EQ(seen.buttons, (std::vector<std::string>{"&Yes", "Cancel"}));
        EXPECT_EQ(seen.icon, LoadIcon(nullptr, IDI_QUESTION));
    }
    {
        test::BoxWatcher watcher("Confirm", "Cancel");
        EXPECT_FALSE(ConfirmYesCancel("again?"));
    }
    {
        test::BoxWatcher watcher("Confirm", "(close box)"); // no such button: closes the window
        EXPECT_FALSE(ConfirmYesCancel("and again?"));
    }
}

TEST(MessageBoxes, ConfirmationLeavesLaterBoxesAlone) {
    {
        test::BoxWatcher watcher("Confirm", "Cancel");
        ConfirmYesCancel("once");
    }
    test::BoxWatcher watcher("Error");
    ShowErrorBox("plain");
    EXPECT_EQ(watcher.Serve().buttons, std::vector<std::string>{"OK"});
}

} // namespace
} // namespace quennet

namespace quennet {
namespace {

// The box's text with its line breaks taken out: what the user reads, however it is wrapped.
std::string Unwrapped(const std::string& text) {
    std::string plain;
    for (char c : text)
        if (c != '\r' && c != '\n')
            plain.push_back(c);
    return plain;
}

std::string LongPath(size_t length) {
    std::string path = "C:\\";
    while (path.size() < length - 8)
        path += "folder" + std::to_string(path.size() % 10) + "\\";
    return path.substr(0, length - 8) + "file.txt";
}

// A path of 400 characters has no space to break at: the box was 2,329 pixels wide and began
// off the screen.
TEST(MessageBoxes, ABoxListingALongPathStaysWithinTheScreen) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const std::string spaced = "a sentence of many words that goes on ";
    const std::string texts[] = {
        "These files could not be moved:\r\n" + LongPath(400) + ": access was denied.",
        "These files were not deleted:\r\n" + LongPath(300) + ": it is in use.\r\n" + LongPath(1000) + ": also.",
        "These files could not be moved:\r\n" + LongPath(400) +
            ": it is in use by another program; C:\\dest\\file.txt, which it would have replaced, is as it was.",
        spaced + spaced + spaced + spaced + spaced + spaced + spaced + spaced + spaced + spaced + "to its end.",
    };
    for (const std::string& text : texts) {
        test::BoxWatcher watcher("Error");
        ShowErrorBox(text);
        const test::BoxSeen& seen = watcher.Serve();
        ASSERT_TRUE(seen.found);
        EXPECT_GE(seen.rect.left, work.left) << text;
        EXPECT_GE(seen.rect.top, work.top) << text;
        EXPECT_LE(seen.rect.right, work.right) << text;
        EXPECT_LE(seen.rect.bottom, work.bottom) << text;
        EXPECT_EQ(Unwrapped(seen.text), Unwrapped(text)) << "every character is shown";
        EXPECT_LE(seen.widestRun, seen.textRoom) << "no line is cut off: " << seen.text;
        EXPECT_LE(seen.textRight, seen.clientWidth) << "the text lies inside the box";
    }
}

// A short text is shown as it is given.
TEST(MessageBoxes, AShortTextIsNotWrapped) {
    test::BoxWatcher watcher("Error");
    const std::string text = "These files could not be moved:\r\nC:\\folder\\one.txt: it is already in that folder.";
    ShowErrorBox(text);
    EXPECT_EQ(watcher.Serve().text, text);
}

} // namespace
} // namespace quennet
