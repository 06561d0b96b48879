// The raster canvas the shaded buttons are drawn onto in tests and off screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/headless/RasterCanvas.h"

namespace qv {
namespace {

constexpr Colour kBack = Rgb(1, 1, 1);
constexpr Colour kA = Rgb(200, 0, 0);
constexpr Colour kB = Rgb(0, 200, 0);

// The canvas as rows of characters: '.' background, 'a' and 'b' the two test colours,
// '?' anything else.
std::vector<std::string> Picture(const RasterCanvas& canvas) {
    std::vector<std::string> rows;
    for (int y = 0; y < canvas.Extent().cy; ++y) {
        std::string row;
        for (int x = 0; x < canvas.Extent().cx; ++x) {
            const Colour c = canvas.Pixel(x, y);
            row += c == kBack ? '.' : c == kA ? 'a' : c == kB ? 'b' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

using Rows = std::vector<std::string>;

TEST(RasterCanvas, FillIsClippedToTheImage) {
    RasterCanvas canvas(4, 3, kBack);
    EXPECT_EQ(canvas.Extent().cx, 4);
    EXPECT_EQ(canvas.Extent().cy, 3);
    canvas.FillRect({-2, 1, 2, 9}, kA);
    canvas.FillRect({3, 0, 3, 3}, kB);  // empty
    EXPECT_EQ(Picture(canvas), (Rows{"....", "aa..", "aa.."}));
    EXPECT_EQ(canvas.Pixel(4, 0), RasterCanvas::kOutside);
    EXPECT_EQ(canvas.Pixel(0, -1), RasterCanvas::kOutside);
}

TEST(RasterCanvas, FrameDrawsBottomAndRightLast) {
    RasterCanvas canvas(5, 4, kBack);
    canvas.FrameRect({0, 0, 4, 4}, kA, kB);
    // The top-right and bottom-left corners take the bottom-right colour.
    EXPECT_EQ(Picture(canvas), (Rows{"aaab.", "a..b.", "a..b.", "bbbb."}));
    canvas.FrameRect({2, 2, 2, 4}, kA, kB);  // empty: nothing
    EXPECT_EQ(canvas.Pixel(2, 2), kBack);
}

TEST(RasterCanvas, EdgesAreTwoPixelsWide) {
    SystemColours c;
    c.light = Rgb(1, 0, 0);
    c.highlight = Rgb(2, 0, 0);
    c.shadow = Rgb(3, 0, 0);
    c.darkShadow = Rgb(4, 0, 0);
    auto picture = [&](bool raised) {
        RasterCanvas canvas(6, 5, kBack);
        canvas.DrawEdge({0, 0, 6, 5}, raised, c);
        std::vector<std::string> rows;
        for (int y = 0; y < 5; ++y) {
            std::string row;
            for (int x = 0; x < 6; ++x) {
                const Colour p = canvas.Pixel(x, y);
                row += p == kBack ? '.' : static_cast<char>('0' + RedOf(p));
            }
            rows.push_back(row);
        }
        return rows;
    };
    // 1 light, 2 highlight, 3 shadow, 4 dark shadow.
    EXPECT_EQ(picture(true), (Rows{"111114",  //
                                   "122234",  //
                                   "12..34",  //
                                   "133334",  //
                                   "444444"}));
    EXPECT_EQ(picture(false), (Rows{"333332",  //
                                    "344412",  //
                                    "34..12",  //
                                    "311112",  //
                                    "222222"}));
}

// An 8-bit 3 x 2 bitmap, bottom row first: top row a b a, bottom row b b a; colours used 2.
std::vector<uint8_t> SmallBitmap(int32_t height) {
    std::vector<uint8_t> block(40 + 8 + 8, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            block[at + i] = static_cast<uint8_t>(v >> (8 * i));
        }
    };
    put32(0, 40);
    put32(4, 3);
    put32(8, static_cast<uint32_t>(height));
    block[12] = 1;
    block[14] = 8;
    put32(32, 2);
    // Palette: 0 = kA, 1 = kB (blue, green, red, 0).
    block[40 + 2] = 200;
    block[44 + 1] = 200;
    const uint8_t first[4] = {1, 1, 0, 0};
    const uint8_t second[4] = {0, 1, 0, 0};
    const bool bottomUp = height > 0;
    std::copy(bottomUp ? first : second, (bottomUp ? first : second) + 4, block.begin() + 48);
    std::copy(bottomUp ? second : first, (bottomUp ? second : first) + 4, block.begin() + 52);
    return block;
}

TEST(RasterCanvas, PaintsBitmapsUnscaledAndClipped) {
    struct Case {
        int32_t height;
        int x;
        int y;
        Rows expected;
    };
    for (const Case& c : {Case{2, 1, 1, {".....", ".aba.", ".bba.", "....."}},
                          Case{-2, 1, 1, {".....", ".aba.", ".bba.", "....."}},
                          Case{2, -1, -1, {"ba...", ".....", ".....", "....."}},
                          Case{2, 3, 3, {".....", ".....", ".....", "...ab"}}}) {
        SCOPED_TRACE(testing::Message() << "height " << c.height << " at " << c.x << "," << c.y);
        RasterCanvas canvas(5, 4, kBack);
        const std::vector<uint8_t> block = SmallBitmap(c.height);
        canvas.PaintBitmap(block.data(), c.x, c.y);
        EXPECT_EQ(Picture(canvas), c.expected);
    }
    RasterCanvas canvas(2, 2, kBack);
    canvas.PaintBitmap(nullptr, 0, 0);
    EXPECT_EQ(Picture(canvas), (Rows{"..", ".."}));
}

TEST(RasterCanvas, PaintsOneBitAndTwentyFourBitBitmaps) {
    // 1 bit, 3 x 1, two palette entries: pixels 1 0 1 in the high bits of the first byte.
    std::vector<uint8_t> mono(40 + 8 + 4, 0);
    mono[0] = 40;
    mono[4] = 3;
    mono[8] = 1;
    mono[12] = 1;
    mono[14] = 1;
    mono[40 + 2] = 200;  // entry 0: kA
    mono[44 + 1] = 200;  // entry 1: kB
    mono[48] = 0xA0;
    RasterCanvas canvas(3, 2, kBack);
    canvas.PaintBitmap(mono.data(), 0, 0);

    // 24 bits, 2 x 1: blue, green, red triples.
    std::vector<uint8_t> rgb(40 + 8, 0);
    rgb[0] = 40;
    rgb[4] = 2;
    rgb[8] = 1;
    rgb[12] = 1;
    rgb[14] = 24;
    rgb[40 + 2] = 200;  // kA
    rgb[43 + 1] = 200;  // kB
    canvas.PaintBitmap(rgb.data(), 1, 1);
    EXPECT_EQ(Picture(canvas), (Rows{"bab", ".ab"}));
}

TEST(RasterCanvas, TextIsPlaceholderGlyphsWithMnemonicUnderline) {
    RasterCanvas canvas(20, 15, kBack);
    EXPECT_EQ(canvas.TextExtent("&Ab").cx, 12);
    EXPECT_EQ(canvas.TextExtent("&Ab").cy, 13);
    EXPECT_EQ(canvas.TextExtent("a&&b").cx, 18);
    EXPECT_EQ(canvas.TextExtent("").cx, 0);

    canvas.DrawText("&A b", {1, 1, 19, 14}, dt::kSingleLine | dt::kVCenter | dt::kCenter, kA);
    ASSERT_EQ(canvas.TextCalls().size(), 1u);
    EXPECT_EQ(canvas.TextCalls()[0].text, "&A b");
    // 18 wide in 18: cells at x 1, 7, 13; 13 high in 13: top 1.
    const Rows picture = Picture(canvas);
    EXPECT_EQ(picture[0], "....................");
    EXPECT_EQ(picture[3], "..aaaa........aaaa..");  // glyph rows 3 to 11
    EXPECT_EQ(picture[11], "..aaaa........aaaa..");
    EXPECT_EQ(picture[12], "....................");
    EXPECT_EQ(picture[13], ".aaaaaa.............");  // the mnemonic's underline
    EXPECT_EQ(picture[2], "....................");
}

TEST(RasterCanvas, TextAlignsAndClipsToItsRectangle) {
    struct Case {
        unsigned format;
        Rect rect;
        std::string row7;  // a glyph row
    };
    const unsigned line = dt::kSingleLine | dt::kVCenter;
    for (const Case& c : {Case{line | dt::kLeft, {2, 0, 16, 15}, "...aaaa........."},
                          Case{line | dt::kRight, {2, 0, 16, 15}, "...........aaaa."},
                          Case{line | dt::kCenter, {2, 0, 16, 15}, ".......aaaa....."},
                          Case{line | dt::kCenter, {6, 0, 8, 15}, "......aa........"}}) {
        SCOPED_TRACE(testing::Message() << "format " << c.format << " left " << c.rect.left);
        RasterCanvas canvas(16, 15, kBack);
        canvas.DrawText("X", c.rect, c.format, kA);
        EXPECT_EQ(Picture(canvas)[7], c.row7);
    }
    // Without vertical centring the text starts at the top.
    RasterCanvas canvas(8, 15, kBack);
    canvas.DrawText("X", {0, 0, 8, 15}, dt::kLeft, kA);
    EXPECT_EQ(Picture(canvas)[2], ".aaaa...");
    EXPECT_EQ(Picture(canvas)[1], "........");
}

}  // namespace
}  // namespace qv
