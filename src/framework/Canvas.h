#pragma once

#include <cstdint>
#include <string>

namespace qv {

// A colour packed as 0x00BBGGRR (red in the lowest byte), as Windows packs it.
using Colour = uint32_t;
inline constexpr Colour Rgb(int r, int g, int b) {
    return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr int RedOf(Colour c) {
    return static_cast<int>(c & 0xFF);
}
inline constexpr int GreenOf(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
inline constexpr int BlueOf(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;   // exclusive
    int bottom = 0;  // exclusive
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

struct Size {
    int cx = 0;
    int cy = 0;
};

// Text layout flags of DrawText.
namespace dt {
inline constexpr unsigned kLeft = 0x0;
inline constexpr unsigned kCenter = 0x1;
inline constexpr unsigned kRight = 0x2;
inline constexpr unsigned kVCenter = 0x4;
inline constexpr unsigned kSingleLine = 0x20;
}  // namespace dt

// The colours of the desktop's 3D look.
struct SystemColours {
    Colour face = Rgb(212, 208, 200);       // button face
    Colour shadow = Rgb(128, 128, 128);     // button shadow
    Colour darkShadow = Rgb(64, 64, 64);    // 3D dark shadow
    Colour light = Rgb(212, 208, 200);      // 3D light
    Colour highlight = Rgb(255, 255, 255);  // button highlight
    Colour grayText = Rgb(128, 128, 128);   // disabled text
    Colour buttonText = Rgb(0, 0, 0);       // button text
};

// Where custom controls paint: a window's surface or an image in memory.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual Size Extent() const = 0;
    virtual void FillRect(const Rect& rect, Colour colour) = 0;
    // Paints a device-independent bitmap block (40-byte header, palette, bottom-up rows)
    // unscaled with its top-left corner at (x, y).
    virtual void PaintBitmap(const uint8_t* block, int x, int y) = 0;
    // A 3D edge two pixels wide just inside `rect`, made of two frames: raised (outer light
    // and dark shadow, inner highlight and shadow) or sunken (the mirror).
    virtual void DrawEdge(const Rect& rect, bool raised, const SystemColours& c) {
        const Rect inner{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
        if (raised) {
            FrameRect(rect, c.light, c.darkShadow);
            FrameRect(inner, c.highlight, c.shadow);
        } else {
            FrameRect(rect, c.shadow, c.highlight);
            FrameRect(inner, c.darkShadow, c.light);
        }
    }
    // A one-pixel frame just inside `rect`: top and left in one colour, bottom and right in
    // the other.
    virtual void FrameRect(const Rect& rect, Colour topLeft, Colour bottomRight) = 0;
    // Text in the default GUI font; "&" marks the underlined mnemonic letter.
    virtual void DrawText(const std::string& text, const Rect& rect, unsigned format, Colour colour,
                          bool underline = false) = 0;
    virtual Size TextExtent(const std::string& text, bool underline = false) = 0;
};

}  // namespace qv
