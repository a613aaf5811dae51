// The walk's chain of open folders: the right folder at every level on the way down and back,
// with only a few descriptors held, through links too; and the path limit on Windows.
#include "search/FolderChain.h"

#include "TestTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace quennet;
using quennet::test::TempTree;

namespace {

// The names in the chain's innermost folder, sorted, without "." and "..".
std::vector<std::string> Listing(FolderChain& chain) {
    std::vector<std::string> names;
    TSearchRec rec;
    std::uint32_t status = chain.FindFirst(faAnyFile, rec);
    for (; status == 0; status = FindNextEntry(rec))
        if (rec.Name != "." && rec.Name != "..")
            names.push_back(rec.Name);
    chain.EndListing(rec);
    EXPECT_EQ(status, kNoMoreFiles);
    std::sort(names.begin(), names.end());
    return names;
}

// 30 nested folders, each with a file naming its depth; at depth 4 a link leads into another
// chain of 20, whose ".." is not the folder the link is in. Down to the end and back up: every
// folder lists its own entries again, whether it was held, reopened through "..", or reopened
// by names from the nearest folder held.
TEST(FolderChain, EveryLevelIsItselfAgainOnTheWayBackUp) {
    TempTree tree;
    std::string path = "main/";
    for (int i = 0; i < 30; ++i, path += std::to_string(i) + "/")
        tree.File(path + "at" + std::to_string(i));
    std::string other = "other/";
    for (int i = 0; i < 20; ++i, other += "o/")
        tree.File(other + "o" + std::to_string(i));
#ifndef _WIN32
    std::filesystem::create_directory_symlink(tree.Path("other"), tree.Path("main/1/2/3/4/jump"));
#endif
    FolderChain chain;
    ASSERT_EQ(chain.EnterRoot(tree.Path("main")), 0u);
    std::vector<std::vector<std::string>> seen{Listing(chain)};
    std::vector<std::string> paths{chain.Path()};
    auto enter = [&](const std::string& name) {
        ASSERT_EQ(chain.Enter(name), 0u) << name;
        seen.push_back(Listing(chain));
        paths.push_back(chain.Path());
    };
    const bool linked = std::filesystem::exists(tree.Path("main/1/2/3/4/jump"));
    for (int i = 1; i < 30; ++i) {
        enter(std::to_string(i));
        if (i == 4 && linked) {
            enter("jump");
            for (int k = 1; k < 20; ++k)
                enter("o");
            EXPECT_EQ(seen.back(), (std::vector<std::string>{"o19"}));
            for (int k = 0; k < 20; ++k) {
                chain.Leave();
                seen.pop_back();
                paths.pop_back();
                EXPECT_EQ(chain.Path(), paths.back());
                EXPECT_EQ(Listing(chain), seen.back()) << chain.Path();
            }
        }
    }
    EXPECT_EQ(seen.back(), (std::vector<std::string>{"at29"}));
    while (seen.size() > 1) {
        chain.Leave();
        seen.pop_back();
        paths.pop_back();
        EXPECT_EQ(chain.Path(), paths.back());
        EXPECT_EQ(Listing(chain), seen.back()) << chain.Path();
    }
    EXPECT_EQ(seen.back(), (std::vector<std::string>{"1", "at0"}));
}

TEST(FolderChain, TheRootAndLinksAreTheirIdentities) {
    TempTree tree;
    tree.Folder("a/b");
    FolderChain chain;
    ASSERT_EQ(chain.EnterRoot(tree.Path("a")), 0u);
    FolderIdentity b;
    ASSERT_TRUE(chain.IdentityOf("b", b));
    EXPECT_FALSE(chain.Contains(b));
    ASSERT_EQ(chain.Enter("b", &b), 0u);
    EXPECT_TRUE(chain.Contains(b));
    FolderIdentity a;
    ASSERT_TRUE(GetFolderIdentity(tree.Path("a"), a));
    EXPECT_TRUE(chain.Contains(a));
    EXPECT_FALSE(chain.IdentityOf("missing", b));
#ifndef _WIN32 // Windows finds a missing folder missing when it lists it
    EXPECT_NE(chain.Enter("missing"), 0u);
#endif
    EXPECT_EQ(chain.Path(), tree.Path("a") + kPathSeparator + "b" + kPathSeparator);
}

// A folder too big for one read of its listing (3,000 long names): every entry once, also when
// the folder is listed again after a visit to a subfolder and after a listing broken off.
TEST(FolderChain, ALargeFolderListsEveryEntryOnceEachTime) {
    TempTree tree;
    std::vector<std::string> names{"sub"};
    for (int i = 0; i < 3000; ++i) {
        names.push_back("entry-" + std::to_string(1000000 + i) + "-" + std::string(40, 'x'));
        tree.File(names.back());
    }
    tree.Folder("sub");
    std::sort(names.begin(), names.end());
    FolderChain chain;
    ASSERT_EQ(chain.EnterRoot(tree.Path("")), 0u);
    EXPECT_EQ(Listing(chain), names);
    ASSERT_EQ(chain.Enter("sub"), 0u);
    chain.Leave();
    EXPECT_EQ(Listing(chain), names);

    TSearchRec rec;
    std::uint32_t status = chain.FindFirst(faAnyFile, rec);
    for (int i = 0; i < 500 && status == 0; ++i)
        status = FindNextEntry(rec);
    chain.EndListing(rec);
    EXPECT_EQ(Listing(chain), names);
}

#ifdef _WIN32
// Windows takes paths of up to 32,767 characters: a folder beyond is refused with its own error,
// for the walk to report, before anything is asked of the file system.
TEST(FolderChain, FolderPastTheLongestWindowsPathIsRefused) {
    TempTree tree;
    FolderChain chain;
    ASSERT_EQ(chain.EnterRoot(tree.Path("")), 0u);
    const std::string name(200, 'n');
    std::uint32_t status = 0;
    std::size_t depth = 0;
    while ((status = chain.Enter(name)) == 0)
        ++depth;
    EXPECT_EQ(status, static_cast<std::uint32_t>(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_GE(chain.Path().size() + 4 + 1, 32767u - 201);
    EXPECT_LE(chain.Path().size() + 4 + 1, 32767u);
    EXPECT_GT(depth, 150u);
}

#endif

} // namespace
