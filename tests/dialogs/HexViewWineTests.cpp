// The hex viewer's opening operation under Wine: caption, the match selected, and the errors
// that keep the viewer closed.
#include "dialogs/hexview.h"
#include "hexcontrol/HexError.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {
std::string TempFolder() {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return dir;
}

void WriteFile(const std::string& path, size_t size) {
    std::vector<char> bytes(size, 'v');
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class Viewer : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ole = new THexOleSession(); }
    static void TearDownTestSuite() {
        delete ole;
        ole = nullptr;
    }
    void SetUp() override {
        folder = TempFolder();
        WriteFile(folder + "view5000.bin", 5000);
        form = std::make_unique<TForm4>();
    }
    std::string Error(std::int64_t offset, int length, const std::string& name = "view5000.bin") {
        try {
            form->Prepare(folder, name, offset, length);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "(nothing thrown)";
    }

    static THexOleSession* ole;
    std::string folder;
    std::unique_ptr<TForm4> form;
};
THexOleSession* Viewer::ole = nullptr;
} // namespace

TEST_F(Viewer, OpeningNamesTheFileAndSelectsTheMatch) {
    form->Prepare(folder, "view5000.bin", 4990, 5);
    EXPECT_EQ(form->Caption(), "Viewing: " + folder + "view5000.bin");
    EXPECT_EQ(form->hexedit.SelStart(), 4990);
    EXPECT_EQ(form->hexedit.SelEnd(), 4994);
    EXPECT_EQ(form->hexedit.Model().CursorPosition(), 4990);

    // No content match: nothing selected, the cursor on the first byte.
    form->Prepare(folder, "view5000.bin", 0, 5);
    EXPECT_EQ(form->hexedit.SelectionCount(), 0);
    EXPECT_EQ(form->hexedit.Model().CursorPosition(), 0);
}

TEST_F(Viewer, ErrorsReachTheCallerAndTheViewerStaysClosed) {
    const std::string missing = Error(10, 2, "no-such-viewed-file.bin");
    EXPECT_EQ(missing.rfind("Cannot open " + folder + "no-such-viewed-file.bin.\r\n(", 0), 0u) << missing;
    // The file shrank since the search.
    EXPECT_EQ(Error(5000, 3), "Invalid selection start");
    EXPECT_EQ(Error(4999, 3), "Invalid selection end");
    // A match end no position can hold is refused too, not taken as "no selection".
    EXPECT_EQ(Error(10, INT_MAX), "Invalid selection end");
    EXPECT_EQ(Error(std::int64_t{1} << 32, 1), "Invalid selection start");
    EXPECT_FALSE(form->Visible());
}
