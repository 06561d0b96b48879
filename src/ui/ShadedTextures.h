#pragma once

#include <cstdint>

#include "framework/Canvas.h"
#include "ui/TextureBitmap.h"

namespace qv {

// The six bitmaps a shaded button paints from.
struct ShadedTextures {
    TextureBitmap normalTexture;
    TextureBitmap hoverTexture;
    TextureBitmap pressedTexture;
    TextureBitmap disabledTexture;
    TextureBitmap focusStripH;  // dotted top and bottom lines of the focus frame
    TextureBitmap focusStripV;  // dotted left and right lines of the focus frame
};

// Generates the textures of a button of `size` pixels with caption inset `borderWidth`:
// the effect's face with a shade palette made from the colours' shadow, face and highlight,
// tinted `colouring` % toward `colour`; the hover face tinted a further `highlight` % toward
// the highlight colour. Only the low byte of granularity, highlight and colouring counts.
// The faces draw from the shared TextureRandom sequence, so build order matters. A size
// below 1 x 1 leaves the faces without an image (the button then paints a plain face).
void BuildShadedTextures(ShadedTextures& textures, Size size, int borderWidth,
                         const SystemColours& colours, int32_t effect, int32_t granularity,
                         int32_t highlight, int32_t colouring, Colour colour);

}  // namespace qv
