#include "ui/ShadedTextures.h"

#include <algorithm>

#include "ui/TextureGenerator.h"

namespace qv {

namespace {

int32_t AtLeastOne(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, 1, INT32_MAX));
}

}  // namespace

void BuildShadedTextures(ShadedTextures& t, Size size, int borderWidth,
                         const SystemColours& colours, int32_t effect, int32_t granularity,
                         int32_t highlight, int32_t colouring, Colour colour) {
    const int64_t w = size.cx;
    const int64_t h = size.cy;
    const int64_t bw = borderWidth;
    t.focusStripH.Allocate(AtLeastOne(w - 2 * bw - 1), 1, 8);
    t.focusStripV.Allocate(1, AtLeastOne(h - 2 * bw), 8);
    t.normalTexture.Allocate(size.cx, size.cy, 8);

    for (TextureBitmap* bitmap : {&t.focusStripH, &t.focusStripV, &t.normalTexture}) {
        WriteShadePalette(*bitmap, colours.shadow, colours.face, colours.highlight);
    }
    t.normalTexture.TintPalette(colour, colouring & 0xFF);
    WriteFocusDots(t.focusStripH);
    WriteFocusDots(t.focusStripV);
    FillTextureEffect(t.normalTexture, TextureEffectFromId(effect), granularity);

    t.disabledTexture.CopyFrom(t.normalTexture);
    t.hoverTexture.CopyFrom(t.normalTexture);
    t.hoverTexture.TintPalette(colours.highlight, highlight & 0xFF);
    t.pressedTexture.CopyFrom(t.hoverTexture);
}

}  // namespace qv
