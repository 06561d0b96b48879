#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "framework/Resources.h"
#include "res/Resource.h"

namespace qv {
namespace {

uint32_t U16(const std::string& b, size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

uint32_t U32(const std::string& b, size_t at) {
    return U16(b, at) | U16(b, at + 2) << 16;
}

int32_t I32(const std::string& b, size_t at) {
    return static_cast<int32_t>(U32(b, at));
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

TEST(Resources, FindsEachResourceByTypeAndNumber) {
    const std::vector<std::pair<std::string, int>> all = {
        {rt::kText, res::kSourceText},       {rt::kText, res::kHelpText},
        {rt::kBitmap, res::kBornFromBitmap}, {rt::kBitmap, res::kLandscapeBitmap},
        {rt::kIcon, res::kMainFrame},
    };
    EXPECT_EQ(EmbeddedResources().size(), all.size());
    for (const auto& [type, id] : all) {
        SCOPED_TRACE(type + " " + std::to_string(id));
        const std::string* bytes = FindResource(type, id);
        ASSERT_NE(bytes, nullptr);
        EXPECT_FALSE(bytes->empty());
        // The same object every time: callers may keep the pointer.
        EXPECT_EQ(FindResource(type, id), bytes);
    }
}

TEST(Resources, TypeMatchesWithoutRegardToCaseButNumberAndTypeMustBothFit) {
    EXPECT_EQ(FindResource("text", 138), FindResource("TEXT", 138));
    EXPECT_EQ(FindResource("Bitmap", 133), FindResource("BITMAP", 133));
    EXPECT_EQ(FindResource("TEXT", 139), nullptr);
    EXPECT_EQ(FindResource("TEXT", 133), nullptr);    // a bitmap's number
    EXPECT_EQ(FindResource("BITMAP", 138), nullptr);  // a text's number
    EXPECT_EQ(FindResource("TEX", 138), nullptr);
    EXPECT_EQ(FindResource("", 128), nullptr);
}

struct TextCase {
    const char* name;
    int id;
    size_t bytes;
    size_t lines;
    bool finalLineEnd;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.name;
}

class ResourcesText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ResourcesText, SizeLinesAndLineEnds) {
    const TextCase& c = GetParam();
    const std::string* found = FindResource(rt::kText, c.id);
    ASSERT_NE(found, nullptr);
    const std::string& text = *found;
    EXPECT_EQ(text.size(), c.bytes);

    // Every line end is CR LF: no bare LF, no bare CR.
    size_t crlf = Count(text, "\r\n");
    EXPECT_EQ(Count(text, "\n"), crlf);
    EXPECT_EQ(Count(text, "\r"), crlf);
    EXPECT_EQ(crlf, c.finalLineEnd ? c.lines : c.lines - 1);
    EXPECT_EQ(text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0, c.finalLineEnd);

    // Plain 8-bit ASCII, tabs for indentation, blank lines between paragraphs.
    for (char ch : text) {
        unsigned char u = static_cast<unsigned char>(ch);
        ASSERT_TRUE(u == '\t' || u == '\r' || u == '\n' || (u >= 0x20 && u < 0x7F))
            << "byte " << static_cast<int>(u);
    }
    EXPECT_NE(text.find("\r\n\t"), std::string::npos);
    EXPECT_NE(text.find("\r\n\r\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(, ResourcesText,
                         ::testing::Values(TextCase{"Source", 138, 10091, 429, true},
                                           TextCase{"Help", 148, 3102, 59, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Resources, HelpHasItsContentsAndThreeSections) {
    const std::string& help = *FindResource(rt::kText, res::kHelpText);
    // Each title once in the table of contents and once as the section's heading.
    for (const char* section : {"1. About", "2. How to use", "3. History"}) {
        EXPECT_EQ(Count(help, section), 2u) << section;
    }
    EXPECT_LT(help.find("1. About"), help.find("2. How to use"));
    EXPECT_LT(help.find("2. How to use"), help.find("3. History"));
    // Addresses use the reserved example domain only.
    EXPECT_NE(help.find("www.example.org"), std::string::npos);
    EXPECT_NE(help.find("quorvex@example.org"), std::string::npos);
    EXPECT_EQ(Count(help, "@"), Count(help, "@example.org"));
}

struct BitmapCase {
    const char* name;
    int id;
    int32_t width;
    int32_t height;
    uint32_t bitsPerPixel;
    size_t minColoursUsed;  // a blank or broken picture uses one or two
};

void PrintTo(const BitmapCase& c, std::ostream* os) {
    *os << c.name;
}

class ResourcesBitmap : public ::testing::TestWithParam<BitmapCase> {};

TEST_P(ResourcesBitmap, HeadersPaletteAndRows) {
    const BitmapCase& c = GetParam();
    const std::string* found = FindResource(rt::kBitmap, c.id);
    ASSERT_NE(found, nullptr);
    const std::string& b = *found;
    ASSERT_GE(b.size(), 54u);

    uint32_t colours = 1u << c.bitsPerPixel;
    uint32_t offset = 14 + 40 + 4 * colours;
    size_t stride = (static_cast<size_t>(c.width) * c.bitsPerPixel + 31) / 32 * 4;

    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(U32(b, 2), b.size());
    EXPECT_EQ(U32(b, 10), offset);
    EXPECT_EQ(U32(b, 14), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(I32(b, 18), c.width);
    EXPECT_EQ(I32(b, 22), c.height);  // positive: rows bottom-up
    EXPECT_EQ(U16(b, 26), 1u);        // planes
    EXPECT_EQ(U16(b, 28), c.bitsPerPixel);
    EXPECT_EQ(U32(b, 30), 0u);  // uncompressed
    EXPECT_TRUE(U32(b, 46) == 0 || U32(b, 46) == colours) << U32(b, 46);
    ASSERT_EQ(b.size(), offset + stride * static_cast<size_t>(c.height));

    std::set<unsigned> used;
    for (int32_t y = 0; y < c.height; ++y) {
        for (int32_t x = 0; x < c.width; ++x) {
            size_t bit = static_cast<size_t>(x) * c.bitsPerPixel;
            unsigned byte = static_cast<unsigned char>(b[offset + y * stride + bit / 8]);
            used.insert(c.bitsPerPixel == 8 ? byte : (bit % 8 == 0 ? byte >> 4 : byte & 15));
        }
    }
    EXPECT_GE(used.size(), c.minColoursUsed);
}

INSTANTIATE_TEST_SUITE_P(, ResourcesBitmap,
                         ::testing::Values(BitmapCase{"BornFrom", 133, 652, 331, 4, 6},
                                           BitmapCase{"Landscape", 136, 197, 169, 8, 100}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Resources, IconIsOne32By32ImageOf256Colours) {
    const std::string* found = FindResource(rt::kIcon, res::kMainFrame);
    ASSERT_NE(found, nullptr);
    const std::string& b = *found;
    const size_t image = 40 + 256 * 4 + 32 * 32 + 32 * 4;  // header, palette, colours, mask
    ASSERT_EQ(b.size(), 6 + 16 + image);

    EXPECT_EQ(U16(b, 0), 0u);  // reserved
    EXPECT_EQ(U16(b, 2), 1u);  // an icon, not a cursor
    EXPECT_EQ(U16(b, 4), 1u);  // one image
    EXPECT_EQ(static_cast<unsigned char>(b[6]), 32);
    EXPECT_EQ(static_cast<unsigned char>(b[7]), 32);
    EXPECT_EQ(static_cast<unsigned char>(b[8]), 0);  // 0 stands for 256 colours
    EXPECT_EQ(U16(b, 10), 1u);                       // planes
    EXPECT_EQ(U16(b, 12), 8u);                       // bits per pixel
    EXPECT_EQ(U32(b, 14), image);
    EXPECT_EQ(U32(b, 18), 22u);

    EXPECT_EQ(U32(b, 22), 40u);
    EXPECT_EQ(I32(b, 26), 32);
    EXPECT_EQ(I32(b, 30), 64);  // colour rows and mask rows together
    EXPECT_EQ(U16(b, 36), 8u);
    EXPECT_EQ(U32(b, 38), 0u);

    // The corners are transparent and the centre is not.
    const size_t mask = 22 + 40 + 1024 + 1024;
    auto transparent = [&](int x, int y) {
        unsigned char row = static_cast<unsigned char>(b[mask + (31 - y) * 4 + x / 8]);
        return (row & (0x80 >> (x % 8))) != 0;
    };
    EXPECT_TRUE(transparent(0, 0));
    EXPECT_TRUE(transparent(31, 31));
    EXPECT_FALSE(transparent(16, 16));
}

}  // namespace
}  // namespace qv
