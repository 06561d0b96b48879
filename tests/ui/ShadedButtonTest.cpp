#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/ControlSet.h"
#include "framework/DataExchange.h"
#include "ui/ShadedButton.h"
#include "ui/ShadedFakeHost.h"

namespace qv {
namespace {

using P = ShadedButton::Point;

constexpr P kInside{30, 10};
constexpr P kOutside{-5, 10};
constexpr unsigned kSpace = 0x20;

// A button bound to a control of the given kind and style, shown by a fake widget.
struct Bound {
    explicit Bound(unsigned style, ControlKind kind = ControlKind::PushButton)
        : source{1001, kind, "&Add", 7, 29, 133, 14, style, 0},
          state{&source, source.id, kind, source.text, true, true, 0, nullptr, nullptr},
          host(button) {
        button.Attach(state);
    }
    ControlTemplate source;
    ControlState state;
    ShadedButton button;
    FakeShadedButtonHost host;
};

constexpr unsigned kShaded = cs::kOwnerDraw | cs::kTabStop;

TEST(ShadedButtonStyle, TemplatesDecideKindAndLook) {
    struct Case {
        ControlKind kind;
        unsigned style;
        ButtonKind expected;
        bool pushLike;
        bool drawBorder;
    };
    for (Case c :
         {Case{ControlKind::PushButton, kShaded, ButtonKind::Push, true, true},
          Case{ControlKind::PushButton, kShaded | cs::kDefault, ButtonKind::Push, true, true},
          Case{ControlKind::CheckBox, kShaded | cs::kAutoCheck, ButtonKind::CheckBox, false, false},
          Case{ControlKind::CheckBox, kShaded, ButtonKind::Push, true, true}}) {
        SCOPED_TRACE(testing::Message() << "style " << c.style);
        Bound b(c.style, c.kind);
        EXPECT_EQ(b.button.Kind(), c.expected);
        EXPECT_EQ(b.button.PushLike(), c.pushLike);
        EXPECT_EQ(b.button.DrawBorder(), c.drawBorder);
        EXPECT_FALSE(b.button.Flat());
        EXPECT_EQ(b.button.TextFormat(), dt::kSingleLine | dt::kVCenter | dt::kCenter);
    }
}

TEST(ShadedButtonStyle, StyleBitsDecideKindLookAndAlignment) {
    struct Case {
        unsigned style;
        ButtonKind kind;
        bool pushLike;
        bool drawBorder;
        bool flat;
        unsigned align;
    };
    for (Case c : {
             Case{bs::kPushButton, ButtonKind::Push, true, true, false, dt::kCenter},
             Case{bs::kDefPushButton | bs::kLeft, ButtonKind::Push, true, true, false, dt::kLeft},
             Case{bs::kPushButton | bs::kRight | bs::kFlat, ButtonKind::Push, true, true, true,
                  dt::kRight},
             Case{bs::kPushButton | bs::kCenter, ButtonKind::Push, true, true, false, dt::kCenter},
             Case{bs::kAutoCheckBox, ButtonKind::CheckBox, false, false, false, dt::kCenter},
             Case{bs::kAutoCheckBox | bs::kPushLike, ButtonKind::CheckBox, true, true, false,
                  dt::kCenter},
             Case{bs::kAutoRadioButton, ButtonKind::Radio, false, false, false, dt::kCenter},
             Case{bs::kAutoRadioButton | bs::kPushLike | bs::kFlat, ButtonKind::Radio, true, true,
                  true, dt::kCenter},
             Case{bs::kCheckBox, ButtonKind::Push, true, true, false, dt::kCenter},
         }) {
        SCOPED_TRACE(testing::Message() << "style 0x" << std::hex << c.style);
        ShadedButton button;
        button.ApplyStyle(c.style);
        EXPECT_EQ(button.Kind(), c.kind);
        EXPECT_EQ(button.PushLike(), c.pushLike);
        EXPECT_EQ(button.DrawBorder(), c.drawBorder);
        EXPECT_EQ(button.Flat(), c.flat);
        EXPECT_EQ(button.TextFormat(), dt::kSingleLine | dt::kVCenter | c.align);
    }
}

TEST(ShadedButtonStyle, BindingAttachesOnce) {
    ControlTemplate source{1018, ControlKind::CheckBox,    "OK", 0, 0, 50,
                           14,   kShaded | cs::kAutoCheck, 0};
    DialogTemplate dialog{130, "Password", 100, 100, 0, "MS Sans Serif", 8, {source}};
    ControlSet controls(dialog);
    ShadedButton button;
    ShadedButton other;
    DataExchange(controls, false).Bind(1018, button);
    DataExchange(controls, true).Bind(1018, other);
    EXPECT_EQ(controls.Find(1018)->custom, &button);
    EXPECT_EQ(other.Kind(), ButtonKind::Push);
    EXPECT_EQ(button.Kind(), ButtonKind::CheckBox);
}

TEST(ShadedButtonStyle, TextColourDefaultsToTheDesktopsButtonText) {
    ShadedButton button;
    FakeShadedButtonHost host(button);
    host.colours.buttonText = Rgb(1, 2, 3);
    EXPECT_EQ(button.TextColour(), Rgb(1, 2, 3));
    EXPECT_EQ(button.AssignTextColour(Rgb(0, 0, 0)), Rgb(1, 2, 3));
    EXPECT_EQ(button.AssignTextColour(Rgb(9, 9, 9)), Rgb(0, 0, 0));
    EXPECT_EQ(button.TextColour(), Rgb(9, 9, 9));
    EXPECT_EQ(host.repaints, 0);
}

TEST(ShadedButtonInput, HoverStartsWithAGrantedLeaveNotificationAndEndsWithIt) {
    Bound b(kShaded);
    b.button.OnMouseMove(kInside);
    EXPECT_TRUE(b.button.Hovering());
    EXPECT_EQ(b.host.events, (std::vector<std::string>{"track leave", "repaint"}));
    b.button.OnMouseMove({31, 10});  // already hovering: nothing new
    EXPECT_EQ(b.host.events.size(), 2u);
    b.host.PointerLeaves();
    EXPECT_FALSE(b.button.Hovering());
    EXPECT_EQ(b.host.repaints, 2);
    b.button.OnMouseMove(kInside);
    EXPECT_TRUE(b.button.Hovering());

    Bound refused(kShaded);
    refused.host.grantLeave = false;
    refused.button.OnMouseMove(kInside);
    EXPECT_FALSE(refused.button.Hovering());
    EXPECT_EQ(refused.host.repaints, 0);
}

TEST(ShadedButtonInput, PressStopsHoveringAndTracksThePointer) {
    Bound b(kShaded);
    b.button.OnMouseMove(kInside);
    b.host.events.clear();
    b.button.OnLeftButtonDown(kInside);
    EXPECT_FALSE(b.button.Hovering());
    EXPECT_TRUE(b.button.MouseDown());
    EXPECT_TRUE(b.host.capture);
    EXPECT_TRUE(b.host.focus);
    EXPECT_TRUE(b.host.pushed);
    EXPECT_FALSE(b.host.leavePending);
    EXPECT_EQ(b.host.events,
              (std::vector<std::string>{"cancel leave", "capture", "push in", "repaint"}));
    // While pressed, moves do not start hovering.
    b.button.OnMouseMove({32, 11});
    EXPECT_FALSE(b.button.Hovering());
    EXPECT_FALSE(b.host.leavePending);
}

struct DragCase {
    const char* name;
    std::vector<P> moves;  // while the button is held
    P release;
    int clicks;
    std::vector<bool> pushedAfterEachMove;
};

class ShadedButtonDrag : public testing::TestWithParam<DragCase> {};

TEST_P(ShadedButtonDrag, PushedLookFollowsThePointerAndOnlyAReleaseOverTheButtonClicks) {
    const DragCase& c = GetParam();
    Bound b(kShaded);
    b.button.OnLeftButtonDown(kInside);
    for (size_t i = 0; i < c.moves.size(); ++i) {
        b.button.OnMouseMove(c.moves[i]);
        EXPECT_EQ(b.host.pushed, c.pushedAfterEachMove[i]) << "after move " << i;
    }
    b.button.OnLeftButtonUp(c.release);
    EXPECT_EQ(b.host.clicks, c.clicks);
    EXPECT_FALSE(b.host.pushed);
    EXPECT_FALSE(b.host.capture);
    EXPECT_FALSE(b.button.MouseDown());
    // The next move starts hovering again.
    b.button.OnMouseMove(kInside);
    EXPECT_TRUE(b.button.Hovering());
}

INSTANTIATE_TEST_SUITE_P(
    , ShadedButtonDrag,
    testing::Values(
        DragCase{"StayInside", {{31, 11}}, kInside, 1, {true}},
        DragCase{"DragOffAndRelease", {{31, 11}, kOutside}, kOutside, 0, {true, false}},
        DragCase{"DragOffAndBack", {kOutside, {59, 19}}, {59, 19}, 1, {false, true}},
        DragCase{"OffBackOff", {kOutside, kInside, {60, 5}}, {60, 5}, 0, {false, true, false}},
        DragCase{"OffReleaseInsideWithoutMove", {kOutside}, kInside, 0, {false}}),
    [](const testing::TestParamInfo<DragCase>& info) { return std::string(info.param.name); });

TEST(ShadedButtonInput, AWindowOverTheButtonCountsAsElsewhere) {
    Bound b(kShaded);
    b.host.coveredAt = [](P p) { return p.x >= 50; };
    b.button.OnLeftButtonDown(kInside);
    b.button.OnMouseMove({55, 10});
    EXPECT_FALSE(b.host.pushed);
}

TEST(ShadedButtonInput, DoubleClickIsASecondPress) {
    Bound b(kShaded);
    b.button.OnLeftButtonDown(kInside);
    b.button.OnLeftButtonUp(kInside);
    b.button.OnDoubleClick(kInside);
    EXPECT_TRUE(b.host.pushed);
    EXPECT_TRUE(b.button.MouseDown());
    b.button.OnLeftButtonUp(kInside);
    EXPECT_EQ(b.host.clicks, 2);
}

TEST(ShadedButtonInput, LosingFocusWhilePressedEndsThePress) {
    Bound b(kShaded);
    b.button.OnLeftButtonDown(kInside);
    b.button.OnKillFocus();
    EXPECT_FALSE(b.host.capture);
    EXPECT_FALSE(b.button.MouseDown());
    EXPECT_FALSE(b.host.pushed);
    b.button.OnLeftButtonUp(kInside);
    EXPECT_EQ(b.host.clicks, 0);
    // Moves hover again afterwards.
    b.button.OnMouseMove(kInside);
    EXPECT_TRUE(b.button.Hovering());
}

TEST(ShadedButtonInput, CaptureIsReleasedBeforeTheOwnerHearsOfTheClick) {
    Bound b(kShaded);
    b.button.OnLeftButtonDown(kInside);
    b.host.events.clear();
    b.button.OnLeftButtonUp(kInside);
    EXPECT_EQ(b.host.events,
              (std::vector<std::string>{"pop out", "repaint", "release capture", "click"}));
}

TEST(ShadedButtonInput, WithoutAWidgetNothingFails) {
    ShadedButton button;
    button.OnMouseMove(kInside);
    button.OnLeftButtonDown(kInside);
    button.OnLeftButtonUp(kInside);
    button.OnKeyDown(kSpace);
    button.OnKeyUp(kSpace);
    button.OnKillFocus();
    button.SetCheck(1);
    button.BuildTextures(8, 8, 10, 5, Rgb(55, 255, 55));
    EXPECT_FALSE(button.Hovering());
    EXPECT_FALSE(button.MouseDown());
    EXPECT_FALSE(button.Textures().normalTexture.HasImage());
}

struct SpaceCase {
    unsigned style;
    int setCheck;  // argument of a set-check before the key
    int checkedAfter;
};

class ShadedButtonSpace : public testing::TestWithParam<SpaceCase> {};

TEST_P(ShadedButtonSpace, SpaceBarTogglesChecksOrJustPresses) {
    const SpaceCase& c = GetParam();
    ShadedButton button;
    FakeShadedButtonHost host(button);
    button.ApplyStyle(c.style);
    button.SetCheck(c.setCheck);
    const int before = button.GetCheck();
    button.OnKeyDown('A');  // other keys do nothing
    EXPECT_EQ(button.GetCheck(), before);
    EXPECT_FALSE(host.pushed);
    button.OnKeyDown(kSpace);
    EXPECT_EQ(button.GetCheck(), c.checkedAfter);
    EXPECT_TRUE(host.pushed);
    button.OnKeyUp(kSpace);
    EXPECT_EQ(button.GetCheck(), c.checkedAfter);
    EXPECT_FALSE(host.pushed);
    EXPECT_FALSE(host.capture);
    EXPECT_EQ(host.clicks, 1);
}

INSTANTIATE_TEST_SUITE_P(
    , ShadedButtonSpace,
    testing::Values(SpaceCase{bs::kPushButton, 0, 0}, SpaceCase{bs::kPushButton, 1, 0},
                    SpaceCase{bs::kAutoCheckBox, 0, 1}, SpaceCase{bs::kAutoCheckBox, 1, 0},
                    SpaceCase{bs::kAutoRadioButton, 0, 1}, SpaceCase{bs::kAutoRadioButton, 1, 1}));

TEST(ShadedButtonCheck, SetCheckOnAPushButtonLeavesItUnchecked) {
    Bound b(kShaded);
    b.button.SetCheck(1);
    EXPECT_EQ(b.button.GetCheck(), 0);
    EXPECT_EQ(b.host.repaints, 1);
}

TEST(ShadedButtonCheck, SetCheckStoresAnyNonZeroArgument) {
    ShadedButton button;
    FakeShadedButtonHost host(button);
    button.ApplyStyle(bs::kAutoCheckBox);
    button.SetCheck(7);
    EXPECT_EQ(button.GetCheck(), 1);
    button.SetCheck(0);
    EXPECT_EQ(button.GetCheck(), 0);
    EXPECT_EQ(host.repaints, 2);
}

TEST(ShadedButtonCheck, ClickingACheckBoxTogglesItOnlyWhenReleasedOverIt) {
    ShadedButton button;
    FakeShadedButtonHost host(button);
    button.ApplyStyle(bs::kAutoCheckBox);
    button.OnLeftButtonDown(kInside);
    button.OnLeftButtonUp(kInside);
    EXPECT_EQ(button.GetCheck(), 1);
    button.OnLeftButtonDown(kInside);
    button.OnLeftButtonUp(kInside);
    EXPECT_EQ(button.GetCheck(), 0);
    button.OnLeftButtonDown(kInside);
    button.OnMouseMove(kOutside);
    button.OnLeftButtonUp(kOutside);
    EXPECT_EQ(button.GetCheck(), 0);
    // A release without a press on this button does nothing.
    button.OnLeftButtonUp(kInside);
    EXPECT_EQ(button.GetCheck(), 0);
    EXPECT_EQ(host.clicks, 2);
}

// Three radio-mode buttons of one dialog group, each shown by its own widget.
struct RadioGroup {
    RadioGroup() {
        for (int i = 0; i < 3; ++i) {
            buttons[i].ApplyStyle(bs::kAutoRadioButton | bs::kPushLike);
            hosts.push_back(std::make_unique<FakeShadedButtonHost>(buttons[i]));
        }
        // The group walk from each button visits the others and comes back to it.
        for (int i = 0; i < 3; ++i) {
            hosts[i]->group = {&buttons[(i + 1) % 3], &buttons[(i + 2) % 3], &buttons[i]};
        }
    }
    void Deliver() {
        for (auto& h : hosts) {
            h->DeliverPosted();
        }
    }
    std::vector<int> Checks() const {
        return {buttons[0].GetCheck(), buttons[1].GetCheck(), buttons[2].GetCheck()};
    }
    ShadedButton buttons[3];
    std::vector<std::unique_ptr<FakeShadedButtonHost>> hosts;
};

TEST(ShadedButtonCheck, CheckingARadioButtonClearsTheRestOfItsGroup) {
    RadioGroup g;
    g.buttons[1].SetCheck(1);
    g.Deliver();
    EXPECT_EQ(g.Checks(), (std::vector<int>{0, 1, 0}));

    g.buttons[0].OnLeftButtonDown(kInside);
    g.buttons[0].OnLeftButtonUp(kInside);
    EXPECT_EQ(g.Checks(), (std::vector<int>{1, 1, 0}));  // the uncheck is posted, not sent
    g.Deliver();
    EXPECT_EQ(g.Checks(), (std::vector<int>{1, 0, 0}));

    // Clicking a checked radio button keeps it checked.
    g.buttons[0].OnLeftButtonDown(kInside);
    g.buttons[0].OnLeftButtonUp(kInside);
    g.Deliver();
    EXPECT_EQ(g.Checks(), (std::vector<int>{1, 0, 0}));

    // Unchecking one posts nothing.
    g.buttons[0].SetCheck(0);
    EXPECT_TRUE(g.hosts[0]->posted.empty());
}

TEST(ShadedButtonCheck, GroupWalkStopsWhenItReturnsToTheButtonOrEnds) {
    RadioGroup g;
    for (auto& h : g.hosts) {
        h->group.clear();
    }
    g.buttons[1].SetCheck(1);
    g.buttons[2].SetCheck(1);
    // The walk from the first button comes back to it before it reaches the third.
    g.hosts[0]->group = {&g.buttons[1], nullptr, &g.buttons[0], &g.buttons[2]};
    g.buttons[0].SetCheck(1);
    g.Deliver();
    EXPECT_EQ(g.Checks(), (std::vector<int>{1, 0, 1}));
    // The walk from the second one ends after the first.
    g.hosts[1]->group = {&g.buttons[0]};
    g.buttons[1].SetCheck(1);
    g.Deliver();
    EXPECT_EQ(g.Checks(), (std::vector<int>{0, 1, 1}));
}

TEST(ShadedButtonCheck, UncheckOnlyRepaintsACheckedButton) {
    RadioGroup g;
    FakeShadedButtonHost& host = *g.hosts[0];
    g.buttons[0].OnUncheck();
    EXPECT_EQ(host.repaints, 0);
    g.buttons[0].SetCheck(1);
    const int before = host.repaints;
    g.buttons[0].OnUncheck();
    EXPECT_EQ(g.buttons[0].GetCheck(), 0);
    EXPECT_EQ(host.repaints, before + 1);
    EXPECT_EQ(UncheckMessage, 0x500u);
}

}  // namespace
}  // namespace qv
