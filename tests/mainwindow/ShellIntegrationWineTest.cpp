// The Explorer verb in the test prefix's real registry, read back also by Wine's own reg.exe.
#include "mainwindow/ShellIntegration.h"
#include "runtime/Registry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace quennet;

namespace {

const std::string kUserVerb = "Software\\Classes\\Folder\\shell\\Search files for a specific string";
const std::string kUserCommand = kUserVerb + "\\command";
const std::string kMachineVerb = "Folder\\shell\\Search files for a specific string";

std::string ThisProgram() {
    char path[MAX_PATH * 2] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

std::string UserCommand() {
    TRegistry reg(HKEY_CURRENT_USER, KEY_READ);
    if (!reg.OpenKeyReadOnly(kUserCommand))
        return "(no key)";
    return reg.ReadString("");
}

bool Exists(HKEY root, const std::string& path) {
    return TRegistry(root, KEY_READ).KeyExists(path);
}

// Runs a command line through the command interpreter: its exit code and what it printed.
std::pair<int, std::string> RunProgram(const std::string& commandLine) {
    FILE* pipe = _popen((commandLine + " 2>&1").c_str(), "r");
    if (!pipe)
        return {-1, "(not started)"};
    std::string output;
    char buffer[512];
    while (size_t got = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, got);
    return {_pclose(pipe), output};
}

class ShellVerb : public ::testing::Test {
  protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        TRegistry(HKEY_CURRENT_USER).DeleteKey(kUserVerb);
        TRegistry(HKEY_LOCAL_MACHINE).DeleteKey("Software\\Classes\\" + kMachineVerb);
    }
};

TEST_F(ShellVerb, CheckingWritesTheCommandPerUserAndUncheckingRemovesIt) {
    ApplyShellIntegration(true);
    const std::string expected = "\"" + ThisProgram() + "\" \"%1\"";
    EXPECT_EQ(UserCommand(), expected);

    // What another program sees.
    const auto [code, output] = RunProgram("reg.exe query \"HKCU\\" + kUserCommand + "\" /ve");
    EXPECT_EQ(code, 0) << output;
    EXPECT_NE(output.find("REG_SZ    " + expected), std::string::npos) << output;

    // Anything added beneath the verb goes with it.
    {
        TRegistry reg(HKEY_CURRENT_USER);
        ASSERT_TRUE(reg.OpenKey(kUserVerb + "\\extra\\deeper", true));
        reg.WriteString("note", "added by someone else");
    }
    ApplyShellIntegration(false);
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, kUserVerb));
    EXPECT_EQ(RunProgram("reg.exe query \"HKCU\\" + kUserCommand + "\" /ve").first, 1);
}

TEST_F(ShellVerb, StartUpTicksOnlyWithACommandKeyAndPointsItAtThisProgram) {
    EXPECT_FALSE(RefreshShellVerb());
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, kUserVerb)) << "looking creates nothing";

    {
        TRegistry reg(HKEY_CURRENT_USER);
        ASSERT_TRUE(reg.OpenKey(kUserVerb, true)); // a verb without its command
    }
    EXPECT_FALSE(RefreshShellVerb());

    {
        TRegistry reg(HKEY_CURRENT_USER);
        ASSERT_TRUE(reg.OpenKey(kUserCommand, true));
        reg.WriteString("", "\"C:\\old place\\quennet.exe\" \"%1\"");
    }
    EXPECT_TRUE(RefreshShellVerb());
    EXPECT_EQ(UserCommand(), "\"" + ThisProgram() + "\" \"%1\"");
}

TEST_F(ShellVerb, AMachineWideVerbTicksTheBoxAndUncheckingRemovesItToo) {
    {
        TRegistry machine(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(machine.OpenKey("Software\\Classes\\" + kMachineVerb + "\\command", true));
        machine.WriteString("", "\"C:\\old place\\quennet.exe\" \"%1\"");
    }
    EXPECT_TRUE(RefreshShellVerb());
    EXPECT_EQ(UserCommand(), "\"" + ThisProgram() + "\" \"%1\"");

    ApplyShellIntegration(false);
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, kUserVerb));
    EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, kMachineVerb));
    EXPECT_EQ(RunProgram("reg.exe query \"HKCR\\" + kMachineVerb + "\"").first, 1);
}

TEST_F(ShellVerb, AFailedWriteRaisesTheRegistryErrorForTheDefaultValue) {
    // Below a volatile key only volatile keys can be made: the verb's key cannot.
    RegKey volatileRoot;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\QuennetVolatileTest", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, volatileRoot.put(), nullptr),
              ERROR_SUCCESS);
    ShellVerbKeys keys;
    keys.userRoot = volatileRoot.get();
    std::string message = "(no error)";
    try {
        ApplyShellIntegration(true, keys);
    } catch (const ERegistryException& e) {
        message = e.message();
    }
    volatileRoot.reset();
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QuennetVolatileTest");
    EXPECT_EQ(message, "Failed to set data for ''");
}

} // namespace
