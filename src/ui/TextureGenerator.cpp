#include "ui/TextureGenerator.h"

#include <algorithm>

#include "ui/TextureRandom.h"

namespace qv {

namespace {

// Pixel access by column x and row r counted from the bottom, which is the order the rows
// lie in memory. Arithmetic is done in 64 bits and stored modulo 256.
class Pixels {
public:
    explicit Pixels(TextureBitmap& bitmap)
        : data(bitmap.PixelData()),
          stride(bitmap.RowStride()),
          w(bitmap.Width()),
          h(bitmap.Height()) {}

    int64_t W() const { return w; }
    int64_t H() const { return h; }
    int64_t Get(int64_t x, int64_t r) const { return data[r * stride + x]; }
    void Set(int64_t x, int64_t r, int64_t value) {
        data[r * stride + x] = static_cast<uint8_t>(value);
    }
    void Add(int64_t x, int64_t r, int64_t value) { Set(x, r, Get(x, r) + value); }

    template <typename F>
    void RowOrder(F f) {
        for (int64_t r = 0; r < h; ++r) {
            for (int64_t x = 0; x < w; ++x) {
                f(x, r);
            }
        }
    }
    template <typename F>
    void ColumnOrder(F f) {
        for (int64_t x = 0; x < w; ++x) {
            for (int64_t r = 0; r < h; ++r) {
                f(x, r);
            }
        }
    }

private:
    uint8_t* data;
    int64_t stride;
    int64_t w;
    int64_t h;
};

int64_t Cube(int64_t t) {
    return t * t * t / 16384;
}

void FillCapsule(Pixels& px, int64_t g, int64_t divisor) {
    const int64_t w = px.W();
    const int64_t h = px.H();
    auto noise = [&] { return TextureRandom::Next() / divisor - g; };
    px.RowOrder([&](int64_t x, int64_t r) {
        const int64_t t = 255 * r / h - 127;
        px.Set(x, r, 128 + Cube(t) * (64 - g) * 2 / 128 + noise());
    });
    // The bands are at most d pixels wide at the middle row and narrow along a parabola
    // toward the top and bottom. On a bitmap one row high q is 0, but so is (r - hh): the
    // quotient is 0 whatever q is, so q only has to be kept from 0. (With d = 0, under 6
    // pixels wide, s is ww and neither band condition can hold, so d never divides by 0.)
    const int64_t d = std::min<int64_t>(16, w / 6);
    const int64_t hh = h / 2;
    const int64_t ww = w / 2;
    const int64_t q = std::max<int64_t>(1, h * h / 4);
    for (int64_t r = 0; r < h; ++r) {
        const int64_t s = d * (r - hh) * (r - hh) / q - d + ww;
        for (int64_t x = 0; x < w; ++x) {
            if (x - ww > s) {
                px.Set(x, r, g + 128 * (w - x) / d);
            }
            if (s + x - ww < 0) {
                px.Set(x, r, (255 - g) - 128 * x / d);
            }
            px.Add(x, r, noise());
        }
    }
}

void FillScratched(TextureBitmap& bitmap, Pixels& px, int64_t g, int64_t divisor) {
    const int64_t w = px.W();
    const int64_t h = px.H();
    bitmap.FillPixels(0);
    // Divisors are kept at 1 or more so that bitmaps wider or taller than 32767 pixels
    // cannot divide by zero.
    const int64_t a = std::max<int64_t>(1, TextureRandom::kMax / w);
    const int64_t b = std::max<int64_t>(1, TextureRandom::kMax / h);
    const int64_t lengthDivisor = std::max<int64_t>(1, TextureRandom::kMax / std::min(w, h));
    for (int scratch = 0; scratch < 200; ++scratch) {
        const int64_t x0 = TextureRandom::Next() / a;
        const int64_t y0 = TextureRandom::Next() / b;
        const int64_t length = TextureRandom::Next() / lengthDivisor;
        const auto colour = static_cast<uint8_t>(TextureRandom::Next() / 819);
        const int64_t half = length / 2;
        for (int64_t i = 0; i < half; ++i) {
            if (x0 - i > 0 && y0 + i < h) {
                bitmap.PutPixel(static_cast<int32_t>(x0 - i), static_cast<int32_t>(y0 + i), colour);
            }
            if (x0 + i < w && y0 - i > 0) {
                bitmap.PutPixel(static_cast<int32_t>(w - x0 + i), static_cast<int32_t>(y0 - i),
                                colour);
            }
        }
    }
    // A ramp brightest at the top left, and noise that is not centred (0 to 2g).
    const int64_t k = (215 - 2 * g) / 2;
    px.RowOrder([&](int64_t x, int64_t r) {
        px.Add(x, r, k * r / h + k * (w - x) / w);
        px.Add(x, r, TextureRandom::Next() / divisor);
    });
}

}  // namespace

TextureEffect TextureEffectFromId(int32_t id) {
    if (id < 0 || id > static_cast<int32_t>(TextureEffect::Scratched)) {
        return TextureEffect::PlainNoise;
    }
    return static_cast<TextureEffect>(id);
}

void WriteShadePalette(TextureBitmap& bitmap, Colour shadow, Colour face, Colour light) {
    auto mix = [](int from, int to, int i) {
        return static_cast<uint8_t>((from * (128 - i) + to * i) / 128);
    };
    for (int i = 0; i <= 128; ++i) {
        bitmap.SetPaletteColour(static_cast<uint8_t>(i), mix(RedOf(shadow), RedOf(face), i),
                                mix(GreenOf(shadow), GreenOf(face), i),
                                mix(BlueOf(shadow), BlueOf(face), i));
    }
    // Entry 128 is written again here: it belongs to the upper half.
    for (int j = 1; j <= 128; ++j) {
        bitmap.SetPaletteColour(static_cast<uint8_t>(127 + j), mix(RedOf(face), RedOf(light), j),
                                mix(GreenOf(face), GreenOf(light), j),
                                mix(BlueOf(face), BlueOf(light), j));
    }
}

void FillTextureEffect(TextureBitmap& bitmap, TextureEffect effect, int32_t granularity) {
    if (!bitmap.HasImage() || bitmap.Info().bitCount != 8) {
        return;
    }
    Pixels px(bitmap);
    const int64_t w = px.W();
    const int64_t h = px.H();
    const int64_t g = granularity & 0xFF;
    const int64_t divisor = TextureRandom::kMax / std::max<int64_t>(1, 2 * g);
    auto noise = [&] { return TextureRandom::Next() / divisor - g; };
    // Most effects: a base value per pixel plus centred noise, in row or column order.
    auto fill = [&](bool byColumn, auto base) {
        auto pixel = [&](int64_t x, int64_t r) {
            px.Set(x, r, base(x, r));
            px.Add(x, r, noise());
        };
        if (byColumn) {
            px.ColumnOrder(pixel);
        } else {
            px.RowOrder(pixel);
        }
    };
    switch (effect) {
        case TextureEffect::PlainNoise:
            fill(false, [](int64_t, int64_t) { return int64_t{128}; });
            break;
        case TextureEffect::DiagonalRamp: {
            const int64_t k = (255 - 2 * g) / 2;
            fill(false, [&](int64_t x, int64_t r) { return g + k * (w - x) / w + k * r / h; });
            break;
        }
        case TextureEffect::RowRamp: {
            const int64_t k = 255 - 2 * g;
            fill(false, [&](int64_t, int64_t r) { return g + k * r / h; });
            break;
        }
        case TextureEffect::ColumnRamp: {
            const int64_t k = 255 - 2 * g;
            fill(true, [&](int64_t x, int64_t) { return g + k * (w - x) / w; });
            break;
        }
        case TextureEffect::RowBump:
            fill(false, [&](int64_t, int64_t r) {
                return 128 + Cube(255 * r / h - 127) * (128 - g) / 128;
            });
            break;
        case TextureEffect::ColumnBump:
            fill(true, [&](int64_t x, int64_t) {
                return 128 + Cube(255 * (w - x) / w - 127) * (128 - g) / 128;
            });
            break;
        case TextureEffect::Cushion:
            fill(false, [&](int64_t x, int64_t r) {
                const int64_t ty = 255 * r / h - 127;
                const int64_t tx = 255 * (w - x) / w - 127;
                int64_t v = (Cube(tx) + Cube(ty)) * (128 - g) / 128 + 128;
                if (v < g) {
                    v = g;
                }
                if (v > 255 - g) {
                    v = 255 - g;
                }
                return v;
            });
            break;
        case TextureEffect::Capsule:
            FillCapsule(px, g, divisor);
            break;
        case TextureEffect::Scratched:
            FillScratched(bitmap, px, g, divisor);
            break;
    }
}

void WriteFocusDots(TextureBitmap& strip) {
    if (!strip.HasImage() || strip.Info().bitCount != 8) {
        return;
    }
    Pixels px(strip);
    px.RowOrder([&](int64_t x, int64_t r) { px.Set(x, r, (x + r) % 2 == 0 ? 0 : 255); });
}

}  // namespace qv
