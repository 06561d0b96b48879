#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/headless/RasterCanvas.h"
#include "ui/TextureBitmap.h"

namespace qv {
namespace {

uint32_t Le32(const uint8_t* at) {
    return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<uint32_t>(at[3]) << 24);
}
uint16_t Le16(const uint8_t* at) {
    return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

std::vector<uint8_t> BlockBytes(const TextureBitmap& b) {
    return std::vector<uint8_t>(b.Block(), b.Block() + b.BlockSize());
}

TEST(TextureBitmap, NewBitmapIsEmpty) {
    TextureBitmap b;
    EXPECT_FALSE(b.HasImage());
    EXPECT_EQ(b.Block(), nullptr);
    EXPECT_EQ(b.PixelData(), nullptr);
    EXPECT_EQ(b.Info().size, 40u);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(b.Info().bitCount, 0);
    EXPECT_EQ(b.RowStride(), 0);
    EXPECT_EQ(b.PaletteEntries(), 0);
    EXPECT_EQ(b.BlockSize(), 40u);
    RasterCanvas canvas(4, 4);
    EXPECT_FALSE(b.Paint(&canvas, 0, 0));
    // Operations on a bitmap without a block do nothing.
    b.PutPixel(0, 0, 1);
    b.SetPaletteColour(0, 1, 2, 3);
    b.TintPalette(Rgb(1, 2, 3), 50);
    b.FillPixels(7);
    EXPECT_FALSE(b.HasImage());
}

struct DepthCase {
    int32_t width;
    int32_t height;
    uint16_t requested;
    uint16_t bits;
    uint16_t entries;
    int32_t stride;
};

class TextureBitmapDepth : public testing::TestWithParam<DepthCase> {};

TEST_P(TextureBitmapDepth, HeaderPaletteAndStride) {
    const DepthCase& c = GetParam();
    TextureBitmap b;
    uint8_t* block = b.Allocate(c.width, c.height, c.requested);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block, b.Block());
    EXPECT_EQ(b.Info().bitCount, c.bits);
    EXPECT_EQ(b.PaletteEntries(), c.entries);
    EXPECT_EQ(b.RowStride(), c.stride);
    const uint32_t imageSize = static_cast<uint32_t>(c.stride * c.height);
    EXPECT_EQ(b.BlockSize(), 40u + 4u * c.entries + imageSize);
    EXPECT_EQ(b.PixelData(), block + 40 + 4 * c.entries);

    // The header in the block, byte by byte.
    EXPECT_EQ(Le32(block + 0), 40u);
    EXPECT_EQ(static_cast<int32_t>(Le32(block + 4)), c.width);
    EXPECT_EQ(static_cast<int32_t>(Le32(block + 8)), c.height);
    EXPECT_EQ(Le16(block + 12), 1);
    EXPECT_EQ(Le16(block + 14), c.bits);
    EXPECT_EQ(Le32(block + 16), 0u);
    EXPECT_EQ(Le32(block + 20), imageSize);
    for (int offset : {24, 28, 32, 36}) {
        EXPECT_EQ(Le32(block + offset), 0u) << "offset " << offset;
    }
}

INSTANTIATE_TEST_SUITE_P(, TextureBitmapDepth,
                         testing::Values(DepthCase{5, 3, 0, 1, 2, 4}, DepthCase{33, 2, 1, 1, 2, 8},
                                         DepthCase{3, 2, 2, 4, 16, 4}, DepthCase{9, 1, 4, 4, 16, 8},
                                         DepthCase{3, 2, 5, 8, 256, 4},
                                         DepthCase{5, 4, 8, 8, 256, 8},
                                         DepthCase{4, 1, 8, 8, 256, 4},
                                         DepthCase{3, 2, 9, 24, 0, 12},
                                         DepthCase{2, 3, 24, 24, 0, 8}));

TEST(TextureBitmap, AllocateRefusesSizesItCannotHold) {
    struct Case {
        int32_t width;
        int32_t height;
    };
    for (Case c : {Case{0, 5}, Case{5, 0}, Case{-3, 5}, Case{5, -3}, Case{0x7FFFFFFF, 0x7FFFFFFF},
                   Case{70000, 70000}}) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        TextureBitmap b;
        ASSERT_NE(b.Allocate(4, 4, 8), nullptr);
        EXPECT_EQ(b.Allocate(c.width, c.height, 8), nullptr);
        EXPECT_FALSE(b.HasImage());
        EXPECT_EQ(b.BlockSize(), 40u);
    }
}

TEST(TextureBitmap, PaletteEntriesAreBlueGreenRedZero) {
    TextureBitmap b;
    b.Allocate(2, 2, 8);
    b.SetPaletteColour(0, 10, 20, 30);
    b.SetPaletteColour(255, 1, 2, 3);
    const uint8_t* palette = b.Block() + 40;
    EXPECT_EQ(std::vector<uint8_t>(palette, palette + 4), (std::vector<uint8_t>{30, 20, 10, 0}));
    EXPECT_EQ(std::vector<uint8_t>(palette + 1020, palette + 1024),
              (std::vector<uint8_t>{3, 2, 1, 0}));
    EXPECT_EQ(b.PaletteColour(0), Rgb(10, 20, 30));

    // A 1-bit bitmap has two entries; the third is not there to write.
    TextureBitmap mono;
    mono.Allocate(8, 1, 1);
    std::memset(mono.PixelData() - 8, 0xEE, 8);
    const std::vector<uint8_t> before = BlockBytes(mono);
    mono.SetPaletteColour(2, 1, 2, 3);
    EXPECT_EQ(BlockBytes(mono), before);

    // Without a palette (24 bits) nothing is written.
    TextureBitmap rgb;
    rgb.Allocate(1, 1, 24);
    rgb.FillPixels(0x55);
    const std::vector<uint8_t> rgbBefore = BlockBytes(rgb);
    rgb.SetPaletteColour(0, 1, 2, 3);
    rgb.PutPixel(0, 0, 9);
    EXPECT_EQ(BlockBytes(rgb), rgbBefore);
}

TEST(TextureBitmap, PutPixelCountsRowsFromTheTopAndStoresThemBottomUp) {
    TextureBitmap b;
    b.Allocate(3, 2, 8);  // stride 4
    b.FillPixels(0);
    b.PutPixel(0, 0, 7);  // top left: second row in memory
    b.PutPixel(2, 1, 9);  // bottom right: first row in memory
    const uint8_t* pixels = b.Block() + 40 + 1024;
    EXPECT_EQ(std::vector<uint8_t>(pixels, pixels + 8),
              (std::vector<uint8_t>{0, 0, 9, 0, 7, 0, 0, 0}));
    EXPECT_EQ(b.PixelAt(0, 0), 7);
    EXPECT_EQ(b.PixelAt(2, 1), 9);
}

TEST(TextureBitmap, PutPixelOutsideTheImageChangesNothing) {
    TextureBitmap b;
    b.Allocate(3, 2, 8);
    b.FillPixels(0xAA);
    const std::vector<uint8_t> before = BlockBytes(b);
    struct Point {
        int32_t x;
        int32_t y;
    };
    for (Point p : {Point{3, 0}, Point{0, 2}, Point{3, 2}, Point{-1, 0}, Point{0, -1},
                    Point{-1, -1}, Point{INT32_MIN, 0}, Point{0, INT32_MAX}}) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        b.PutPixel(p.x, p.y, 1);
        EXPECT_EQ(BlockBytes(b), before);
    }
}

TEST(TextureBitmap, PutPixelPacksOneAndFourBitRows) {
    TextureBitmap mono;
    mono.Allocate(10, 2, 1);  // stride 4
    mono.FillPixels(0);
    mono.PutPixel(0, 1, 1);  // bottom row: first in memory, leftmost bit is the high bit
    mono.PutPixel(9, 1, 3);  // only the low bit counts
    mono.PutPixel(1, 0, 1);
    const uint8_t* m = mono.PixelData();
    EXPECT_EQ(std::vector<uint8_t>(m, m + 8),
              (std::vector<uint8_t>{0x80, 0x40, 0, 0, 0x40, 0, 0, 0}));

    TextureBitmap nibbles;
    nibbles.Allocate(3, 1, 4);
    nibbles.FillPixels(0xFF);
    nibbles.PutPixel(0, 0, 0x12);  // only the low nibble counts
    nibbles.PutPixel(1, 0, 0x5);
    EXPECT_EQ(nibbles.PixelData()[0], 0x25);
    EXPECT_EQ(nibbles.PixelData()[1], 0xFF);
    EXPECT_EQ(nibbles.PixelAt(1, 0), 5);
}

TEST(TextureBitmap, FillPixelsCoversRowPadding) {
    TextureBitmap b;
    b.Allocate(3, 2, 8);
    b.SetPaletteColour(0, 1, 1, 1);
    b.FillPixels(0x5C);
    const uint8_t* pixels = b.Block() + 40 + 1024;
    EXPECT_EQ(std::vector<uint8_t>(pixels, pixels + 8), std::vector<uint8_t>(8, 0x5C));
    EXPECT_EQ(b.PaletteColour(0), Rgb(1, 1, 1));  // the palette is left alone
}

struct TintCase {
    int32_t percent;
    int effective;  // the percentage the formula uses
};

class TextureBitmapTint : public testing::TestWithParam<TintCase> {};

TEST_P(TextureBitmapTint, MovesEveryEntryTowardTheColour) {
    const TintCase& c = GetParam();
    TextureBitmap b;
    b.Allocate(1, 1, 8);
    for (int i = 0; i < 256; ++i) {
        b.SetPaletteColour(static_cast<uint8_t>(i), static_cast<uint8_t>(i),
                           static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i / 2));
    }
    const Colour target = Rgb(55, 255, 55);
    b.TintPalette(target, c.percent);
    const int p = c.effective;
    for (int i = 0; i < 256; ++i) {
        const Colour expected =
            Rgb((55 * p + i * (100 - p)) / 100, (255 * p + (255 - i) * (100 - p)) / 100,
                (55 * p + (i / 2) * (100 - p)) / 100);
        ASSERT_EQ(b.PaletteColour(i), expected) << "entry " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(, TextureBitmapTint,
                         testing::Values(TintCase{0, 0}, TintCase{5, 5}, TintCase{10, 10},
                                         TintCase{50, 50}, TintCase{100, 100}, TintCase{255, 100},
                                         TintCase{-20, 0}));

TEST(TextureBitmap, TintByAHundredGivesTheColourAndByZeroChangesNothing) {
    TextureBitmap b;
    b.Allocate(1, 1, 8);
    for (int i = 0; i < 256; ++i) {
        b.SetPaletteColour(static_cast<uint8_t>(i), static_cast<uint8_t>(i), 7,
                           static_cast<uint8_t>(255 - i));
    }
    const std::vector<uint8_t> before = BlockBytes(b);
    b.TintPalette(Rgb(9, 8, 7), 0);
    EXPECT_EQ(BlockBytes(b), before);
    b.TintPalette(Rgb(9, 8, 7), 100);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(b.PaletteColour(i), Rgb(9, 8, 7)) << "entry " << i;
    }
}

TEST(TextureBitmap, CopyFromDuplicatesTheWholeBlock) {
    TextureBitmap original;
    original.Allocate(5, 3, 8);
    for (int i = 0; i < 256; ++i) {
        original.SetPaletteColour(static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0, 0);
    }
    original.FillPixels(3);
    original.PutPixel(4, 2, 200);

    TextureBitmap copy;
    copy.Allocate(1, 1, 1);
    copy.CopyFrom(original);
    EXPECT_EQ(BlockBytes(copy), BlockBytes(original));
    EXPECT_EQ(copy.RowStride(), original.RowStride());
    EXPECT_EQ(copy.PaletteEntries(), 256);
    EXPECT_NE(copy.Block(), original.Block());

    copy.PutPixel(0, 0, 1);  // the copy is its own
    EXPECT_EQ(original.PixelAt(0, 0), 3);

    copy.CopyFrom(copy);
    EXPECT_EQ(copy.PixelAt(0, 0), 1);

    TextureBitmap empty;
    copy.CopyFrom(empty);
    EXPECT_FALSE(copy.HasImage());
}

TEST(TextureBitmap, PaintDrawsPaletteColoursUnscaled) {
    TextureBitmap b;
    b.Allocate(2, 2, 8);
    b.SetPaletteColour(1, 10, 0, 0);
    b.SetPaletteColour(2, 0, 20, 0);
    b.FillPixels(1);
    b.PutPixel(1, 0, 2);  // top right
    RasterCanvas canvas(4, 4, Rgb(9, 9, 9));
    EXPECT_FALSE(b.Paint(nullptr, 0, 0));
    EXPECT_TRUE(b.Paint(&canvas, 1, 1));
    EXPECT_EQ(canvas.Pixel(0, 0), Rgb(9, 9, 9));
    EXPECT_EQ(canvas.Pixel(1, 1), Rgb(10, 0, 0));
    EXPECT_EQ(canvas.Pixel(2, 1), Rgb(0, 20, 0));
    EXPECT_EQ(canvas.Pixel(1, 2), Rgb(10, 0, 0));
    EXPECT_EQ(canvas.Pixel(2, 2), Rgb(10, 0, 0));
    EXPECT_EQ(canvas.Pixel(3, 3), Rgb(9, 9, 9));
}

}  // namespace
}  // namespace qv
