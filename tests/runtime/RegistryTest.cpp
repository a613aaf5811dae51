// The registry wrapper against the real registry of the test prefix, under a scratch key.
#include "runtime/Registry.h"

#include <gtest/gtest.h>

namespace quennet {
namespace {

const char kScratch[] = "Software\\QuennetRuntimeTest";

class Registry : public ::testing::Test {
  protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        TRegistry cleanup(HKEY_CURRENT_USER);
        cleanup.DeleteKey(kScratch);
    }
    static std::string Message(const std::function<void()>& action) {
        try {
            action();
        } catch (const ERegistryException& e) {
            return e.message();
        }
        return "(no error)";
    }
};

TEST_F(Registry, CreateWriteAndReadBack) {
    TRegistry reg(HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.OpenKey(std::string(kScratch) + "\\Settings", false));
    ASSERT_TRUE(reg.OpenKey(std::string(kScratch) + "\\Settings\\", true)); // trailing backslash ignored
    reg.WriteInteger("Buffer", 25);
    reg.WriteInteger("Negative", -1);
    reg.WriteString("", "\"C:\\q.exe\" \"%1\"");
    EXPECT_TRUE(reg.ValueExists("Buffer"));
    EXPECT_FALSE(reg.ValueExists("Maximized"));
    EXPECT_EQ(reg.ReadInteger("Buffer"), 25);
    EXPECT_EQ(reg.ReadInteger("Negative"), -1);
    EXPECT_EQ(reg.ReadString(""), "\"C:\\q.exe\" \"%1\"");
    EXPECT_EQ(reg.ReadString("absent"), "");

    // The string is stored with its terminating zero, the integer as a REG_DWORD.
    DWORD type = 0, size = 0;
    RegQueryValueExA(reg.CurrentKey(), "", nullptr, &type, nullptr, &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, std::string("\"C:\\q.exe\" \"%1\"").size() + 1);
    RegQueryValueExA(reg.CurrentKey(), "Buffer", nullptr, &type, nullptr, &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
}

TEST_F(Registry, ReadErrorsNameTheValue) {
    TRegistry reg(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey(kScratch, true));
    reg.WriteString("Size-Width", "a rather long text");
    EXPECT_EQ(Message([&] { reg.ReadInteger("Size-Width"); }), "Invalid data type for 'Size-Width'");
    EXPECT_EQ(Message([&] { reg.ReadInteger("Missing"); }), "Failed to get data for 'Missing'");
}

TEST_F(Registry, FailedWritesRaiseTheSetDataError) {
    TRegistry reg(HKEY_CURRENT_USER);
    // No key open (the command key could not be opened): the default value's empty name.
    EXPECT_EQ(Message([&] { reg.WriteString("", "x"); }), "Failed to set data for ''");
    ASSERT_TRUE(reg.OpenKey(kScratch, true));
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKeyReadOnly(kScratch));
    EXPECT_EQ(Message([&] { reg.WriteInteger("Buffer", 1); }), "Failed to set data for 'Buffer'");
}

TEST_F(Registry, PathsAreRelativeToTheCurrentKeyUnlessRooted) {
    TRegistry reg(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey(std::string(kScratch) + "\\Folder\\shell\\", true));
    EXPECT_EQ(reg.CurrentPath(), std::string(kScratch) + "\\Folder\\shell");
    EXPECT_FALSE(reg.KeyExists("Verb\\command\\"));
    ASSERT_TRUE(reg.OpenKey("Verb\\command\\", true));
    EXPECT_EQ(reg.CurrentPath(), std::string(kScratch) + "\\Folder\\shell\\Verb\\command");
    ASSERT_TRUE(reg.OpenKey(std::string("\\") + kScratch + "\\Folder\\shell", false));
    EXPECT_TRUE(reg.KeyExists("Verb\\command\\"));
    EXPECT_TRUE(reg.KeyExists(std::string("\\") + kScratch + "\\Folder"));
    reg.CloseKey();
    EXPECT_TRUE(reg.KeyExists(std::string(kScratch) + "\\Folder\\shell\\Verb"));
}

TEST_F(Registry, DeleteKeyRemovesEverythingBeneathDepthFirst) {
    TRegistry reg(HKEY_CURRENT_USER);
    const std::string verb = std::string(kScratch) + "\\shell\\Verb";
    for (const char* sub : {"\\command", "\\command\\deeper\\deepest", "\\other", "\\a", "\\b"}) {
        ASSERT_TRUE(reg.OpenKey("\\" + verb + sub, true));
        reg.WriteString("", "v");
        reg.WriteInteger("n", 1);
    }
    ASSERT_TRUE(reg.OpenKey("\\" + std::string(kScratch) + "\\shell\\", true));
    ASSERT_TRUE(reg.KeyExists("Verb"));
    EXPECT_TRUE(reg.DeleteKey("Verb"));
    EXPECT_FALSE(reg.KeyExists("Verb"));
    EXPECT_TRUE(reg.KeyExists(std::string("\\") + kScratch + "\\shell"));
    EXPECT_FALSE(reg.DeleteKey("Verb")); // nothing left to delete
}

} // namespace
} // namespace quennet
