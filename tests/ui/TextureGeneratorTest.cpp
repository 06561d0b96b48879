#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/TextureBitmap.h"
#include "ui/TextureGenerator.h"
#include "ui/TextureRandom.h"

namespace qv {
namespace {

// The generator, written out plainly from its description, to check the real one against.
class ReferenceRandom {
public:
    int Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }

private:
    uint32_t state = 1;
};

int Wrap(long long v) {
    return static_cast<int>(((v % 256) + 256) % 256);
}

// image[r][x], r counted from the bottom row.
using Image = std::vector<std::vector<long long>>;

Image ReferenceEffect(int effect, int W, int H, int g, ReferenceRandom& rnd) {
    Image img(H, std::vector<long long>(W, 0));
    const int N = 32767 / std::max(1, 2 * g);
    auto noise = [&] { return rnd.Next() / N - g; };
    auto cube = [](long long t) { return t * t * t / 16384; };
    auto rows = [&](auto base) {
        for (int r = 0; r < H; ++r) {
            for (int x = 0; x < W; ++x) {
                img[r][x] = base(x, r);
                img[r][x] += noise();
            }
        }
    };
    auto columns = [&](auto base) {
        for (int x = 0; x < W; ++x) {
            for (int r = 0; r < H; ++r) {
                img[r][x] = base(x, r);
                img[r][x] += noise();
            }
        }
    };
    if (effect < 0 || effect > 8) {
        effect = 0;
    }
    switch (effect) {
        case 0:
            rows([](int, int) { return 128LL; });
            break;
        case 1: {
            const int k = (255 - 2 * g) / 2;
            rows([&](int x, int r) { return g + (k * (W - x)) / W + (k * r) / H; });
            break;
        }
        case 2: {
            const int k = 255 - 2 * g;
            rows([&](int, int r) { return static_cast<long long>(g + (k * r) / H); });
            break;
        }
        case 3: {
            const int k = 255 - 2 * g;
            columns([&](int x, int) { return static_cast<long long>(g + (k * (W - x)) / W); });
            break;
        }
        case 4:
            rows([&](int, int r) {
                const int t = (255 * r) / H - 127;
                return 128 + (cube(t) * (128 - g)) / 128;
            });
            break;
        case 5:
            columns([&](int x, int) {
                const int t = (255 * (W - x)) / W - 127;
                return 128 + (cube(t) * (128 - g)) / 128;
            });
            break;
        case 6:
            rows([&](int x, int r) {
                const int ty = (255 * r) / H - 127;
                const int tx = (255 * (W - x)) / W - 127;
                long long v = ((cube(tx) + cube(ty)) * (128 - g)) / 128 + 128;
                v = std::max<long long>(v, g);
                v = std::min<long long>(v, 255 - g);
                return v;
            });
            break;
        case 7: {
            rows([&](int, int r) {
                const int t = (255 * r) / H - 127;
                return 128 + ((cube(t) * (64 - g)) * 2) / 128;
            });
            const int d = std::min(16, W / 6);
            const int hh = H / 2;
            const int ww = W / 2;
            // One row high: q would be 0, but (r - hh) is 0 too and so is the quotient.
            const int q = std::max(1, (H * H) / 4);
            for (int r = 0; r < H; ++r) {
                const int s = (d * (r - hh) * (r - hh)) / q - d + ww;
                for (int x = 0; x < W; ++x) {
                    if (x - ww > s) {
                        img[r][x] = g + (128 * (W - x)) / d;
                    }
                    if (s + x - ww < 0) {
                        img[r][x] = (255 - g) - (128 * x) / d;
                    }
                    img[r][x] += noise();
                }
            }
            break;
        }
        case 8: {
            const int a = 32767 / W;
            const int b = 32767 / H;
            const int m = std::min(W, H);
            for (int n = 0; n < 200; ++n) {
                const int x0 = rnd.Next() / a;
                const int y0 = rnd.Next() / b;
                const int len = rnd.Next() / (32767 / m);
                const int c = rnd.Next() / 819;
                for (int i = 0; i < len / 2; ++i) {
                    // y counts from the top here: row r = H - 1 - y.
                    int x = x0 - i;
                    int y = y0 + i;
                    if (x0 - i > 0 && y0 + i < H && x < W && y >= 0) {
                        img[H - 1 - y][x] = c;
                    }
                    x = W - x0 + i;
                    y = y0 - i;
                    if (x0 + i < W && y0 - i > 0 && x >= 0 && x < W && y < H) {
                        img[H - 1 - y][x] = c;
                    }
                }
            }
            const int k = (215 - 2 * g) / 2;
            for (int r = 0; r < H; ++r) {
                for (int x = 0; x < W; ++x) {
                    img[r][x] += (k * r) / H + (k * (W - x)) / W;
                    img[r][x] += rnd.Next() / N;
                }
            }
            break;
        }
    }
    return img;
}

// The pixel at column x, row r from the bottom, read straight from the block.
int BlockPixel(const TextureBitmap& b, int x, int r) {
    const int stride = ((b.Width() * 8 + 31) / 32) * 4;
    return b.Block()[40 + 4 * 256 + r * stride + x];
}

std::string Mismatch(const TextureBitmap& b, const Image& expected) {
    for (size_t r = 0; r < expected.size(); ++r) {
        for (size_t x = 0; x < expected[r].size(); ++x) {
            const int want = Wrap(expected[r][x]);
            const int got = BlockPixel(b, static_cast<int>(x), static_cast<int>(r));
            if (want != got) {
                return "x " + std::to_string(x) + ", r " + std::to_string(r) + ": expected " +
                       std::to_string(want) + ", got " + std::to_string(got);
            }
        }
    }
    return "";
}

TEST(TextureRandom, FollowsTheFifteenBitSequenceFromStateOne) {
    TextureRandom::Reset();
    const std::vector<int> expected = {41,    18467, 6334,  26500, 19169,
                                       15724, 11478, 29358, 26962, 24464};
    std::vector<int> drawn;
    for (size_t i = 0; i < expected.size(); ++i) {
        drawn.push_back(TextureRandom::Next());
    }
    EXPECT_EQ(drawn, expected);
}

TEST(TextureGenerator, ShadePaletteRunsFromShadowThroughFaceToLight) {
    const Colour s = Rgb(128, 10, 0);
    const Colour f = Rgb(212, 208, 200);
    const Colour l = Rgb(255, 250, 7);
    TextureBitmap b;
    b.Allocate(1, 1, 8);
    WriteShadePalette(b, s, f, l);
    EXPECT_EQ(b.PaletteColour(0), s);
    EXPECT_EQ(b.PaletteColour(255), l);
    // Neither middle entry is the face colour itself.
    EXPECT_EQ(b.PaletteColour(127),
              Rgb((128 + 127 * 212) / 128, (10 + 127 * 208) / 128, (0 + 127 * 200) / 128));
    EXPECT_EQ(b.PaletteColour(128),
              Rgb((127 * 212 + 255) / 128, (127 * 208 + 250) / 128, (127 * 200 + 7) / 128));
    EXPECT_NE(b.PaletteColour(128), f);
    EXPECT_EQ(b.PaletteColour(64), Rgb((128 * 64 + 212 * 64) / 128, (10 * 64 + 208 * 64) / 128,
                                       (0 * 64 + 200 * 64) / 128));
    EXPECT_EQ(b.PaletteColour(200), Rgb((212 * 55 + 255 * 73) / 128, (208 * 55 + 250 * 73) / 128,
                                        (200 * 55 + 7 * 73) / 128));
}

TEST(TextureGenerator, PlainNoiseOnTwoByTwoPixels) {
    // g = 8: N = 2047, so the first draws 41, 18467, 6334, 26500 give noise -8, +1, -5, +4,
    // to the bottom row first.
    TextureRandom::Reset();
    TextureBitmap b;
    b.Allocate(2, 2, 8);
    FillTextureEffect(b, TextureEffect::PlainNoise, 8);
    EXPECT_EQ(b.PixelAt(0, 1), 120);
    EXPECT_EQ(b.PixelAt(1, 1), 129);
    EXPECT_EQ(b.PixelAt(0, 0), 123);
    EXPECT_EQ(b.PixelAt(1, 0), 132);
}

struct EffectCase {
    int effect;
    int width;
    int height;
    int granularity;
};

void PrintTo(const EffectCase& c, std::ostream* os) {
    *os << "effect " << c.effect << " " << c.width << "x" << c.height << " g " << c.granularity;
}

class TextureEffects : public testing::TestWithParam<EffectCase> {};

TEST_P(TextureEffects, MatchTheirDescription) {
    const EffectCase& c = GetParam();
    TextureRandom::Reset();
    TextureBitmap b;
    ASSERT_NE(b.Allocate(c.width, c.height, 8), nullptr);
    FillTextureEffect(b, TextureEffectFromId(c.effect), c.granularity);
    ReferenceRandom rnd;
    const Image expected = ReferenceEffect(c.effect, c.width, c.height, c.granularity & 0xFF, rnd);
    EXPECT_EQ(Mismatch(b, expected), "");
    // Both used the same number of draws.
    EXPECT_EQ(TextureRandom::Next(), rnd.Next());
}

std::vector<EffectCase> AllEffectCases() {
    struct Size {
        int w;
        int h;
    };
    std::vector<EffectCase> cases;
    for (int effect = 0; effect <= 8; ++effect) {
        for (Size s : {Size{13, 7}, Size{40, 20}, Size{199, 22}, Size{7, 41}, Size{40, 1},
                       Size{1, 9}, Size{5, 12}}) {
            for (int g : {8, 0, 40, 0x108}) {
                cases.push_back({effect, s.w, s.h, g});
            }
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(, TextureEffects, testing::ValuesIn(AllEffectCases()));

TEST(TextureGenerator, UnknownEffectsArePlainNoise) {
    auto build = [](int32_t id) {
        TextureRandom::Reset();
        TextureBitmap b;
        b.Allocate(9, 5, 8);
        FillTextureEffect(b, TextureEffectFromId(id), 8);
        return std::vector<uint8_t>(b.Block(), b.Block() + b.BlockSize());
    };
    const std::vector<uint8_t> plain = build(0);
    for (int32_t id : {9, 255, 1000, -1}) {
        EXPECT_EQ(build(id), plain) << "effect " << id;
    }
    EXPECT_NE(build(2), plain);
}

TEST(TextureGenerator, GranularityZeroGivesNoNoiseExceptOnTheHighestDraw) {
    // Find, independently, the first draw that yields 32767.
    ReferenceRandom rnd;
    int first = 0;
    for (int i = 1; first == 0; ++i) {
        if (rnd.Next() == 32767) {
            first = i;
        }
    }
    const int w = 256;
    const int h = first / w + 1;
    TextureRandom::Reset();
    TextureBitmap b;
    b.Allocate(w, h, 8);
    FillTextureEffect(b, TextureEffect::PlainNoise, 0);
    const int index = first - 1;  // pixels are drawn bottom row first, left to right
    for (int r = 0; r < h; ++r) {
        for (int x = 0; x < w; ++x) {
            const int expected = (r * w + x == index) ? 129 : 128;
            ASSERT_EQ(BlockPixel(b, x, r), expected) << "x " << x << ", r " << r;
        }
    }
}

TEST(TextureGenerator, TinySizesDoNotFail) {
    struct Size {
        int32_t w;
        int32_t h;
    };
    for (int effect = 0; effect <= 8; ++effect) {
        for (Size s : {Size{1, 1}, Size{1, 2}, Size{2, 1}, Size{3, 1}, Size{5, 1}, Size{1, 9},
                       Size{40000, 1}, Size{1, 40000}}) {
            SCOPED_TRACE(testing::Message() << "effect " << effect << " " << s.w << "x" << s.h);
            TextureBitmap b;
            ASSERT_NE(b.Allocate(s.w, s.h, 8), nullptr);
            b.FillPixels(0);
            FillTextureEffect(b, TextureEffectFromId(effect), 8);
            EXPECT_TRUE(b.HasImage());
        }
    }
    // A bitmap without an image draws nothing from the sequence.
    TextureRandom::Reset();
    TextureBitmap none;
    none.Allocate(0, 0, 8);
    FillTextureEffect(none, TextureEffect::Scratched, 8);
    EXPECT_EQ(TextureRandom::Next(), 41);
}

TEST(TextureGenerator, FocusDotsAlternateFromTheLeftAndFromTheBottom) {
    TextureBitmap h;
    h.Allocate(5, 1, 8);
    WriteFocusDots(h);
    const uint8_t* row = h.Block() + 40 + 1024;
    EXPECT_EQ(std::vector<uint8_t>(row, row + 5), (std::vector<uint8_t>{0, 255, 0, 255, 0}));

    TextureBitmap v;
    v.Allocate(1, 4, 8);
    WriteFocusDots(v);
    const uint8_t* rows = v.Block() + 40 + 1024;  // stride 4, bottom row first
    EXPECT_EQ(rows[0], 0);
    EXPECT_EQ(rows[4], 255);
    EXPECT_EQ(rows[8], 0);
    EXPECT_EQ(rows[12], 255);
    EXPECT_EQ(v.PixelAt(0, 0), 255);  // the top row is k = 3
}

}  // namespace
}  // namespace qv
