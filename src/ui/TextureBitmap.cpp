#include "ui/TextureBitmap.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace qv {

namespace {

void Put16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

uint32_t Get32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
           (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

void WriteHeader(uint8_t* block, const TextureBitmap::Header& h) {
    Put32(block + 0, h.size);
    Put32(block + 4, static_cast<uint32_t>(h.width));
    Put32(block + 8, static_cast<uint32_t>(h.height));
    Put16(block + 12, h.planes);
    Put16(block + 14, h.bitCount);
    Put32(block + 16, h.compression);
    Put32(block + 20, h.sizeImage);
    Put32(block + 24, static_cast<uint32_t>(h.xPelsPerMeter));
    Put32(block + 28, static_cast<uint32_t>(h.yPelsPerMeter));
    Put32(block + 32, h.clrUsed);
    Put32(block + 36, h.clrImportant);
}

}  // namespace

uint8_t* TextureBitmap::Allocate(int32_t width, int32_t height, uint16_t depth) {
    Free();
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    uint16_t bits = 24;
    uint16_t entries = 0;
    if (depth <= 1) {
        bits = 1;
        entries = 2;
    } else if (depth <= 4) {
        bits = 4;
        entries = 16;
    } else if (depth <= 8) {
        bits = 8;
        entries = 256;
    }
    // The header keeps the image size in 32 bits; anything larger is refused, not wrapped.
    const int64_t stride = ((static_cast<int64_t>(width) * bits + 31) / 32) * 4;
    const int64_t imageSize = stride * height;
    if (imageSize > std::numeric_limits<int32_t>::max() - 2048) {
        return nullptr;
    }
    const size_t total = kHeaderSize + 4u * entries + static_cast<size_t>(imageSize);
    // Zeroed, so that row padding is the same on every build of the same texture.
    dib.reset(new (std::nothrow) uint8_t[total]());
    if (!dib) {
        return nullptr;
    }
    header.width = width;
    header.height = height;
    header.planes = 1;
    header.bitCount = bits;
    header.sizeImage = static_cast<uint32_t>(imageSize);
    rowStride = static_cast<int32_t>(stride);
    paletteEntries = entries;
    WriteHeader(dib.get(), header);
    return dib.get();
}

void TextureBitmap::Free() {
    dib.reset();
    header = Header{};
    rowStride = 0;
    paletteEntries = 0;
}

size_t TextureBitmap::BlockSize() const {
    return 4u * paletteEntries + header.sizeImage + kHeaderSize;
}

size_t TextureBitmap::PaletteOffset() const {
    return dib ? Get32(dib.get()) : kHeaderSize;
}

uint8_t* TextureBitmap::PixelData() {
    return dib ? dib.get() + PaletteOffset() + 4u * paletteEntries : nullptr;
}

const uint8_t* TextureBitmap::PixelData() const {
    return dib ? dib.get() + PaletteOffset() + 4u * paletteEntries : nullptr;
}

void TextureBitmap::SetPaletteColour(uint8_t index, uint8_t red, uint8_t green, uint8_t blue) {
    if (!dib || index >= paletteEntries) {
        return;
    }
    uint8_t* entry = dib.get() + PaletteOffset() + 4u * index;
    entry[0] = blue;
    entry[1] = green;
    entry[2] = red;
    entry[3] = 0;
}

Colour TextureBitmap::PaletteColour(unsigned index) const {
    if (!dib || index >= paletteEntries) {
        return 0;
    }
    const uint8_t* entry = dib.get() + PaletteOffset() + 4u * index;
    return Rgb(entry[2], entry[1], entry[0]);
}

void TextureBitmap::PutPixel(int32_t x, int32_t y, uint8_t value) {
    if (!dib || paletteEntries == 0 || x < 0 || y < 0 || x >= header.width || y >= header.height) {
        return;
    }
    uint8_t* row = PixelData() + static_cast<size_t>(header.height - 1 - y) * rowStride;
    switch (header.bitCount) {
        case 8:
            row[x] = value;
            break;
        case 4: {
            // The left pixel of a byte is its high nibble.
            const int shift = (x % 2 == 0) ? 4 : 0;
            uint8_t& byte = row[x / 2];
            byte = static_cast<uint8_t>((byte & ~(0x0F << shift)) | ((value & 0x0F) << shift));
            break;
        }
        case 1: {
            const int shift = 7 - x % 8;
            uint8_t& byte = row[x / 8];
            byte = static_cast<uint8_t>((byte & ~(1 << shift)) | ((value & 1) << shift));
            break;
        }
        default:
            break;
    }
}

uint8_t TextureBitmap::PixelAt(int32_t x, int32_t y) const {
    if (!dib || paletteEntries == 0 || x < 0 || y < 0 || x >= header.width || y >= header.height) {
        return 0;
    }
    const uint8_t* row = PixelData() + static_cast<size_t>(header.height - 1 - y) * rowStride;
    switch (header.bitCount) {
        case 8:
            return row[x];
        case 4:
            return static_cast<uint8_t>((row[x / 2] >> ((x % 2 == 0) ? 4 : 0)) & 0x0F);
        case 1:
            return static_cast<uint8_t>((row[x / 8] >> (7 - x % 8)) & 1);
        default:
            return 0;
    }
}

void TextureBitmap::TintPalette(Colour colour, int32_t percent) {
    if (!dib || paletteEntries == 0) {
        return;
    }
    const int p = std::clamp<int32_t>(percent, 0, 100);
    const int target[3] = {BlueOf(colour), GreenOf(colour), RedOf(colour)};
    uint8_t* entry = dib.get() + PaletteOffset();
    for (unsigned i = 0; i < paletteEntries; ++i, entry += 4) {
        for (int c = 0; c < 3; ++c) {
            entry[c] = static_cast<uint8_t>((target[c] * p + entry[c] * (100 - p)) / 100);
        }
    }
}

void TextureBitmap::CopyFrom(const TextureBitmap& other) {
    if (&other == this) {
        return;
    }
    if (!other.dib) {
        Free();
        return;
    }
    if (Allocate(other.header.width, other.header.height, other.header.bitCount) == nullptr) {
        return;
    }
    std::memcpy(dib.get(), other.dib.get(), other.BlockSize());
}

void TextureBitmap::FillPixels(uint8_t value) {
    if (dib) {
        std::memset(PixelData(), value, header.sizeImage);
    }
}

bool TextureBitmap::Paint(Canvas* canvas, int x, int y) const {
    if (!dib || canvas == nullptr) {
        return false;
    }
    canvas->PaintBitmap(dib.get(), x, y);
    return true;
}

}  // namespace qv
