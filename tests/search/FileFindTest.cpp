#include "search/FileFind.h"
#include "output/SizeText.h"

#include "TestTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#else
#include <sys/stat.h>
#endif

using namespace quennet;
using quennet::test::TempTree;

namespace {

// Every entry of a folder, name to attributes and size.
std::map<std::string, std::pair<std::uint32_t, std::int64_t>> List(const std::string& folder) {
    std::map<std::string, std::pair<std::uint32_t, std::int64_t>> entries;
    TSearchRec rec;
    std::uint32_t status = FindFirstEntry(folder + "*", faAnyFile, rec);
    while (status == 0) {
        entries[rec.Name] = {rec.Attr, rec.Size()};
        status = FindNextEntry(rec);
    }
    EXPECT_EQ(status, kNoMoreFiles);
    return entries;
}

void MakeSparseFile(const std::string& path, std::int64_t size) {
#ifdef _WIN32
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD ignored = 0;
    DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = size;
    ASSERT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(h));
    CloseHandle(h);
#else
    { std::ofstream touch(path); }
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
#endif
}

TEST(Enumeration, FilesFoldersAndTheirSizes) {
    TempTree tree;
    tree.File("a.txt", "12345");
    tree.File(".profile", "x");
    tree.Folder("sub");
    tree.Folder(".config");
    const auto entries = List(tree.Root());
    ASSERT_TRUE(entries.count("a.txt"));
    EXPECT_EQ(entries.at("a.txt").second, 5);
    EXPECT_FALSE(entries.at("a.txt").first & faDirectory);
    EXPECT_TRUE(entries.at("sub").first & faDirectory);
    EXPECT_TRUE(entries.at(".config").first & faDirectory);
    EXPECT_TRUE(entries.count(".profile"));
}

TEST(Enumeration, EmptyFolderYieldsDotEntriesThenTheEnd) {
    TempTree tree;
    tree.Folder("empty");
    const auto entries = List(tree.Path("empty") + kPathSeparator);
    for (const auto& [name, info] : entries) {
        EXPECT_TRUE(name == "." || name == "..") << name;
        EXPECT_TRUE(info.first & faDirectory);
    }
}

TEST(Enumeration, MissingFolderFailsAndLeavesNothingOpen) {
    TempTree tree;
    TSearchRec rec;
    EXPECT_NE(FindFirstEntry(tree.Path("missing") + kPathSeparator + "*", faAnyFile, rec), 0u);
    EXPECT_NE(FindNextEntry(rec), 0u); // a caller that ignored the failure still sees nothing
    CloseFindHandle(rec);
    CloseFindHandle(rec); // closing twice is harmless
}

TEST(Enumeration, FiveGigabyteSparseFileHasItsExactSize) {
    TempTree tree;
    const std::int64_t fiveGb = 5368709120LL;
    MakeSparseFile(tree.Path("big.bin"), fiveGb);
    const auto entries = List(tree.Root());
    ASSERT_TRUE(entries.count("big.bin"));
    EXPECT_EQ(entries.at("big.bin").second, fiveGb);
    EXPECT_EQ(GetSize(entries.at("big.bin").second), "5 GB");
}

TEST(FolderTest, ExistingFoldersOnly) {
    TempTree tree;
    tree.File("file.txt");
    EXPECT_TRUE(IsExistingFolder(tree.Root()));
    EXPECT_TRUE(IsExistingFolder(tree.Path("")));
    EXPECT_FALSE(IsExistingFolder(tree.Path("file.txt")));
    EXPECT_FALSE(IsExistingFolder(tree.Path("missing")));
    EXPECT_FALSE(IsExistingFolder(""));
#ifdef _WIN32
    EXPECT_TRUE(IsExistingFolder("C:\\"));
    EXPECT_TRUE(IsValidLookInPath("C:"));
    EXPECT_FALSE(IsValidLookInPath("\\\\server\\share"));
    EXPECT_FALSE(IsValidLookInPath("C"));
#else
    EXPECT_TRUE(IsValidLookInPath("/"));
#endif
}

#ifdef _WIN32
TEST(Enumeration, HiddenAndSystemFilesAreYielded) {
    TempTree tree;
    tree.File("hidden.txt");
    tree.File("system.txt");
    tree.Folder("hiddendir");
    ASSERT_TRUE(SetFileAttributesA(tree.Path("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA(tree.Path("system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(
        SetFileAttributesA(tree.Path("hiddendir").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY));
    const auto entries = List(tree.Root());
    ASSERT_TRUE(entries.count("hidden.txt"));
    ASSERT_TRUE(entries.count("system.txt"));
    ASSERT_TRUE(entries.count("hiddendir"));
    EXPECT_TRUE(entries.at("hidden.txt").first & faHidden);
    EXPECT_TRUE(entries.at("system.txt").first & faSysFile);
}

TEST(Enumeration, ExcludedAttributesAreSkipped) {
    TempTree tree;
    tree.File("plain.txt");
    tree.File("hidden.txt");
    ASSERT_TRUE(SetFileAttributesA(tree.Path("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    std::vector<std::string> names;
    TSearchRec rec;
    for (std::uint32_t s = FindFirstEntry(tree.Root() + "*", faArchive | faReadOnly, rec); s == 0;
         s = FindNextEntry(rec))
        names.push_back(rec.Name);
    EXPECT_NE(std::find(names.begin(), names.end(), "plain.txt"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "hidden.txt"), names.end());
}
#else
TEST(Enumeration, LinksFifosAndDevicesOnPosix) {
    TempTree tree;
    tree.File("target.txt", "abc");
    tree.Folder("dir");
    std::filesystem::create_symlink(tree.Path("target.txt"), tree.Path("file-link"));
    std::filesystem::create_directory_symlink(tree.Path("dir"), tree.Path("dir-link"));
    std::filesystem::create_symlink(tree.Path("missing"), tree.Path("dangling"));
    ASSERT_EQ(mkfifo(tree.Path("fifo").c_str(), 0600), 0);
    const auto entries = List(tree.Root());
    ASSERT_TRUE(entries.count("file-link")); // a link to a file is a file, with the file's size
    EXPECT_EQ(entries.at("file-link").second, 3);
    EXPECT_FALSE(entries.at("file-link").first & faDirectory);
    ASSERT_TRUE(entries.count("dir-link")); // a link to a folder is a folder, marked as a link
    EXPECT_EQ(entries.at("dir-link").first & (faDirectory | faSymLink), faDirectory | faSymLink);
    EXPECT_FALSE(entries.at("dir").first & faSymLink);
    EXPECT_FALSE(entries.count("dangling"));
    EXPECT_FALSE(entries.count("fifo"));
}
#endif

} // namespace
