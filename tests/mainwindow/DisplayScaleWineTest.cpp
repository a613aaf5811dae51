// The main window at the display scale of the test's prefix (96 DPI by default; the same
// program runs in prefixes set to other scales): every caption fits its control, no two
// controls overlap, sizes are stored in 96-DPI units, and a move to another scale re-lays out.
#include "controls/CheckGeometry.h"
#include "mainwindow/main.h"
#include "runtime/Dpi.h"
#include "runtime/Registry.h"
#include "tests/runtime/BoxWatcher.h"
#include "tests/runtime/OleSuite.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace quennet {
namespace {

void Pump(int ms) {
    test::PumpUntil([] { return false; }, ms);
}

std::string Describe(TWinControl& control) {
    char name[64] = "";
    GetClassNameA(control.Handle(), name, sizeof name);
    return std::string(name) + " '" + control.Caption() + "'";
}

RECT ScreenRect(TWinControl& control) {
    RECT r;
    GetWindowRect(control.Handle(), &r);
    return r;
}

// The caption's extent in the control's own font, as it draws it.
SIZE CaptionExtent(TWinControl& control) {
    const std::string text = control.Caption();
    HDC dc = GetDC(control.Handle());
    HGDIOBJ old = SelectObject(dc, control.FontHandle());
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control.Handle(), dc);
    return size;
}

// How wide the control must be for its caption, or 0 for controls whose text is content.
int WidthNeeded(TWinControl& control, int dpi) {
    const SIZE text = CaptionExtent(control);
    if (auto* box = dynamic_cast<TGlyphCheck*>(&control)) {
        const CheckLayout layout = LayoutGlyphCheck(box->Width(), box->Height(), box->Style(), box->Alignment(),
                                                    text.cx, text.cy, 0);
        return layout.caption.left + text.cx;
    }
    if (dynamic_cast<TRadioButton*>(&control))
        return GetSystemMetrics(SM_CXMENUCHECK) + ScaleDesignUnits(4, dpi) + text.cx;
    if (dynamic_cast<TGroupBox*>(&control))
        return ScaleDesignUnits(16, dpi) + text.cx;
    if (dynamic_cast<TLabel*>(&control) || dynamic_cast<TGradientButton*>(&control))
        return text.cx;
    return 0;
}

class DisplayScale : public test::OleSuite {
  protected:
    void SetUp() override { TRegistry(HKEY_CURRENT_USER).DeleteKey(kSettingsKey); }
    void TearDown() override {
        form_.reset();
        TRegistry(HKEY_CURRENT_USER).DeleteKey(kSettingsKey);
    }
    TForm1& Open() {
        form_ = std::make_unique<TForm1>();
        form_->Show();
        Pump(100);
        return *form_;
    }
    std::unique_ptr<TForm1> form_;
};

// Walks a container: captions against the part of their control that shows, siblings against
// each other (frames hold others by design; a spin box's arrows are its own business).
void CheckContainer(TWinControl& parent, int dpi) {
    std::vector<TWinControl*> placed;
    const int clientWidth = parent.ClientWidth();
    for (auto& child : parent.Controls()) {
        TWinControl& c = *child;
        if (!c.Visible() || dynamic_cast<TBevel*>(&c))
            continue;
        const std::string name = Describe(c);
        const int shown = std::min(c.Width(), clientWidth - c.Left());
        if (!dynamic_cast<TLabel*>(&c) || c.Caption().size() < 30) { // the heading wraps
            EXPECT_LE(WidthNeeded(c, dpi), shown) << "cut caption: " << name;
        }
        const RECT r = ScreenRect(c);
        for (TWinControl* other : placed) {
            RECT both;
            const RECT o = ScreenRect(*other);
            EXPECT_FALSE(IntersectRect(&both, &r, &o)) << name << " overlaps " << Describe(*other);
        }
        placed.push_back(&c);
        if (!dynamic_cast<TSpinEdit*>(&c))
            CheckContainer(c, dpi);
    }
}

TEST_F(DisplayScale, EveryCaptionFitsAndNoControlsOverlapAtTheScreensScale) {
    TForm1& form = Open();
    const int dpi = WindowDpi(form.Handle());
    EXPECT_EQ(form.Dpi(), dpi);
    // The panel unscrolled, with the width a user gets at first.
    CheckContainer(form.Panel2, dpi);
    RECT work{}, window = ScreenRect(form), inside{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    IntersectRect(&inside, &window, &work);
    EXPECT_TRUE(EqualRect(&inside, &window))
        << "the window within the work area: " << window.left << "," << window.top << " " << window.right << ","
        << window.bottom << " in " << work.right << "," << work.bottom;
}

TEST_F(DisplayScale, StoredSizesAreDesignUnitsAndReadBackToTheSameLook) {
    // Saved at 144 DPI from a 300-pixel column and a 900-pixel window.
    {
        TRegistry registry(HKEY_CURRENT_USER);
        ASSERT_TRUE(registry.OpenKey(kSettingsKey, true));
        registry.WriteInteger("Column1 width", 200);
        registry.WriteInteger("Size-Width", 600);
        registry.WriteInteger("Position-Left", 10);
    }
    TForm1& form = Open();
    const int dpi = form.Dpi();
    EXPECT_EQ(form.files.ColumnWidth(0), MulDiv(200, dpi, 96));
    EXPECT_EQ(form.Width(), MulDiv(600, dpi, 96));
    form.Close();
    Pump(100);
    form_.reset();
    TRegistry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey(kSettingsKey, false));
    EXPECT_EQ(registry.ReadInteger("Column1 width"), 200);
    EXPECT_EQ(registry.ReadInteger("Size-Width"), 600);
    EXPECT_EQ(registry.ReadInteger("Position-Left"), 10) << "the place is in screen pixels";
}

// Dragged to a monitor of a larger scale. (Moving down is left out here: this process is not
// per-monitor aware, so the system's metrics, the scroll bar's width among them, stay those of
// the larger scale and do not show what a smaller monitor would.)
TEST_F(DisplayScale, MovedToAScreenOfAnotherScaleTheWindowTakesTheSuggestedPlaceAndLaysOutAgain) {
    TForm1& form = Open();
    const int dpi = form.Dpi();
    if (dpi >= 192)
        GTEST_SKIP() << "no larger scale in the range to move to";
    const int to = 192;
    const int column = form.files.ColumnWidth(1);
    const int button = form.search.Height();
    LOGFONTA before{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(form.fname.Handle(), WM_GETFONT, 0, 0)), sizeof before,
               &before);
    RECT suggested{20, 30, 20 + 900, 30 + 600};
    SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    Pump(100);
    EXPECT_EQ(form.Dpi(), to);
    EXPECT_EQ(form.Left(), 20);
    EXPECT_EQ(form.Width(), 900);
    EXPECT_EQ(form.files.ColumnWidth(1), MulDiv(column, to, dpi));
    EXPECT_EQ(form.search.Height(), MulDiv(button, to, dpi));
    LOGFONTA after{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(form.fname.Handle(), WM_GETFONT, 0, 0)), sizeof after,
               &after);
    EXPECT_EQ(before.lfHeight, -MulDiv(8, dpi, 72));
    EXPECT_EQ(after.lfHeight, -MulDiv(8, to, 72));
    CheckContainer(form.Panel2, to);
}

} // namespace
} // namespace quennet
