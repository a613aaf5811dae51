// The shell folder tree against Wine's real shell namespace: My Computer with its drives, a
// scratch folder tree under the temporary folder, renaming in place.
#include "controls/ShellTree.h"

#include "ControlTestSupport.h"
#include "runtime/Exception.h"
#include "tests/runtime/OleSuite.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace quennet {
namespace {

using testing::SharedForm;

std::string TempFolder() {
    char dir[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, dir);
    char longDir[MAX_PATH] = "";
    GetLongPathNameA(dir, longDir, MAX_PATH);
    return longDir;
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    FindHandle find(FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (find) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + "\\" + name);
            else
                DeleteFileA((folder + "\\" + name).c_str());
        } while (FindNextFileA(find.get(), &entry));
    }
    find.reset();
    RemoveDirectoryA(folder.c_str());
}

bool HasButton(TShellTreeView& tree, HTREEITEM node) {
    TVITEMA query{};
    query.mask = TVIF_CHILDREN | TVIF_HANDLE;
    query.hItem = node;
    SendMessageA(tree.Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    return query.cChildren != 0;
}

std::vector<std::string> ChildTexts(TShellTreeView& tree, HTREEITEM node) {
    std::vector<std::string> texts;
    for (HTREEITEM child = tree.FirstChild(node); child; child = tree.NextSibling(child))
        texts.push_back(tree.ItemText(child));
    return texts;
}

HTREEITEM ChildNamed(TShellTreeView& tree, HTREEITEM node, const std::string& text) {
    for (HTREEITEM child = tree.FirstChild(node); child; child = tree.NextSibling(child))
        if (lstrcmpiA(tree.ItemText(child).c_str(), text.c_str()) == 0)
            return child;
    return nullptr;
}

class ShellTree : public test::OleSuite {
  protected:
    void SetUp() override {
        scratch = TempFolder() + "quennet-shelltree";
        RemoveTree(scratch);
        CreateDirectoryA(scratch.c_str(), nullptr);
        // Made out of name order, so an unsorted or byte-ordered list shows up.
        for (const char* name : {"Zeta", "alpha", "Beta", "Beta\\deeper", "Beta\\deeper\\leaf"})
            CreateDirectoryA((scratch + "\\" + name).c_str(), nullptr);
        std::ofstream(scratch + "\\a file.txt") << "files are not listed";
        tree = &SharedForm().Add<TShellTreeView>();
        tree->SetBounds(0, 0, 300, 260);
        tree->SetShowRoot(false);
    }
    void TearDown() override {
        SharedForm().RemoveControl(*tree);
        RemoveTree(scratch);
    }

    std::string scratch;
    TShellTreeView* tree = nullptr;
};

TEST_F(ShellTree, MyComputerOpensExpandedWithItsDrivesAndGivesDrivePaths) {
    tree->SetRoot("rfMyComputer");
    tree->Handle();
    HTREEITEM top = tree->Root();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(tree->NextSibling(top), nullptr);
    EXPECT_TRUE(tree->Expanded(top));
    EXPECT_EQ(tree->Selected(), top);
    // Confirming at once gives My Computer's display name, not its "::{...}" parsing name.
    EXPECT_EQ(tree->SelectedPath(), tree->ItemText(top));
    EXPECT_EQ(tree->SelectedPath().find("::{"), std::string::npos) << tree->SelectedPath();
    EXPECT_FALSE(tree->SelectedPath().empty());

    bool sawC = false;
    for (HTREEITEM drive = tree->FirstChild(top); drive; drive = tree->NextSibling(drive)) {
        tree->Select(drive);
        if (tree->SelectedPath() == "C:\\")
            sawC = true;
    }
    EXPECT_TRUE(sawC) << ::testing::PrintToString(ChildTexts(*tree, top));
}

TEST_F(ShellTree, FoldersListInShellOrderLoadLazilyAndGivePathsWithoutBackslash) {
    tree->SetRoot(scratch);
    tree->Handle();
    HTREEITEM top = tree->Root();
    ASSERT_NE(top, nullptr);
    // Folders only, in the shell's order (case ignored), not the order they were made in.
    EXPECT_EQ(ChildTexts(*tree, top), (std::vector<std::string>{"alpha", "Beta", "Zeta"}));

    HTREEITEM beta = ChildNamed(*tree, top, "Beta");
    ASSERT_NE(beta, nullptr);
    EXPECT_EQ(tree->FirstChild(beta), nullptr) << "children are loaded on first expansion";
    tree->Expand(beta);
    HTREEITEM deeper = ChildNamed(*tree, beta, "deeper");
    ASSERT_NE(deeper, nullptr);
    tree->Select(deeper);
    EXPECT_EQ(tree->SelectedPath(), scratch + "\\Beta\\deeper");

    // A folder with nothing inside loses its button once it has been opened.
    HTREEITEM zeta = ChildNamed(*tree, top, "Zeta");
    tree->Expand(zeta);
    EXPECT_EQ(tree->FirstChild(zeta), nullptr);
    EXPECT_FALSE(HasButton(*tree, zeta));
    EXPECT_TRUE(HasButton(*tree, beta));
}

TEST_F(ShellTree, RenamingAnOpenFolderInPlaceRenamesItOnDiskAndItsChildrenFollow) {
    tree->SetRoot(scratch);
    tree->Handle();
    HTREEITEM beta = ChildNamed(*tree, tree->Root(), "Beta");
    tree->Expand(beta);
    ASSERT_NE(ChildNamed(*tree, beta, "deeper"), nullptr);
    tree->Select(beta);
    tree->EditSelectedLabel();
    HWND edit = reinterpret_cast<HWND>(SendMessageA(tree->Handle(), TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "Gamma");
    SendMessageA(tree->Handle(), TVM_ENDEDITLABELNOW, FALSE, 0);

    EXPECT_NE(GetFileAttributesA((scratch + "\\Gamma\\deeper").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(tree->ItemText(beta), "Gamma");
    EXPECT_EQ(tree->SelectedPath(), scratch + "\\Gamma");
    // The children loaded under the old name are found again under the new one, two levels down too.
    tree->Expand(beta);
    HTREEITEM deeper = ChildNamed(*tree, beta, "deeper");
    ASSERT_NE(deeper, nullptr);
    tree->Expand(deeper);
    tree->Select(ChildNamed(*tree, deeper, "leaf"));
    EXPECT_EQ(tree->SelectedPath(), scratch + "\\Gamma\\deeper\\leaf");
}

TEST_F(ShellTree, RefreshingANodeShowsNewFoldersAndKeepsWhatWasOpenAndSelected) {
    tree->SetRoot(scratch);
    tree->Handle();
    HTREEITEM top = tree->Root();
    tree->Expand(ChildNamed(*tree, top, "Beta"));
    tree->Select(ChildNamed(*tree, ChildNamed(*tree, top, "Beta"), "deeper"));
    CreateDirectoryA((scratch + "\\Alpha2").c_str(), nullptr); // as a paste would

    tree->RefreshNode(top);
    EXPECT_EQ(ChildTexts(*tree, top), (std::vector<std::string>{"alpha", "Alpha2", "Beta", "Zeta"}));
    HTREEITEM beta = ChildNamed(*tree, top, "Beta");
    EXPECT_TRUE(tree->Expanded(beta));
    EXPECT_EQ(tree->Selected(), ChildNamed(*tree, beta, "deeper"));
    EXPECT_EQ(tree->SelectedPath(), scratch + "\\Beta\\deeper");
}

TEST_F(ShellTree, AnUnknownRootIsRefusedAndThePreviousTreeStays) {
    tree->SetRoot(scratch);
    tree->Handle();
    try {
        tree->SetRoot("Q:\\no\\such\\folder");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), "Error setting path: \"Q:\\no\\such\\folder\"");
    }
    EXPECT_EQ(tree->RootName(), scratch);
    ASSERT_NE(tree->Root(), nullptr);
    EXPECT_EQ(ChildTexts(*tree, tree->Root()), (std::vector<std::string>{"alpha", "Beta", "Zeta"}));
    tree->Select(tree->Root());
    EXPECT_EQ(tree->SelectedPath(), scratch);
}

} // namespace
} // namespace quennet
