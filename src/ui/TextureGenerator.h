#pragma once

#include <cstdint>

#include "framework/Canvas.h"
#include "ui/TextureBitmap.h"

namespace qv {

// The procedural faces a shaded button can have. Every id above 8 (and any negative one)
// selects PlainNoise.
enum class TextureEffect : int32_t {
    PlainNoise = 0,
    DiagonalRamp = 1,
    RowRamp = 2,
    ColumnRamp = 3,
    RowBump = 4,
    ColumnBump = 5,
    Cushion = 6,
    Capsule = 7,
    Scratched = 8,
};

TextureEffect TextureEffectFromId(int32_t id);

// The 256-entry shade palette: entries 0 to 127 run from `shadow` toward `face`, entries
// 128 to 255 from `face` to `light` (entry 0 is exactly the shadow, 255 exactly the light).
void WriteShadePalette(TextureBitmap& bitmap, Colour shadow, Colour face, Colour light);

// Fills an 8-bit bitmap with `effect`; only the low byte of `granularity` counts. Draws from
// the shared TextureRandom sequence; does nothing (and draws nothing) to a bitmap without an
// 8-bit image.
void FillTextureEffect(TextureBitmap& bitmap, TextureEffect effect, int32_t granularity);

// The dotted lines of the focus frame: alternating palette indices 0 and 255, starting
// with 0 at the left of a one-row strip and at the bottom of a one-column strip.
void WriteFocusDots(TextureBitmap& strip);

}  // namespace qv
