// Text put on the clipboard, read back as another program reads it.
#include "runtime/Clipboard.h"

#include "base/WidePath.h"
#include "runtime/Handles.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace quennet {
namespace {

std::string ClipboardUnicodeText() {
    if (!OpenClipboard(nullptr))
        return "(not opened)";
    std::string text = "(none)";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        GlobalLockGuard<wchar_t> chars(data);
        if (chars)
            text = WideToUtf8(chars.get());
    }
    CloseClipboard();
    return text;
}

// Names outside the ANSI code page (Cyrillic, Japanese) arrive whole, and a shorter text
// replaces a longer one without a trace of it.
TEST(Clipboard, TextReplacesTheClipboardWholeWhateverItsCharacters) {
    ASSERT_TRUE(SetClipboardText(nullptr, "a longer text, put there first by someone else"));
    const std::string paths = "C:\\\xD0\xB4\xD0\xBE\xD0\xBC\\\xE6\x97\xA5.txt\r\nC:\\b.txt\r\n";
    ASSERT_TRUE(SetClipboardText(nullptr, paths));
    EXPECT_EQ(ClipboardUnicodeText(), paths);
    ASSERT_TRUE(SetClipboardText(nullptr, ""));
    EXPECT_EQ(ClipboardUnicodeText(), "");
}

} // namespace
} // namespace quennet
