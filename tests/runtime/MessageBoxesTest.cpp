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
