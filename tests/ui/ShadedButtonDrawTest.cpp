#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ControlSet.h"
#include "framework/headless/RasterCanvas.h"
#include "ui/ShadedButton.h"
#include "ui/ShadedFakeHost.h"
#include "ui/TextureRandom.h"

namespace qv {
namespace {

constexpr int W = 40;
constexpr int H = 24;
constexpr Colour kBackground = Rgb(255, 0, 255);
constexpr Colour kText = Rgb(0, 0, 1);
constexpr unsigned kCentred = dt::kSingleLine | dt::kVCenter | dt::kCenter;

SystemColours TestColours() {
    SystemColours c;
    c.face = Rgb(200, 200, 200);
    c.shadow = Rgb(100, 100, 100);
    c.darkShadow = Rgb(10, 10, 10);
    c.light = Rgb(220, 220, 220);
    c.highlight = Rgb(250, 250, 250);
    c.grayText = Rgb(120, 0, 0);
    c.buttonText = Rgb(0, 0, 200);
    return c;
}

enum class Role { Face, Shadow, DarkShadow, Light, Highlight };

Colour ColourOf(Role role) {
    const SystemColours c = TestColours();
    switch (role) {
        case Role::Face:
            return c.face;
        case Role::Shadow:
            return c.shadow;
        case Role::DarkShadow:
            return c.darkShadow;
        case Role::Light:
            return c.light;
        case Role::Highlight:
            return c.highlight;
    }
    return 0;
}

// The colour a texture gives the pixel at (x, y), read straight from its block.
Colour TextureColour(const TextureBitmap& t, int x, int y) {
    const uint8_t* block = t.Block();
    const int width = block[4] | (block[5] << 8);
    const int height = block[8] | (block[9] << 8);
    const int stride = ((width * 8 + 31) / 32) * 4;
    const uint8_t index = block[40 + 1024 + (height - 1 - y) * stride + x];
    const uint8_t* entry = block + 40 + 4 * index;
    return Rgb(entry[2], entry[1], entry[0]);
}

class ShadedButtonDraw : public testing::Test {
protected:
    void SetUp() override {
        host.colours = TestColours();
        button.Attach(state);
        button.AssignTextColour(kText);
    }
    void Build() {
        TextureRandom::Reset();
        button.BuildTextures(8, 8, 10, 5, Rgb(55, 255, 55));
    }
    RasterCanvas Draw(DrawItemState s) {
        s.item = {0, 0, W, H};
        RasterCanvas canvas(W, H, kBackground);
        EXPECT_TRUE(button.Draw(canvas, s, TestColours()));
        return canvas;
    }

    ControlTemplate source{1018, ControlKind::PushButton,       "OK", 35, 54, 55,
                           15,   cs::kOwnerDraw | cs::kTabStop, 0};
    ControlState state{&source, 1018,   ControlKind::PushButton, "OK", true, true, 0,
                       nullptr, nullptr};
    ShadedButton button;
    FakeShadedButtonHost host{button, {W, H}};
};

struct EdgeCase {
    const char* name;
    DrawItemState flags;
    std::vector<std::pair<std::pair<int, int>, Role>> pixels;
};

class ShadedButtonEdges : public ShadedButtonDraw, public testing::WithParamInterface<EdgeCase> {};

TEST_P(ShadedButtonEdges, WithoutTexturesEachStateIsAPlainFaceInsideItsEdges) {
    const RasterCanvas canvas = Draw(GetParam().flags);
    for (const auto& [at, role] : GetParam().pixels) {
        EXPECT_EQ(canvas.Pixel(at.first, at.second), ColourOf(role))
            << "at " << at.first << "," << at.second;
    }
}

using R = Role;
INSTANTIATE_TEST_SUITE_P(
    , ShadedButtonEdges,
    testing::Values(EdgeCase{"Normal",
                             {},
                             {{{0, 0}, R::Light},
                              {{0, H - 2}, R::Light},
                              {{W - 1, 0}, R::DarkShadow},
                              {{0, H - 1}, R::DarkShadow},
                              {{W - 1, H - 1}, R::DarkShadow},
                              {{1, 1}, R::Highlight},
                              {{W - 2, 1}, R::Shadow},
                              {{W - 2, H - 2}, R::Shadow},
                              {{2, 2}, R::Face},
                              {{W - 3, H - 3}, R::Face}}},
                    EdgeCase{"Pressed",
                             {{}, true, false, false, false},
                             {{{0, 0}, R::Shadow},
                              {{W - 1, 0}, R::Highlight},
                              {{W - 1, H - 1}, R::Highlight},
                              {{1, 1}, R::DarkShadow},
                              {{W - 2, H - 2}, R::Light},
                              {{2, 2}, R::Face}}},
                    EdgeCase{"Disabled",
                             {{}, false, true, true, false},
                             {{{0, 0}, R::Light},
                              {{W - 1, H - 1}, R::DarkShadow},
                              {{1, 1}, R::Highlight},
                              {{W - 2, H - 2}, R::Shadow},
                              {{2, 2}, R::Face}}},
                    EdgeCase{"Default",
                             {{}, false, false, false, true},
                             {{{0, 0}, R::Shadow},
                              {{W - 1, H - 1}, R::Highlight},
                              {{1, 1}, R::Light},
                              {{W - 2, H - 2}, R::DarkShadow},
                              {{2, 2}, R::Highlight},
                              {{W - 3, H - 3}, R::Shadow},
                              {{3, 3}, R::Face}}},
                    EdgeCase{"DefaultPressed",
                             {{}, true, false, false, true},
                             {{{0, 0}, R::Shadow}, {{1, 1}, R::DarkShadow}, {{2, 2}, R::Face}}}),
    [](const testing::TestParamInfo<EdgeCase>& info) { return std::string(info.param.name); });

TEST_F(ShadedButtonDraw, FacesComeFromTheirTextures) {
    Build();
    const ShadedTextures& t = button.Textures();
    struct Case {
        const char* name;
        DrawItemState flags;
        bool hover;
        const TextureBitmap* texture;
        int offset;
    };
    for (const Case& c : {Case{"normal", {}, false, &t.normalTexture, 0},
                          Case{"hover", {}, true, &t.hoverTexture, 0},
                          Case{"pressed", {{}, true}, true, &t.pressedTexture, 1},
                          Case{"disabled", {{}, false, true}, false, &t.disabledTexture, 0}}) {
        SCOPED_TRACE(c.name);
        if (c.hover != button.Hovering()) {
            if (c.hover) {
                button.OnMouseMove({5, 5});
            } else {
                host.PointerLeaves();
            }
        }
        const RasterCanvas canvas = Draw(c.flags);
        // Rows clear of the caption, inside the edges.
        for (int y : {2, 3, 5, 17, 18, 21}) {
            for (int x = 2; x < W - 2; ++x) {
                ASSERT_EQ(canvas.Pixel(x, y), TextureColour(*c.texture, x - c.offset, y - c.offset))
                    << "at " << x << "," << y;
            }
        }
    }
    // Hover really is another face.
    EXPECT_NE(TextureColour(t.hoverTexture, 5, 5), TextureColour(t.normalTexture, 5, 5));
}

TEST_F(ShadedButtonDraw, CheckedButtonWithoutEdgesShowsThePressedFaceUnshifted) {
    button.ApplyStyle(bs::kAutoCheckBox);
    Build();
    button.SetCheck(1);
    const RasterCanvas canvas = Draw({});
    const TextureBitmap& pressed = button.Textures().pressedTexture;
    for (int x = 0; x < W; ++x) {
        ASSERT_EQ(canvas.Pixel(x, 0), TextureColour(pressed, x, 0)) << "x " << x;
    }
    ASSERT_EQ(canvas.TextCalls().size(), 1u);
    EXPECT_EQ(canvas.TextCalls()[0].rect.left, 6);
    EXPECT_EQ(canvas.TextCalls()[0].rect.top, 0);
}

TEST_F(ShadedButtonDraw, CaptionPlacementAndColours) {
    struct Expected {
        int left, top, right, bottom;
        Colour colour;
    };
    struct Case {
        const char* name;
        DrawItemState flags;
        std::vector<Expected> calls;
    };
    const SystemColours c = TestColours();
    for (const Case& k :
         {Case{"normal", {}, {{6, 0, 34, 24, kText}}},
          Case{"pressed", {{}, true}, {{7, 1, 35, 25, kText}}},
          Case{"default focused", {{}, false, false, true, true}, {{6, 0, 34, 24, kText}}},
          Case{"disabled",
               {{}, false, true},
               {{6, 0, 34, 24, c.highlight}, {5, -1, 33, 23, c.grayText}}}}) {
        SCOPED_TRACE(k.name);
        const RasterCanvas canvas = Draw(k.flags);
        ASSERT_EQ(canvas.TextCalls().size(), k.calls.size());
        for (size_t i = 0; i < k.calls.size(); ++i) {
            const RasterCanvas::TextCall& call = canvas.TextCalls()[i];
            const Expected& e = k.calls[i];
            EXPECT_EQ(call.text, "OK");
            EXPECT_EQ(call.format, kCentred);
            EXPECT_EQ(call.colour, e.colour);
            EXPECT_EQ(call.rect.left, e.left);
            EXPECT_EQ(call.rect.top, e.top);
            EXPECT_EQ(call.rect.right, e.right);
            EXPECT_EQ(call.rect.bottom, e.bottom);
        }
    }
    // The glyphs land where the centred caption is: "OK" is 12 x 13 in a 28 x 24 rectangle.
    const RasterCanvas canvas = Draw({});
    EXPECT_EQ(canvas.Pixel(6 + 8 + 1, 5 + 2), kText);
    EXPECT_EQ(canvas.Pixel(6 + 8, 5 + 2), ColourOf(Role::Face));
}

struct FocusCase {
    const char* name;
    DrawItemState flags;
    int inset;  // 0: no dots
};

class ShadedButtonFocus : public ShadedButtonDraw, public testing::WithParamInterface<FocusCase> {};

TEST_P(ShadedButtonFocus, DotsLieInsideTheBorderWidth) {
    Build();
    const FocusCase& c = GetParam();
    const RasterCanvas canvas = Draw(c.flags);
    const Colour s = TestColours().shadow;
    const Colour l = TestColours().highlight;
    const TextureBitmap& face = c.flags.disabled
                                    ? button.Textures().disabledTexture
                                    : (c.flags.selected ? button.Textures().pressedTexture
                                                        : button.Textures().normalTexture);
    const int offset = c.flags.selected ? 1 : 0;
    auto faceAt = [&](int x, int y) { return TextureColour(face, x - offset, y - offset); };
    if (c.inset == 0) {
        for (int inset : {4, 5}) {
            EXPECT_EQ(canvas.Pixel(inset + 1, inset), faceAt(inset + 1, inset));
            EXPECT_EQ(canvas.Pixel(inset, inset + 1), faceAt(inset, inset + 1));
            EXPECT_EQ(canvas.Pixel(W - inset, inset + 1), faceAt(W - inset, inset + 1));
        }
        return;
    }
    const int left = c.inset;
    const int top = c.inset;
    const int right = W - c.inset;
    const int bottom = H - c.inset;
    const int lengthH = W - 2 * 4 - 1;
    const int lengthV = H - 2 * 4;
    // The strips keep their length when the default button's frame moves them in, so the
    // right-hand strip, painted last, covers the end of the horizontal ones.
    for (int i = 0; i < lengthH && left + 1 + i < right; ++i) {
        const Colour dot = i % 2 == 0 ? s : l;
        ASSERT_EQ(canvas.Pixel(left + 1 + i, top), dot) << "top dot " << i;
        ASSERT_EQ(canvas.Pixel(left + 1 + i, bottom), dot) << "bottom dot " << i;
    }
    for (int k = 0; k < lengthV; ++k) {  // k counts from the strip's bottom
        const int y = top + lengthV - k;
        const Colour dot = k % 2 == 0 ? s : l;
        ASSERT_EQ(canvas.Pixel(left, y), dot) << "left dot " << k;
        ASSERT_EQ(canvas.Pixel(right, y), dot) << "right dot " << k;
    }
    // Nothing one pixel further out.
    EXPECT_NE(canvas.Pixel(left + 1, top - 1), s);
    EXPECT_NE(canvas.Pixel(left - 1, top + 2), canvas.Pixel(left, top + 2));
}

INSTANTIATE_TEST_SUITE_P(
    , ShadedButtonFocus,
    testing::Values(FocusCase{"Normal", {{}, false, false, true, false}, 4},
                    FocusCase{"Pressed", {{}, true, false, true, false}, 4},
                    FocusCase{"Default", {{}, false, false, true, true}, 5},
                    FocusCase{"DisabledFocused", {{}, false, true, true, false}, 0},
                    FocusCase{"DisabledDefaultFocused", {{}, false, true, true, true}, 0},
                    FocusCase{"Unfocused", {}, 0}),
    [](const testing::TestParamInfo<FocusCase>& info) { return std::string(info.param.name); });

TEST_F(ShadedButtonDraw, FlatButtonsShowEdgesOnlyWhileHoveredOrPressed) {
    button.ApplyStyle(bs::kPushButton | bs::kFlat);
    struct Case {
        const char* name;
        DrawItemState flags;
        bool hover;
        Role topLeft;
        Role bottomRight;
    };
    for (const Case& c : {Case{"idle", {}, false, R::Face, R::Face},
                          Case{"hover", {}, true, R::Highlight, R::Shadow},
                          Case{"pressed", {{}, true}, false, R::Shadow, R::Highlight},
                          Case{"disabled", {{}, false, true}, false, R::Face, R::Face}}) {
        SCOPED_TRACE(c.name);
        if (c.hover != button.Hovering()) {
            if (c.hover) {
                button.OnMouseMove({5, 5});
            } else {
                host.PointerLeaves();
            }
        }
        const RasterCanvas canvas = Draw(c.flags);
        EXPECT_EQ(canvas.Pixel(0, 0), ColourOf(c.topLeft));
        EXPECT_EQ(canvas.Pixel(W - 1, H - 1), ColourOf(c.bottomRight));
        EXPECT_EQ(canvas.Pixel(1, 1), ColourOf(R::Face));  // one pixel wide
    }
}

TEST_F(ShadedButtonDraw, PushedLookCatchesUpWithThePointerFirst) {
    button.OnLeftButtonDown({5, 5});
    ASSERT_TRUE(host.pushed);
    struct Case {
        std::optional<ShadedButton::Point> pointer;
        bool pushedBefore;
        bool drawn;
        bool pushedAfter;
    };
    for (const Case& c : {Case{ShadedButton::Point{-3, 5}, true, false, false},
                          Case{ShadedButton::Point{5, 5}, false, false, true},
                          Case{ShadedButton::Point{5, 5}, true, true, true},
                          Case{std::nullopt, false, true, false}}) {
        SCOPED_TRACE(testing::Message() << "pushed " << c.pushedBefore << ", pointer "
                                        << (c.pointer ? c.pointer->x : 999));
        host.pointer = c.pointer;
        host.pushed = c.pushedBefore;
        const int repaints = host.repaints;
        RasterCanvas canvas(W, H, kBackground);
        EXPECT_EQ(button.Draw(canvas, {{0, 0, W, H}, c.pushedBefore}, TestColours()), c.drawn);
        EXPECT_EQ(host.pushed, c.pushedAfter);
        EXPECT_EQ(host.repaints, repaints + (c.drawn ? 0 : 1));
        EXPECT_EQ(canvas.Pixel(0, 0) == kBackground, !c.drawn);
        EXPECT_EQ(canvas.TextCalls().empty(), !c.drawn);
    }
    // Without a held button the pointer does not matter.
    button.OnLeftButtonUp({-3, 5});
    host.pointer = ShadedButton::Point{-3, 5};
    RasterCanvas canvas(W, H, kBackground);
    EXPECT_TRUE(button.Draw(canvas, {{0, 0, W, H}}, TestColours()));
}

}  // namespace
}  // namespace qv
