// The main window at the display scale of the test's prefix (96 DPI, or another in a prefix
// of its own): captions fit, controls do not overlap, sizes are stored in 96-DPI units, and a
// move to a monitor of another scale lays the window out again.
#include "controls/GlyphCheck.h"
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

RECT ScreenRect(TWinControl& control) {
    RECT r;
    GetWindowRect(control.Handle(), &r);
    return r;
}

int FontHeight(TWinControl& control) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control.Handle(), WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

// How wide the control must be for its caption in its own font; 0 where the text is content.
int WidthNeeded(TWinControl& control, int dpi) {
    const std::string caption = control.Caption();
    WindowDC dc(control.Handle());
    SelectGuard keep(dc.get(), control.FontHandle());
    SIZE text{};
    GetTextExtentPoint32A(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &text);
    if (auto* box = dynamic_cast<TGlyphCheck*>(&control))
        return LayoutGlyphCheck(box->Width(), box->Height(), box->Style(), box->Alignment(), text.cx, text.cy, 0,
                                GlyphCheckMetrics(dpi))
                   .caption.left +
               text.cx;
    if (dynamic_cast<TRadioButton*>(&control))
        return GetSystemMetrics(SM_CXMENUCHECK) + ScaleDesignUnits(4, dpi) + text.cx;
    if (dynamic_cast<TGroupBox*>(&control))
        return ScaleDesignUnits(16, dpi) + text.cx;
    return dynamic_cast<TLabel*>(&control) || dynamic_cast<TGradientButton*>(&control) ? text.cx : 0;
}

// Captions against the part of their control that shows; siblings against each other (frames
// hold others by design; a spin box's arrows are its own business).
void CheckContainer(TWinControl& parent, int dpi) {
    std::vector<TWinControl*> placed;
    for (auto& child : parent.Controls()) {
        TWinControl& c = *child;
        if (!c.Visible() || dynamic_cast<TBevel*>(&c))
            continue;
        const std::string name = c.Caption();
        const int shown = std::min(c.Width(), parent.ClientWidth() - c.Left());
        if (!dynamic_cast<TLabel*>(&c) || name.size() < 30) { // the heading wraps
            EXPECT_LE(WidthNeeded(c, dpi), shown) << "cut caption: " << name;
        }
        const RECT r = ScreenRect(c);
        for (TWinControl* other : placed) {
            RECT both, o = ScreenRect(*other);
            EXPECT_FALSE(IntersectRect(&both, &r, &o)) << "'" << name << "' overlaps '" << other->Caption() << "'";
        }
        placed.push_back(&c);
        if (!dynamic_cast<TSpinEdit*>(&c))
            CheckContainer(c, dpi);
    }
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
        test::PumpUntil([] { return false; }, 100);
        return *form_;
    }
    std::unique_ptr<TForm1> form_;
};

TEST_F(DisplayScale, EveryCaptionFitsAndNoControlsOverlapAtTheScreensScale) {
    TForm1& form = Open();
    const int dpi = WindowDpi(form.Handle());
    EXPECT_EQ(form.Dpi(), dpi);
    CheckContainer(form.Panel2, dpi);
    RECT work{}, window = ScreenRect(form), inside{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    IntersectRect(&inside, &window, &work);
    EXPECT_TRUE(EqualRect(&inside, &window)) << "the window within the work area";
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
    const int dpi = WindowDpi(form.Handle());
    EXPECT_EQ(form.files.ColumnWidth(0), MulDiv(200, dpi, 96));
    EXPECT_EQ(form.Width(), MulDiv(600, dpi, 96));
    form.Close();
    test::PumpUntil([] { return false; }, 100);
    form_.reset();
    TRegistry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey(kSettingsKey, false));
    EXPECT_EQ(registry.ReadInteger("Column1 width"), 200);
    EXPECT_EQ(registry.ReadInteger("Size-Width"), 600);
    EXPECT_EQ(registry.ReadInteger("Position-Left"), 10) << "the place is in screen pixels";
}

// Dragged to a monitor of a larger scale. (Moving down is left out: this process is not
// per-monitor aware, so the system's metrics, the scroll bar's width among them, stay those of
// the larger scale and do not show what a smaller monitor would.)
TEST_F(DisplayScale, MovedToAScreenOfALargerScaleTheWindowTakesTheSuggestedPlaceAndLaysOutAgain) {
    TForm1& form = Open();
    const int dpi = form.Dpi(), to = 192;
    if (dpi >= to)
        GTEST_SKIP() << "no larger scale in the range to move to";
    const int column = form.files.ColumnWidth(1), button = form.search.Height();
    EXPECT_EQ(FontHeight(form.fname), -MulDiv(8, dpi, 72));
    RECT suggested{20, 30, 20 + 900, 30 + 600};
    SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    test::PumpUntil([] { return false; }, 100);
    EXPECT_EQ(form.Dpi(), to);
    EXPECT_EQ(form.Left(), 20);
    EXPECT_EQ(form.Width(), 900);
    EXPECT_EQ(form.files.ColumnWidth(1), MulDiv(column, to, dpi));
    EXPECT_EQ(form.search.Height(), MulDiv(button, to, dpi));
    EXPECT_EQ(FontHeight(form.fname), -MulDiv(8, to, 72));
    CheckContainer(form.Panel2, to);
}

} // namespace
} // namespace quennet
