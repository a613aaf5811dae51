// The shell folder tree against Wine's real shell namespace: My Computer with its drives, a
// scratch folder tree under the temporary folder, renaming in place.
#include "controls/ShellTree.h"

#include "ControlTestSupport.h"
#include "runtime/Exception.h"
#include "base/WidePath.h"
#include "tests/runtime/BoxWatcher.h"
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


// The parent folder's interface as another shell may behave: SetNameOf renames but hands back
// no identifier, or fails. Everything else goes to the real folder.
class ShellFolderStandIn final : public IShellFolder {
  public:
    enum class Rename { WithoutNewList, Fails };
    ShellFolderStandIn(ComPtr<IShellFolder> real, Rename rename) : real_(std::move(real)), rename_(rename) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IShellFolder)) {
            *out = static_cast<IShellFolder*>(this);
            AddRef();
            return S_OK;
        }
        return real_->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND w, IBindCtx* b, LPWSTR name, ULONG* eaten, LPITEMIDLIST* list,
                                               ULONG* attributes) override {
        return real_->ParseDisplayName(w, b, name, eaten, list, attributes);
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND w, SHCONTF flags, IEnumIDList** list) override {
        return real_->EnumObjects(w, flags, list);
    }
    HRESULT STDMETHODCALLTYPE BindToObject(LPCITEMIDLIST list, IBindCtx* b, REFIID iid, void** out) override {
        return real_->BindToObject(list, b, iid, out);
    }
    HRESULT STDMETHODCALLTYPE BindToStorage(LPCITEMIDLIST list, IBindCtx* b, REFIID iid, void** out) override {
        return real_->BindToStorage(list, b, iid, out);
    }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM how, LPCITEMIDLIST a, LPCITEMIDLIST b) override {
        return real_->CompareIDs(how, a, b);
    }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND w, REFIID iid, void** out) override {
        return real_->CreateViewObject(w, iid, out);
    }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT count, LPCITEMIDLIST* lists, SFGAOF* attributes) override {
        return real_->GetAttributesOf(count, lists, attributes);
    }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND w, UINT count, LPCITEMIDLIST* lists, REFIID iid, UINT* reserved,
                                            void** out) override {
        return real_->GetUIObjectOf(w, count, lists, iid, reserved, out);
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(LPCITEMIDLIST list, SHGDNF flags, STRRET* name) override {
        return real_->GetDisplayNameOf(list, flags, name);
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND w, LPCITEMIDLIST list, LPCWSTR name, SHGDNF flags,
                                        LPITEMIDLIST* renamed) override {
        if (rename_ == Rename::Fails)
            return E_FAIL;
        LPITEMIDLIST kept = nullptr;
        const HRESULT result = real_->SetNameOf(w, list, name, flags, &kept);
        CoTaskMemFree(kept);
        if (renamed)
            *renamed = nullptr;
        return result;
    }

  private:
    ComPtr<IShellFolder> real_;
    Rename rename_;
    ULONG refs_ = 1;
};

// `later`: the edit ends when the caller next serves messages, as a user's Enter would.
void EditLabel(TShellTreeView& tree, HTREEITEM node, const wchar_t* text, bool later = false) {
    tree.Select(node);
    tree.EditSelectedLabel();
    HWND edit = reinterpret_cast<HWND>(SendMessageA(tree.Handle(), TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, text);
    if (later)
        PostMessageA(tree.Handle(), TVM_ENDEDITLABELNOW, FALSE, 0);
    else
        SendMessageA(tree.Handle(), TVM_ENDEDITLABELNOW, FALSE, 0);
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

TEST_F(ShellTree, ARenameThatHandsBackNoIdentifierStillRenamesAndAFailedOneSaysSoWithAFullStop) {
    Application().SetTitle("Shell Tree Test");
    tree->SetRoot(scratch);
    tree->Handle();
    TShellFolder& top = *tree->Folder(tree->Root());
    const ComPtr<IShellFolder> real = top.folder;
    top.folder = ComPtr<IShellFolder>::Attach(new ShellFolderStandIn(real, ShellFolderStandIn::Rename::WithoutNewList));
    HTREEITEM beta = ChildNamed(*tree, tree->Root(), "Beta");
    ASSERT_NE(beta, nullptr);
    {
        // Any error box would be this one; none may come.
        test::BoxWatcher watcher(Application().Title());
            EditLabel(*tree, beta, L"Gamma ünï");
            const test::BoxSeen& box = watcher.Serve();
        EXPECT_FALSE(box.found) << box.text;
    }
    const std::string renamed = scratch + "\\Gamma ünï";
    EXPECT_NE(GetFileAttributesW(LongPathW(renamed + "\\deeper").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(tree->ItemText(beta), "Gamma ünï");
    EXPECT_EQ(tree->SelectedPath(), renamed);
    tree->Expand(beta);
    EXPECT_NE(ChildNamed(*tree, beta, "deeper"), nullptr);

    top.folder = ComPtr<IShellFolder>::Attach(new ShellFolderStandIn(real, ShellFolderStandIn::Rename::Fails));
    HTREEITEM zeta = ChildNamed(*tree, tree->Root(), "Zeta");
    test::BoxWatcher watcher(Application().Title());
    EditLabel(*tree, zeta, L"Omega", true);
    const test::BoxSeen& seen = watcher.Serve();
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "Rename to Omega failed.");
    EXPECT_EQ(tree->ItemText(zeta), "Zeta");
    EXPECT_NE(GetFileAttributesA((scratch + "\\Zeta").c_str()), INVALID_FILE_ATTRIBUTES);
    top.folder = real;
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
