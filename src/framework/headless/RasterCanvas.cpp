#include "framework/headless/RasterCanvas.h"

#include <algorithm>
#include <cstdint>

namespace qv {

namespace {

uint32_t Get32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
           (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

uint16_t Get16(const uint8_t* at) {
    return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

Rect Intersect(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// The text as shown: ampersands removed, and where the mnemonic letter is (-1: none).
std::string VisibleText(const std::string& text, int* mnemonic) {
    std::string shown;
    *mnemonic = -1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != '&' && *mnemonic < 0) {
                *mnemonic = static_cast<int>(shown.size());
            }
        } else if (text[i] == '&') {
            continue;  // a trailing ampersand shows nothing
        }
        shown += text[i];
    }
    return shown;
}

}  // namespace

RasterCanvas::RasterCanvas(int width, int height, Colour background)
    : width(std::max(0, width)),
      height(std::max(0, height)),
      pixels(static_cast<size_t>(this->width) * this->height, background) {}

Colour RasterCanvas::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return kOutside;
    }
    return pixels[static_cast<size_t>(y) * width + x];
}

void RasterCanvas::SetPixel(int x, int y, Colour colour) {
    if (x >= 0 && y >= 0 && x < width && y < height) {
        pixels[static_cast<size_t>(y) * width + x] = colour;
    }
}

void RasterCanvas::Fill(Rect rect, Colour colour, const Rect& clip) {
    rect = Intersect(Intersect(rect, clip), {0, 0, width, height});
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            pixels[static_cast<size_t>(y) * width + x] = colour;
        }
    }
}

void RasterCanvas::FillRect(const Rect& rect, Colour colour) {
    Fill(rect, colour, {0, 0, width, height});
}

void RasterCanvas::PaintBitmap(const uint8_t* block, int x, int y) {
    if (block == nullptr) {
        return;
    }
    const uint32_t headerSize = Get32(block);
    const auto w = static_cast<int32_t>(Get32(block + 4));
    const auto h = static_cast<int32_t>(Get32(block + 8));
    const int bits = Get16(block + 14);
    const uint32_t compression = Get32(block + 16);
    const uint32_t used = Get32(block + 32);
    if (compression != 0 || w <= 0 || h == 0 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24)) {
        return;
    }
    const uint32_t entries = bits <= 8 ? (used != 0 ? used : 1u << bits) : 0;
    const uint8_t* palette = block + headerSize;
    const uint8_t* data = palette + 4 * entries;
    const int64_t stride = ((static_cast<int64_t>(w) * bits + 31) / 32) * 4;
    const bool bottomUp = h > 0;
    const int rows = bottomUp ? h : -h;

    auto colourAt = [&](const uint8_t* row, int col) -> Colour {
        uint32_t index = 0;
        switch (bits) {
            case 24:
                return Rgb(row[col * 3 + 2], row[col * 3 + 1], row[col * 3]);
            case 8:
                index = row[col];
                break;
            case 4:
                index = (row[col / 2] >> (col % 2 == 0 ? 4 : 0)) & 0x0F;
                break;
            default:
                index = (row[col / 8] >> (7 - col % 8)) & 1;
                break;
        }
        if (index >= entries) {
            return 0;
        }
        const uint8_t* e = palette + 4 * index;
        return Rgb(e[2], e[1], e[0]);
    };

    const Rect target = Intersect({x, y, x + w, y + rows}, {0, 0, width, height});
    for (int py = target.top; py < target.bottom; ++py) {
        const int imageRow = py - y;
        const int memoryRow = bottomUp ? rows - 1 - imageRow : imageRow;
        const uint8_t* row = data + memoryRow * stride;
        for (int px = target.left; px < target.right; ++px) {
            pixels[static_cast<size_t>(py) * width + px] = colourAt(row, px - x);
        }
    }
}

void RasterCanvas::FrameRect(const Rect& r, Colour topLeft, Colour bottomRight) {
    if (r.right <= r.left || r.bottom <= r.top) {
        return;
    }
    FillRect({r.left, r.top, r.right, r.top + 1}, topLeft);
    FillRect({r.left, r.top, r.left + 1, r.bottom}, topLeft);
    FillRect({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    FillRect({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

Size RasterCanvas::TextExtent(const std::string& text, bool) {
    int mnemonic = -1;
    return {static_cast<int>(VisibleText(text, &mnemonic).size()) * kCharWidth, kCharHeight};
}

void RasterCanvas::DrawText(const std::string& text, const Rect& rect, unsigned format,
                            Colour colour, bool underline) {
    texts.push_back({text, rect, format, colour, underline});
    int mnemonic = -1;
    const std::string shown = VisibleText(text, &mnemonic);
    const int textWidth = static_cast<int>(shown.size()) * kCharWidth;

    int left = rect.left;
    if ((format & dt::kCenter) != 0) {
        left = rect.left + (rect.Width() - textWidth) / 2;
    } else if ((format & dt::kRight) != 0) {
        left = rect.right - textWidth;
    }
    int top = rect.top;
    if ((format & dt::kSingleLine) != 0 && (format & dt::kVCenter) != 0) {
        top = rect.top + (rect.Height() - kCharHeight) / 2;
    }

    for (size_t i = 0; i < shown.size(); ++i) {
        const int cellX = left + static_cast<int>(i) * kCharWidth;
        if (shown[i] != ' ') {
            Fill({cellX + 1, top + 2, cellX + kCharWidth - 1, top + kCharHeight - 2}, colour, rect);
        }
        if (underline || static_cast<int>(i) == mnemonic) {
            Fill({cellX, top + kCharHeight - 1, cellX + kCharWidth, top + kCharHeight}, colour,
                 rect);
        }
    }
}

}  // namespace qv
