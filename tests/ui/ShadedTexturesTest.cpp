#include <gtest/gtest.h>

#include <vector>

#include "ui/ShadedButton.h"
#include "ui/ShadedFakeHost.h"
#include "ui/ShadedTextures.h"
#include "ui/TextureRandom.h"

namespace qv {
namespace {

constexpr Colour kGreen = Rgb(55, 255, 55);

SystemColours TestColours() {
    SystemColours c;
    c.shadow = Rgb(128, 100, 90);
    c.face = Rgb(212, 208, 200);
    c.highlight = Rgb(255, 254, 253);
    return c;
}

std::vector<uint8_t> BlockBytes(const TextureBitmap& b) {
    return std::vector<uint8_t>(b.Block(), b.Block() + b.BlockSize());
}

std::vector<uint8_t> PixelBytes(const TextureBitmap& b) {
    return std::vector<uint8_t>(b.PixelData(), b.Block() + b.BlockSize());
}

// Palette entry i from the shadow-face-light formula, then tinted `percent` toward `to`.
Colour ShadeEntry(const SystemColours& c, int i) {
    auto channel = [&](int s, int f, int l) {
        return i <= 127 ? (s * (128 - i) + f * i) / 128
                        : (f * (128 - (i - 127)) + l * (i - 127)) / 128;
    };
    return Rgb(channel(RedOf(c.shadow), RedOf(c.face), RedOf(c.highlight)),
               channel(GreenOf(c.shadow), GreenOf(c.face), GreenOf(c.highlight)),
               channel(BlueOf(c.shadow), BlueOf(c.face), BlueOf(c.highlight)));
}

Colour Tint(Colour from, Colour to, int p) {
    return Rgb((RedOf(to) * p + RedOf(from) * (100 - p)) / 100,
               (GreenOf(to) * p + GreenOf(from) * (100 - p)) / 100,
               (BlueOf(to) * p + BlueOf(from) * (100 - p)) / 100);
}

ShadedTextures Build(Size size, int32_t effect = 8, int32_t granularity = 8, int32_t highlight = 10,
                     int32_t colouring = 5) {
    ShadedTextures t;
    BuildShadedTextures(t, size, 4, TestColours(), effect, granularity, highlight, colouring,
                        kGreen);
    return t;
}

TEST(ShadedTextures, SizesOfTheSixBitmaps) {
    struct Case {
        Size button;
        Size strips;  // width of the horizontal strip, height of the vertical one
    };
    for (Case c : {Case{{199, 22}, {190, 14}}, Case{{40, 20}, {31, 12}}, Case{{10, 9}, {1, 1}},
                   Case{{11, 8}, {2, 1}}, Case{{1, 1}, {1, 1}}}) {
        SCOPED_TRACE(testing::Message() << c.button.cx << "x" << c.button.cy);
        ShadedTextures t = Build(c.button);
        for (const TextureBitmap* face :
             {&t.normalTexture, &t.hoverTexture, &t.pressedTexture, &t.disabledTexture}) {
            ASSERT_TRUE(face->HasImage());
            EXPECT_EQ(face->Width(), c.button.cx);
            EXPECT_EQ(face->Height(), c.button.cy);
            EXPECT_EQ(face->Info().bitCount, 8);
        }
        EXPECT_EQ(t.focusStripH.Width(), c.strips.cx);
        EXPECT_EQ(t.focusStripH.Height(), 1);
        EXPECT_EQ(t.focusStripV.Width(), 1);
        EXPECT_EQ(t.focusStripV.Height(), c.strips.cy);
    }
}

TEST(ShadedTextures, PalettesAndCopies) {
    const SystemColours c = TestColours();
    ShadedTextures t = Build({40, 20});
    for (int i = 0; i < 256; ++i) {
        const Colour shade = ShadeEntry(c, i);
        const Colour normal = Tint(shade, kGreen, 5);
        ASSERT_EQ(t.focusStripH.PaletteColour(i), shade) << "entry " << i;
        ASSERT_EQ(t.focusStripV.PaletteColour(i), shade) << "entry " << i;
        ASSERT_EQ(t.normalTexture.PaletteColour(i), normal) << "entry " << i;
        ASSERT_EQ(t.hoverTexture.PaletteColour(i), Tint(normal, c.highlight, 10)) << "entry " << i;
    }
    EXPECT_EQ(t.focusStripH.PaletteColour(0), c.shadow);
    EXPECT_EQ(t.focusStripH.PaletteColour(255), c.highlight);
    EXPECT_EQ(BlockBytes(t.disabledTexture), BlockBytes(t.normalTexture));
    EXPECT_EQ(BlockBytes(t.pressedTexture), BlockBytes(t.hoverTexture));
    EXPECT_EQ(PixelBytes(t.hoverTexture), PixelBytes(t.normalTexture));
}

TEST(ShadedTextures, FocusStripsAreDotted) {
    ShadedTextures t = Build({40, 20});
    for (int x = 0; x < t.focusStripH.Width(); ++x) {
        ASSERT_EQ(t.focusStripH.PixelAt(x, 0), x % 2 == 0 ? 0 : 255) << "x " << x;
    }
    const int h = t.focusStripV.Height();
    for (int k = 0; k < h; ++k) {  // k counts from the bottom
        ASSERT_EQ(t.focusStripV.PixelAt(0, h - 1 - k), k % 2 == 0 ? 0 : 255) << "k " << k;
    }
    // A strip of one pixel is a single shadow dot.
    ShadedTextures small = Build({10, 9});
    EXPECT_EQ(small.focusStripH.PixelAt(0, 0), 0);
}

TEST(ShadedTextures, OnlyTheLowByteOfEachParameterCounts) {
    TextureRandom::Reset();
    ShadedTextures plain = Build({30, 15}, 3, 8, 10, 5);
    TextureRandom::Reset();
    ShadedTextures high = Build({30, 15}, 3, 0x7708, 0x110A, 0x305);
    EXPECT_EQ(BlockBytes(high.normalTexture), BlockBytes(plain.normalTexture));
    EXPECT_EQ(BlockBytes(high.hoverTexture), BlockBytes(plain.hoverTexture));

    // Percentages above 100 count as 100.
    ShadedTextures full = Build({30, 15}, 3, 8, 255, 200);
    EXPECT_EQ(full.normalTexture.PaletteColour(0), kGreen);
    EXPECT_EQ(full.hoverTexture.PaletteColour(77), TestColours().highlight);
}

TEST(ShadedTextures, BuildOrderDecidesThePixels) {
    TextureRandom::Reset();
    ShadedTextures first = Build({40, 20});
    ShadedTextures second = Build({40, 20});
    EXPECT_NE(PixelBytes(second.normalTexture), PixelBytes(first.normalTexture));

    // A new run that builds in the same order gets the same textures again.
    TextureRandom::Reset();
    ShadedTextures again = Build({40, 20});
    ShadedTextures againSecond = Build({40, 20});
    EXPECT_EQ(BlockBytes(again.normalTexture), BlockBytes(first.normalTexture));
    EXPECT_EQ(BlockBytes(againSecond.normalTexture), BlockBytes(second.normalTexture));
}

TEST(ShadedTextures, ButtonsBelowOnePixelGetNoFaces) {
    for (Size size : {Size{0, 0}, Size{0, 20}, Size{40, 0}, Size{-5, -5}}) {
        SCOPED_TRACE(testing::Message() << size.cx << "x" << size.cy);
        ShadedTextures t = Build(size);
        EXPECT_FALSE(t.normalTexture.HasImage());
        EXPECT_FALSE(t.hoverTexture.HasImage());
        EXPECT_FALSE(t.pressedTexture.HasImage());
        EXPECT_FALSE(t.disabledTexture.HasImage());
        EXPECT_TRUE(t.focusStripH.HasImage());
        EXPECT_TRUE(t.focusStripV.HasImage());
    }
}

TEST(ShadedTextures, ButtonBuildsForItsWindowSizeAndColours) {
    ShadedButton button;
    FakeShadedButtonHost host(button, {48, 18});
    host.colours = TestColours();
    TextureRandom::Reset();
    button.BuildTextures(8, 8, 10, 5, kGreen);

    TextureRandom::Reset();
    ShadedTextures expected;
    BuildShadedTextures(expected, {48, 18}, 4, TestColours(), 8, 8, 10, 5, kGreen);
    const ShadedTextures& built = button.Textures();
    EXPECT_EQ(BlockBytes(built.normalTexture), BlockBytes(expected.normalTexture));
    EXPECT_EQ(BlockBytes(built.hoverTexture), BlockBytes(expected.hoverTexture));
    EXPECT_EQ(BlockBytes(built.focusStripH), BlockBytes(expected.focusStripH));
    EXPECT_EQ(BlockBytes(built.focusStripV), BlockBytes(expected.focusStripV));
}

}  // namespace
}  // namespace qv
