#include <gtest/gtest.h>

#include <vector>

#include "controls/FlatButton.h"
#include "ControlTestSupport.h"

namespace quennet {
namespace {

using namespace quennet::testing;

std::vector<COLORREF> Snapshot(TFlatButton& button) {
    Canvas canvas(100, 23);
    SendMessageA(button.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()),
                 PRF_CLIENT | PRF_ERASEBKGND);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 100; ++x)
            pixels.push_back(canvas.At(x, y));
    return pixels;
}

TEST(FlatButton, ExtraPropertiesLeaveTheLookUnchanged) {
    HostForm& form = SharedForm();
    auto& button = form.Add<TFlatButton>();
    button.SetCaption("&OK");
    button.SetBounds(10, 10, 100, 23);
    Pump();
    const auto before = Snapshot(button);
    GdiBitmap picture(LoadBitmapA(GetModuleHandleA(nullptr), "Blank"));
    button.SetPicture(picture.get());
    button.SetCaption2("second");
    button.SetAlignment(TFlatAlignment::Center);
    button.SetMargin(7);
    Pump();
    EXPECT_EQ(Snapshot(button), before);
    form.RemoveControl(button);
}

TEST(FlatButton, ClicksSetTheModalResultByMouseAndAccessKey) {
    HostForm& form = SharedForm();
    auto& ok = form.Add<TFlatButton>();
    ok.SetCaption("&OK");
    ok.SetModalResult(mrOk);
    ok.SetBounds(10, 10, 100, 23);
    auto& cancel = form.Add<TFlatButton>();
    cancel.SetCaption("&Cancel");
    cancel.SetModalResult(mrCancel);
    cancel.SetBounds(120, 10, 100, 23);
    int clicks = 0;
    ok.OnClick = [&](TWinControl&) { ++clicks; };
    Pump();

    SendMessageA(ok.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    SendMessageA(ok.Handle(), WM_LBUTTONUP, 0, At(5, 5));
    Pump();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form.ModalResult(), mrOk);

    EXPECT_TRUE(form.DialogChar('c'));
    EXPECT_EQ(form.ModalResult(), mrCancel);
    form.RemoveControl(ok);
    form.RemoveControl(cancel);
}

} // namespace
} // namespace quennet
