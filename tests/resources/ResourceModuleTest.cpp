#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "resources/resource.h"

namespace {

DWORD ResourceBytes(LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(nullptr, name, type);
    return found ? SizeofResource(nullptr, found) : 0;
}

TEST(ResourceModule, SoundsAreCompiledInWithTheirLengths) {
    // 44 bytes of RIFF, fmt and data headers, plus a pad byte after odd data.
    EXPECT_EQ(ResourceBytes("klik", "WAV"), 44u + 2516u);
    EXPECT_EQ(ResourceBytes(MAKEINTRESOURCEA(QUENNET_WAVE_PISTOL), "WAVE"), 44u + 6653u + 1u);
    EXPECT_EQ(ResourceBytes(MAKEINTRESOURCEA(QUENNET_WAVE_GAME), "WAVE"), 44u + 906u);
    EXPECT_EQ(ResourceBytes(MAKEINTRESOURCEA(QUENNET_WAVE_FIRE), "WAVE"), 44u + 7498u);
    EXPECT_EQ(ResourceBytes(MAKEINTRESOURCEA(QUENNET_WAVE_HEALTH), "WAVE"), 44u + 1961u + 1u);
}

TEST(ResourceModule, BitmapsLoadByTheNamesTheProgramUses) {
    struct Case {
        const char* name;
        LONG width, height;
    } cases[] = {
        {"Blank", 16, 16},     {"Enabled", 16, 16},        {"BlankFlat", 16, 16}, {"EnabledFlat", 16, 16},
        {"CheckIks", 16, 16},  {"CheckOk", 16, 16},        {"CHECKELLI", 16, 16}, {"CHECKEIKSB", 16, 16},
        {"CHECKIKSG", 16, 16}, {"CHECKOKG", 16, 16},       {"CheckOkR", 16, 16},  {"SPINUP", 9, 6},
        {"SPINDOWN", 9, 6},    {"BOOKMARKICONS", 200, 10}, {"LOOKIN", 112, 16},   {"DOCUMENT", 16, 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), c.name);
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, c.width);
        EXPECT_EQ(info.bmHeight, c.height);
        DeleteObject(bitmap);
    }
}

TEST(ResourceModule, HandCursorLoads) {
    HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), "HANDD");
    EXPECT_NE(hand, nullptr); // shared cursor resource: not destroyed
}

TEST(ResourceModule, ManifestAsksForCommonControls6Utf8AndLongPaths) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(QUENNET_MANIFEST_ID), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    std::string manifest(text, SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find(
                  "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8"),
              std::string::npos);
    EXPECT_NE(manifest.find("asInvoker"), std::string::npos);
    EXPECT_NE(manifest.find("<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true"),
              std::string::npos);
}

} // namespace
