#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "framework/Canvas.h"

namespace qv {

// A small device-independent bitmap with a colour palette, kept in one block laid out as
// Windows keeps a DIB in memory (40-byte header, palette of blue-green-red-0 entries, pixel
// rows bottom row first, each row padded to whole 32-bit words), so a canvas can paint the
// block as it is. The shaded buttons paint their faces from these.
class TextureBitmap {
public:
    // The 40-byte BITMAPINFOHEADER, in the order it is stored (little-endian).
    struct Header {
        uint32_t size = 40;
        int32_t width = 0;
        int32_t height = 0;  // positive: rows are stored bottom row first
        uint16_t planes = 0;
        uint16_t bitCount = 0;
        uint32_t compression = 0;
        uint32_t sizeImage = 0;
        int32_t xPelsPerMeter = 0;
        int32_t yPelsPerMeter = 0;
        uint32_t clrUsed = 0;
        uint32_t clrImportant = 0;
    };
    static constexpr size_t kHeaderSize = 40;

    TextureBitmap() = default;
    TextureBitmap(const TextureBitmap&) = delete;
    TextureBitmap& operator=(const TextureBitmap&) = delete;
    TextureBitmap(TextureBitmap&&) noexcept = default;
    TextureBitmap& operator=(TextureBitmap&&) noexcept = default;

    // Replaces the image with a zeroed one of `width` x `height` pixels. Depths 0-1
    // give 1 bit with 2 palette entries, 2-4 give 4 bits with 16, 5-8 give 8 bits with 256,
    // anything larger 24 bits without a palette. Returns the block, or null when the size is
    // not positive, too large, or memory runs out; the bitmap then has no block.
    uint8_t* Allocate(int32_t width, int32_t height, uint16_t depth);
    void Free();

    bool HasImage() const { return dib != nullptr; }
    // Header, palette and pixels together.
    size_t BlockSize() const;
    const uint8_t* Block() const { return dib.get(); }
    uint8_t* PixelData();
    const uint8_t* PixelData() const;

    const Header& Info() const { return header; }
    int32_t Width() const { return header.width; }
    int32_t Height() const { return header.height; }
    int32_t RowStride() const { return rowStride; }
    uint16_t PaletteEntries() const { return paletteEntries; }

    void SetPaletteColour(uint8_t index, uint8_t red, uint8_t green, uint8_t blue);
    // Palette entry `index` as a packed colour; 0 when there is no such entry.
    Colour PaletteColour(unsigned index) const;
    // Writes one pixel; y counts from the top. Points outside the image are ignored.
    void PutPixel(int32_t x, int32_t y, uint8_t value);
    // The palette index at (x, y), y from the top; 0 outside the image or without a palette.
    uint8_t PixelAt(int32_t x, int32_t y) const;
    // Moves every palette entry `percent` of the way toward `colour` (0 to 100; more counts
    // as 100, less as 0).
    void TintPalette(Colour colour, int32_t percent);
    // Becomes an exact copy of `other` (header, palette and pixels).
    void CopyFrom(const TextureBitmap& other);
    // Sets every byte of the pixel area, row padding included.
    void FillPixels(uint8_t value);
    // Paints the whole image unscaled with its top-left corner at (x, y); false without an
    // image or a canvas.
    bool Paint(Canvas* canvas, int x, int y) const;

private:
    size_t PaletteOffset() const;

    std::unique_ptr<uint8_t[]> dib;
    Header header;
    int32_t rowStride = 0;
    uint16_t paletteEntries = 0;
};

}  // namespace qv
