// controls-demo: one window with every control of the program in every state it uses, to
// look at. The background is the criteria panel's money green.
#include <windows.h>

#include <string>
#include <vector>

#include "controls/ColorSchemes.h"
#include "controls/FlatButton.h"
#include "controls/GlyphCheck.h"
#include "controls/GradientButton.h"
#include "controls/Spin.h"
#include "runtime/Application.h"
#include "runtime/Form.h"

namespace quennet {
namespace {

constexpr TColor kMoneyGreen = 0xC0DCC0; // RGB(192,220,192)

struct Label {
    int x, y;
    std::string text;
};

class TDemoForm : public TForm {
  public:
    TDemoForm() {
        SetCaption("Quennet controls");
        SetColor(kMoneyGreen);
        SetParentColor(false);
        SetClientSize(760, 520);
        SetPosition(poDesigned);
        SetBounds(10, 10, Width(), Height());
        AddButtons();
        AddCheckBoxes();
        AddSpinEdits();
        AddFlatButtons();
    }

  protected:
    void Paint(HDC dc) override {
        RECT client = ClientRect();
        GdiBrush brush(CreateSolidBrush(kMoneyGreen));
        FillRect(dc, &client, brush.get());
        SelectGuard font(dc, FontHandle());
        SetBkMode(dc, TRANSPARENT);
        for (const auto& label : labels_)
            TextOutA(dc, label.x, label.y, label.text.c_str(), int(label.text.size()));
    }

  private:
    void Text(int x, int y, const std::string& text) { labels_.push_back({x, y, text}); }

    void AddButtons() {
        Text(8, 8, "Gradient buttons, the main window's colours:");
        const char* looks[] = {"normal", "mouse over", "pressed", "disabled"};
        const struct {
            const char* caption;
            int width, height;
        } buttons[] = {{"Search", 143, 23}, {"What is this ?", 138, 15}, {"About", 143, 23}};
        for (int col = 0; col < 4; ++col)
            Text(100 + col * 160, 26, looks[col]);
        int y = 44;
        for (const auto& b : buttons) {
            for (int col = 0; col < 4; ++col) {
                auto& button = Add<TGradientButton>();
                button.SetColors(MainWindowButtonColors());
                button.SetGradient(false);
                button.SetCaption(b.caption);
                button.SetBounds(100 + col * 160, y, b.width, b.height);
                if (col == 1)
                    button.ShowLook(ButtonLook::Over);
                if (col == 2)
                    button.ShowLook(ButtonLook::Down);
                if (col == 3)
                    button.SetEnabled(false);
            }
            y += b.height + 8;
        }
        Text(8, y + 4, "Stored schemes (gradient):");
        auto& neo = Add<TGradientButton>();
        neo.SetCaption("NeoDesert");
        neo.SetBounds(180, y, 90, 25);
        auto& sky = Add<TGradientButton>();
        sky.SetColorScheme(TColorScheme::csNeoSky);
        sky.SetCaption("NeoSky");
        sky.SetBounds(280, y, 90, 25);
        auto& grass = Add<TGradientButton>();
        grass.SetColorScheme(TColorScheme::csNeoGrass);
        grass.SetCaption("NeoGrass");
        grass.SetBounds(380, y, 90, 25);
        auto& rose = Add<TGradientButton>();
        rose.SetColorScheme(TColorScheme::csRose);
        rose.SetCaption("Rose (flat)");
        rose.SetBounds(480, y, 90, 25);
    }

    void AddCheckBoxes() {
        const int top = 190;
        Text(8, top, "Glyph check boxes:");
        const char* states[] = {"unchecked", "checked", "disabled", "disabled, checked"};
        for (int col = 0; col < 4; ++col)
            Text(8 + col * 185, top + 18, states[col]);
        const char* captions[] = {"Case sensitive", "Adjust automatically", "Specify size (in KB)",
                                  "Integrate into shell"};
        for (int row = 0; row < 4; ++row) {
            for (int col = 0; col < 4; ++col) {
                auto& box = Add<TGlyphCheck>();
                box.SetCaption(captions[row]);
                box.SetBounds(8 + col * 185, top + 36 + row * 21, 145, 19);
                box.SetChecked(col == 1 || col == 3);
                box.SetEnabled(col < 2);
            }
        }
        const TImageType marks[] = {TImageType::igCrossRed,  TImageType::igHookBlue,   TImageType::igCirce,
                                    TImageType::igCrossBlue, TImageType::igCrossGreen, TImageType::igHookLime,
                                    TImageType::igHookRed};
        const char* names[] = {"CrossRed",   "HookBlue", "Circe",  "CrossBlue",
                               "CrossGreen", "HookLime", "HookRed"};
        for (int i = 0; i < 7; ++i) {
            auto& box = Add<TGlyphCheck>();
            box.SetCaption(names[i]);
            box.SetImageType(marks[i]);
            box.SetChecked(true);
            box.SetFlat(i % 2 == 1);
            box.SetStyle(i == 6 ? TCheckStyle::bmSimple : TCheckStyle::bmNone);
            box.SetBounds(8 + i * 106, top + 124, 100, 19);
        }
    }

    void AddSpinEdits() {
        const int top = 350;
        Text(8, top, "Spin edits:");
        Text(10, top + 18, "Maximum buffer size (MB): 1..200");
        auto& maxbuf = Add<TSpinEdit>();
        maxbuf.SetMinValue(1);
        maxbuf.SetMaxValue(200);
        maxbuf.SetValue(25);
        maxbuf.SetBounds(10, top + 34, 138, 22);

        Text(200, top + 18, "Between: 0..2147483646 / and (0=infinite): 0..2147483647");
        const struct {
            int x;
            std::int32_t max;
            bool enabled;
            std::int32_t value;
        } sizes[] = {{200, 2147483646, false, 0},
                     {280, 2147483647, false, 0},
                     {380, 2147483646, true, 100},
                     {460, 2147483647, true, 2147483647}};
        for (const auto& s : sizes) {
            auto& spin = Add<TSpinEdit>();
            spin.SetMinValue(0);
            spin.SetMaxValue(s.max);
            spin.SetValue(s.value);
            spin.SetBounds(s.x, top + 34, s.x >= 460 ? 90 : 65, 22);
            spin.SetEnabled(s.enabled);
        }
    }

    void AddFlatButtons() {
        const int top = 430;
        Text(8, top, "Flat buttons (folder picker):");
        auto& ok = Add<TFlatButton>();
        ok.SetCaption("&OK");
        ok.SetModalResult(mrOk);
        ok.SetBounds(10, top + 18, 100, 23);
        auto& cancel = Add<TFlatButton>();
        cancel.SetCaption("&Cancel");
        cancel.SetModalResult(mrCancel);
        cancel.SetBounds(120, top + 18, 100, 23);
    }

    std::vector<Label> labels_;
};

} // namespace
} // namespace quennet

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    quennet::Application().SetTitle("Quennet controls");
    quennet::TDemoForm form;
    quennet::Application().Run(form);
    return 0;
}
