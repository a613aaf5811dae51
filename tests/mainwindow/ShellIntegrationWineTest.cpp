// The Explorer verb in the test prefix's real registry, read back also by Wine's own reg.exe.
#include "mainwindow/ShellIntegration.h"
#include "runtime/Registry.h"

#include <gtest/gtest.h>

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

// Runs a command line and returns its exit code and what it printed.
std::pair<DWORD, std::string> RunProgram(std::string commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    KernelHandle reader(readEnd), writer(writeEnd);
    SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer.get();
    startup.hStdError = writer.get();
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process))
        return {~0u, "(not started)"};
    KernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    writer.reset();
    std::string output;
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(reader.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        output.append(buffer, got);
    WaitForSingleObject(processHandle.get(), 10000);
    DWORD code = 0;
    GetExitCodeProcess(processHandle.get(), &code);
    return {code, output};
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
    EXPECT_EQ(code, 0u) << output;
    EXPECT_NE(output.find("REG_SZ    " + expected), std::string::npos) << output;

    ApplyShellIntegration(true); // applying again changes nothing
    EXPECT_EQ(UserCommand(), expected);

    // Anything added beneath the verb goes with it.
    {
        TRegistry reg(HKEY_CURRENT_USER);
        ASSERT_TRUE(reg.OpenKey(kUserVerb + "\\extra\\deeper", true));
        reg.WriteString("note", "added by someone else");
    }
    ApplyShellIntegration(false);
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, kUserVerb));
    EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "Software\\Classes\\Folder\\shell") ||
                !Exists(HKEY_CURRENT_USER, "Software\\Classes\\Folder"));
    EXPECT_EQ(RunProgram("reg.exe query \"HKCU\\" + kUserCommand + "\" /ve").first, 1u);
}

TEST_F(ShellVerb, UncheckingAlsoRemovesAMachineWideVerb) {
    {
        TRegistry machine(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(machine.OpenKey("Software\\Classes\\" + kMachineVerb + "\\command", true));
        machine.WriteString("", "\"C:\\old place\\quennet.exe\" \"%1\"");
    }
    ASSERT_TRUE(Exists(HKEY_CLASSES_ROOT, kMachineVerb));
    ApplyShellIntegration(false);
    EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, kMachineVerb));
    EXPECT_EQ(RunProgram("reg.exe query \"HKCR\\" + kMachineVerb + "\"").first, 1u);
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

TEST_F(ShellVerb, AMachineWideVerbTicksTheBoxAtStartUp) {
    {
        TRegistry machine(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(machine.OpenKey("Software\\Classes\\" + kMachineVerb + "\\command", true));
        machine.WriteString("", "\"C:\\old place\\quennet.exe\" \"%1\"");
    }
    EXPECT_TRUE(RefreshShellVerb());
    EXPECT_EQ(UserCommand(), "\"" + ThisProgram() + "\" \"%1\"");
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
    EXPECT_EQ(message, "Failed to set data for ''");
}

} // namespace
