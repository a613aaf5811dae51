// Resources of this test program (runtime_test.rc), looked up the way the controls do.
#include "runtime/Canvas.h"
#include "runtime/Resources.h"

#include <gtest/gtest.h>

namespace quennet {
namespace {

TEST(Resources, BitmapsAndCursorsByNameInAnyCase) {
    GdiBitmap bitmap = LoadBitmapResource("TWOSQUARES");
    ASSERT_TRUE(bitmap);
    SIZE size = BitmapSize(bitmap.get());
    EXPECT_EQ(size.cx, 32);
    EXPECT_EQ(size.cy, 16);
    EXPECT_EQ(BitmapPixel(bitmap.get(), 0, 15), RGB(255, 0, 255));
    EXPECT_EQ(BitmapPixel(bitmap.get(), 5, 5), RGB(255, 0, 0));
    EXPECT_TRUE(LoadBitmapResource("twosquares"));
    EXPECT_FALSE(LoadBitmapResource("NoSuchPicture"));

    EXPECT_NE(LoadCursorResource("HANDTEST"), nullptr);
    EXPECT_EQ(LoadCursorResource("NOSUCHCURSOR"), nullptr);
}

TEST(Resources, WaveResourcesAreFoundByTypeAndPlayed) {
    DWORD size = 0;
    const void* data = FindResourceData("kliktest", "WAV", &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, 444u);
    EXPECT_EQ(std::string(static_cast<const char*>(data), 4), "RIFF");
    EXPECT_EQ(FindResourceData("kliktest", "WAVE"), nullptr); // the type counts too

    EXPECT_TRUE(PlayWaveResource("KLIKTEST", "WAV", false)); // returns after 50 ms of sound
    EXPECT_FALSE(PlayWaveResource("MISSING", "WAV", true));
    PlayWaveResourceAsync(1);
    PlayWaveResourceAsync(99); // missing: nothing happens
}

TEST(Resources, ImageListCutsAWideBitmapIntoImages) {
    TImageList images(16, 16);
    GdiBitmap strip = LoadBitmapResource("TwoSquares");
    EXPECT_EQ(images.AddMasked(strip.get(), RGB(255, 0, 255)), 0);
    EXPECT_EQ(images.Count(), 2);
    EXPECT_EQ(images.ImageSize().cx, 16);

    TOffscreen target(nullptr, 16, 16);
    target.Canvas().FillRect({0, 0, 16, 16}, RGB(0, 255, 0));
    images.Draw(target.DC(), 1, 0, 0);
    EXPECT_EQ(GetPixel(target.DC(), 0, 0), RGB(0, 255, 0)); // masked out
    EXPECT_EQ(GetPixel(target.DC(), 6, 6), RGB(0, 0, 255));
    images.Clear();
    EXPECT_EQ(images.Count(), 0);
}

} // namespace
} // namespace quennet
