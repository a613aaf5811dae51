// The main window's status bar as the screen shows it, under Wine. (The window resized by the
// real mouse is repaint-xdotool.sh's.)
#include "mainwindow/main.h"
#include "runtime/Registry.h"
#include "tests/runtime/BoxWatcher.h"
#include "tests/runtime/OleSuite.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace quennet {
namespace {

using test::PumpUntil;

void Pump(int ms) {
    PumpUntil([] { return false; }, ms);
}

// A screen rectangle's pixels, top row first, as 0x00RRGGBB.
std::vector<DWORD> ScreenPixels(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    WindowDC screen(nullptr);
    void* bits = nullptr;
    GdiBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDC memory(CreateCompatibleDC(screen.get()));
    {
        SelectGuard select(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY);
    }
    GdiFlush();
    const auto* first = static_cast<const DWORD*>(bits);
    return std::vector<DWORD>(first, first + static_cast<size_t>(w) * static_cast<size_t>(h));
}

bool Ink(DWORD pixel) {
    return (pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF) < 200;
}

// The status bar panel's rectangle on the screen, and the first and last screen columns of
// text in it (its middle rows, clear of the sunken edges); -1 without text.
struct PanelInk {
    RECT rect{};
    int clientRight = 0; // the panel's right edge in the bar
    int first = -1, last = -1;
};

PanelInk InkOfPanel(TStatusBar& bar, int panel) {
    PanelInk ink;
    SendMessageA(bar.HandleOrNull(), SB_GETRECT, panel, reinterpret_cast<LPARAM>(&ink.rect));
    ink.clientRight = ink.rect.right;
    MapWindowPoints(bar.HandleOrNull(), nullptr, reinterpret_cast<POINT*>(&ink.rect), 2);
    RECT inner{ink.rect.left + 2, ink.rect.top + 2, ink.rect.right - 2, ink.rect.bottom - 2};
    const std::vector<DWORD> pixels = ScreenPixels(inner);
    const int w = inner.right - inner.left, h = inner.bottom - inner.top;
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            if (Ink(pixels[static_cast<size_t>(y * w + x)])) {
                if (ink.first < 0)
                    ink.first = inner.left + x;
                ink.last = inner.left + x;
                break;
            }
    return ink;
}

class StatusBarOnScreen : public test::OleSuite {
  protected:
    void SetUp() override { TRegistry(HKEY_CURRENT_USER).DeleteKey(kSettingsKey); }
    void TearDown() override {
        form_.reset();
        TRegistry(HKEY_CURRENT_USER).DeleteKey(kSettingsKey);
    }

    TForm1& Open() {
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        form_ = std::make_unique<TForm1>(temp);
        form_->Show();
        Pump(200);
        return *form_;
    }

    // A progress tick as the search's timer runs it.
    void ShowProgress(std::int32_t found, const std::string& folder) {
        SearchControl& control = form_->searchControl;
        control.Progress.FilesFound = found;
        control.Progress.SetCurrentFolder(folder);
        control.NowSearchingInANDnrOfFilesFound.OnTimer(control.NowSearchingInANDnrOfFilesFound);
        Pump(300);
    }

    std::unique_ptr<TForm1> form_;
};

TEST_F(StatusBarOnScreen, ASevenDigitCountIsShownWholeAndTheFolderAfterIt) {
    TForm1& form = Open();
    ShowProgress(1234567, "C:\\windows\\");
    ASSERT_EQ(form.StatusBar.PanelText(1), "1234567 files found.");
    const PanelInk count = InkOfPanel(form.StatusBar, 1);
    ASSERT_GE(count.last, 0) << "the count is painted";
    EXPECT_LT(count.last, count.rect.right - 5) << "the text ends before the panel's edge, not cut by it";
    const PanelInk folder = InkOfPanel(form.StatusBar, 2);
    EXPECT_GT(folder.first, count.last + 5) << "the folder's panel moved along";

    // A short count again: the panel is back at its own width, the folder's text beside it.
    ShowProgress(7, "C:\\windows\\");
    const PanelInk small = InkOfPanel(form.StatusBar, 1);
    EXPECT_EQ(small.clientRight, 146 + 100);
    EXPECT_GT(count.clientRight, 146 + 100);
}

} // namespace
} // namespace quennet
