#pragma once

#include <string>
#include <vector>

#include "framework/Canvas.h"

namespace qv {

// A canvas that paints into an image in memory, one packed colour per pixel: the off-screen
// surface of a drawing, and what tests look at. There is no font here: a character is a
// placeholder glyph in a cell of kCharWidth x kCharHeight pixels (a solid box, nothing for
// a space), and every text call is recorded as well.
class RasterCanvas : public Canvas {
public:
    static constexpr int kCharWidth = 6;
    static constexpr int kCharHeight = 13;
    // What Pixel returns outside the image; no 0x00BBGGRR colour has a high byte.
    static constexpr Colour kOutside = 0xFFFFFFFFu;

    struct TextCall {
        std::string text;
        Rect rect;
        unsigned format;
        Colour colour;
        bool underline;
    };

    RasterCanvas(int width, int height, Colour background = 0);

    Size Extent() const override { return {width, height}; }
    void FillRect(const Rect& rect, Colour colour) override;
    void PaintBitmap(const uint8_t* block, int x, int y) override;
    // Raised: light / dark shadow outside, highlight / shadow inside. Sunken: shadow /
    // highlight outside, dark shadow / light inside. As Windows draws them, the bottom and
    // right lines are drawn last, so the top-right and bottom-left corner pixels take the
    // bottom-right colour.
    void FrameRect(const Rect& rect, Colour topLeft, Colour bottomRight) override;
    // One line of placeholder glyphs placed by the format's alignment and clipped to `rect`.
    // "&x" underlines x (the mnemonic), "&&" is a literal ampersand.
    void DrawText(const std::string& text, const Rect& rect, unsigned format, Colour colour,
                  bool underline = false) override;
    Size TextExtent(const std::string& text, bool underline = false) override;

    Colour Pixel(int x, int y) const;
    void SetPixel(int x, int y, Colour colour);
    // Row by row from the top.
    const std::vector<Colour>& Pixels() const { return pixels; }
    const std::vector<TextCall>& TextCalls() const { return texts; }

private:
    void Fill(Rect rect, Colour colour, const Rect& clip);

    int width;
    int height;
    std::vector<Colour> pixels;
    std::vector<TextCall> texts;
};

}  // namespace qv
