#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> ReadFile(const std::string& relative) {
    std::ifstream in(std::string(QUENNET_RESOURCE_DIR) + "/" + relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t U32(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<unsigned char>& b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}

struct Bmp {
    int32_t width = 0, height = 0;
    int bits = 0;
    uint32_t bottomLeft = 0; // 0xRRGGBB
};

Bmp ReadBmp(const std::string& name) {
    auto b = ReadFile("bitmaps/" + name + ".bmp");
    Bmp bmp;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M')
        return bmp;
    bmp.width = int32_t(U32(b, 18));
    bmp.height = int32_t(U32(b, 22));
    bmp.bits = U16(b, 28);
    size_t pixels = U32(b, 10);
    // Bottom-up rows: the first stored row is the picture's bottom one.
    if (bmp.bits == 24) {
        bmp.bottomLeft = uint32_t(b[pixels + 2]) << 16 | b[pixels + 1] << 8 | b[pixels];
    } else {
        unsigned index = bmp.bits == 4 ? b[pixels] >> 4 : b[pixels];
        size_t entry = 54 + 4 * index;
        bmp.bottomLeft = uint32_t(b[entry + 2]) << 16 | b[entry + 1] << 8 | b[entry];
    }
    return bmp;
}

TEST(ResourceFiles, CheckBoxPicturesAre16ColourSquaresWithMagentaCorner) {
    for (const char* name : {"blank", "enabled", "blankflat", "enabledflat", "checkiks", "checkok",
                             "checkelli", "checkeiksb", "checkiksg", "checkokg", "checkokr"}) {
        SCOPED_TRACE(name);
        Bmp bmp = ReadBmp(name);
        EXPECT_EQ(bmp.width, 16);
        EXPECT_EQ(bmp.height, 16);
        EXPECT_EQ(bmp.bits, 4);
        EXPECT_EQ(bmp.bottomLeft, 0xFF00FFu);
    }
}

TEST(ResourceFiles, SpinArrowsAreOliveBacked) {
    for (const char* name : {"spinup", "spindown"}) {
        SCOPED_TRACE(name);
        Bmp bmp = ReadBmp(name);
        EXPECT_EQ(bmp.width, 9);
        EXPECT_EQ(bmp.height, 6);
        EXPECT_EQ(bmp.bits, 4);
        EXPECT_EQ(bmp.bottomLeft, 0x808000u);
    }
}

TEST(ResourceFiles, ImageStripsHaveTheirSizes) {
    Bmp bookmarks = ReadBmp("bookmarkicons");
    EXPECT_EQ(bookmarks.width, 200);
    EXPECT_EQ(bookmarks.height, 10);
    EXPECT_EQ(bookmarks.bottomLeft, 0xFF00FFu);
    Bmp lookin = ReadBmp("lookin");
    EXPECT_EQ(lookin.width, 7 * 16);
    EXPECT_EQ(lookin.height, 16);
    Bmp document = ReadBmp("document");
    EXPECT_EQ(document.width, 16);
    EXPECT_EQ(document.height, 16);
}

struct WavCase {
    const char* file;
    uint32_t rate;
    uint16_t bits;
    uint32_t dataBytes;
};

TEST(ResourceFiles, SoundsHaveTheirExactFormatsAndLengths) {
    const WavCase cases[] = {{"klik", 22050, 16, 2516},
                             {"wave1", 11025, 8, 6653},
                             {"wave2", 11025, 8, 906},
                             {"wave3", 11025, 8, 7498},
                             {"wave4", 11025, 8, 1961}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        auto b = ReadFile(std::string("sounds/") + c.file + ".wav");
        ASSERT_GE(b.size(), 44u);
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(U32(b, 4), b.size() - 8); // odd data is padded, and the RIFF size counts the pad
        EXPECT_EQ(U16(b, 20), 1);           // PCM
        EXPECT_EQ(U16(b, 22), 1);           // mono
        EXPECT_EQ(U32(b, 24), c.rate);
        EXPECT_EQ(U16(b, 34), c.bits);
        EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
        EXPECT_EQ(U32(b, 40), c.dataBytes);
    }
}

TEST(ResourceFiles, HandCursorIsOne32PixelImageWithHotSpotInside) {
    auto b = ReadFile("cursors/handd.cur");
    ASSERT_GE(b.size(), 22u);
    EXPECT_EQ(U16(b, 2), 2); // cursor, not icon
    EXPECT_EQ(U16(b, 4), 1);
    EXPECT_EQ(b[6], 32);
    EXPECT_EQ(b[7], 32);
    EXPECT_LT(U16(b, 10), 32);
    EXPECT_LT(U16(b, 12), 32);
    EXPECT_EQ(U32(b, 18) + U32(b, 14), b.size());
}

} // namespace
