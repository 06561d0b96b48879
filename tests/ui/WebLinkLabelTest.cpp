// The web link label as a model: binding, fitting, colours, hover with capture, the click
// with the shell and its fallback, and the failure texts. The shell is a fake.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/ControlSet.h"
#include "framework/DataExchange.h"
#include "res/Resource.h"
#include "support/RecordingMessageBoxes.h"
#include "ui/WebLinkLabel.h"

namespace qv {
namespace {

using Lines = std::vector<std::string>;

// Records what the label asks of the shell; answers as set up.
class FakeShell : public Shell {
public:
    intptr_t Open(const std::string& target, int show) override {
        calls.push_back("open " + target + " " + std::to_string(show));
        return openResult;
    }
    long ReadBrowserCommand(std::string& command) override {
        calls.push_back("lookup");
        if (lookupResult == 0) {
            command = browserCommand;
        }
        return lookupResult;
    }
    intptr_t RunBrowser(const std::string& command, const std::string& target, int show) override {
        // What the Windows shell hands to WinExec.
        calls.push_back("run " + RegistryCommandLine(command, target) + " " + std::to_string(show));
        return runResult;
    }

    intptr_t openResult = 42;
    long lookupResult = 2;
    std::string browserCommand;
    intptr_t runResult = 33;
    Lines calls;
};

class FakeLinkHost : public LinkHost {
public:
    Rect WindowRect() const override { return rect; }
    void MoveWindow(const Rect& r) override {
        rect = r;
        events.push_back("move");
    }
    void SetText(const std::string& text) override { events.push_back("text " + text); }
    void UseOwnFont(bool underline) override {
        events.push_back(underline ? "underlined font" : "plain font");
    }
    Size TextExtent(const std::string& text, bool underline) override {
        measured = text;
        measuredUnderlined = underline;
        return extent;
    }
    void Repaint(bool now) override { events.push_back(now ? "repaint now" : "invalidate"); }
    bool HasCapture() const override { return capture; }
    void SetCapture() override {
        capture = true;
        events.push_back("capture");
    }
    void ReleaseCapture() override {
        capture = false;
        events.push_back("release");
    }
    bool LoadPointingCursor() override {
        events.push_back("load cursor");
        return cursorAvailable;
    }
    void ShowPointingCursor() override { events.push_back("hand"); }
    void PlayExclamation() override { events.push_back("beep"); }

    Lines Take() {
        Lines taken = std::move(events);
        events.clear();
        return taken;
    }

    Rect rect{10, 20, 110, 40};  // 100 x 20
    Size extent{60, 13};
    std::string measured;
    bool measuredUnderlined = false;
    bool capture = false;
    bool cursorAvailable = true;
    Lines events;
};

const ControlTemplate kLinkTemplate{1012, ControlKind::Label, "www.example.org", 0, 0, 44,
                                    8,    cs::kWebLink};

ControlState MakeControl(const std::string& text) {
    return ControlState{&kLinkTemplate, 1012,   ControlKind::Label, text, true, true, 0,
                        nullptr,        nullptr};
}

class WebLink : public ::testing::Test {
protected:
    // Bound to a control showing `text`, with its window there from the start.
    void AttachWith(const std::string& text) {
        control = MakeControl(text);
        label.SetHost(&host);
        label.Attach(control);
    }

    FakeShell shell;
    test::RecordingMessageBoxes messages;
    FakeLinkHost host;
    ControlState control = MakeControl("www.example.org");
    WebLinkLabel label{shell, messages};
};

TEST_F(WebLink, StartsAsAnUnvisitedBlueLink) {
    EXPECT_EQ(WebLinkLabel::kLinkColour, 0x00FF0000u);
    EXPECT_EQ(WebLinkLabel::kHoverColour, 0x000000FFu);
    EXPECT_EQ(label.ColourForDrawing(), 0x00FF0000u);
    EXPECT_FALSE(label.Hovering());
    EXPECT_FALSE(label.Visited());
    EXPECT_EQ(label.Target(), "");
}

TEST_F(WebLink, AttachingUnderlinesFitsAndLoadsTheCursorInThatOrder) {
    AttachWith("www.example.org");
    EXPECT_EQ(host.Take(), (Lines{"underlined font", "move", "load cursor"}));
    EXPECT_EQ(label.Target(), "www.example.org");
    EXPECT_EQ(control.text, "www.example.org");
    EXPECT_EQ(host.measured, "www.example.org");
    EXPECT_TRUE(host.measuredUnderlined);
    EXPECT_TRUE(label.HasOwnFont());
    EXPECT_TRUE(label.HasPointerCursor());
}

struct AttachCase {
    const char* name;
    const char* text;    // the control's text from the template
    const char* preset;  // target assigned before the binding
    const char* target;
    const char* shown;
    Lines events;
};

const AttachCase kAttachCases[] = {
    {"TargetFromText",
     "www.example.org",
     "",
     "www.example.org",
     "www.example.org",
     {"underlined font", "move", "load cursor"}},
    {"PresetTargetKept",
     "www.example.org",
     "http://www.example.org/",
     "http://www.example.org/",
     "www.example.org",
     {"underlined font", "move", "load cursor"}},
    {"TextFromTarget",
     "",
     "mailto:quorvex@example.org",
     "mailto:quorvex@example.org",
     "mailto:quorvex@example.org",
     {"text mailto:quorvex@example.org", "underlined font", "move", "load cursor"}},
    {"BothEmpty", "", "", "", "", {"underlined font", "move", "load cursor"}},
};

class WebLinkAttach : public WebLink, public ::testing::WithParamInterface<AttachCase> {};

TEST_P(WebLinkAttach, FillsTheEmptySideFromTheOther) {
    label.AssignTarget(GetParam().preset);  // no window yet: nothing to fit
    AttachWith(GetParam().text);
    EXPECT_EQ(label.Target(), GetParam().target);
    EXPECT_EQ(control.text, GetParam().shown);
    EXPECT_EQ(host.Take(), GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(WebLink, WebLinkAttach, ::testing::ValuesIn(kAttachCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WebLink, AboutDialogShowsTheAddressAndOpensTheMailtoTarget) {
    const DialogTemplate* about = FindDialogTemplate(res::kAboutDialog);
    ASSERT_NE(about, nullptr);
    ControlSet controls(*about);
    std::string shown = controls.Text(res::kMailLink);
    for (bool take : {false, true, false}) {  // exchanges after the first bind nothing
        DataExchange dx(controls, take);
        dx.Bind(res::kMailLink, label);
    }
    EXPECT_EQ(controls.Find(res::kMailLink)->custom, &label);
    label.SetHost(&host);
    host.Take();

    label.AssignTarget("mailto:" + shown);
    EXPECT_EQ(controls.Text(res::kMailLink), shown);
    EXPECT_EQ(host.measured, shown);
    EXPECT_EQ(host.Take(), Lines{"move"});

    label.OnClick();
    EXPECT_EQ(shell.calls, Lines{"open mailto:" + shown + " 1"});
}

TEST_F(WebLink, WindowThatComesAfterTheBindingGetsFontSizeAndCursor) {
    label.Attach(control);
    label.AssignTarget("http://www.example.org/");
    label.MarkVisited(false);
    EXPECT_FALSE(label.HasOwnFont());
    EXPECT_FALSE(label.HasPointerCursor());
    EXPECT_FALSE(label.OnSetCursor());

    label.SetHost(&host);
    EXPECT_EQ(host.Take(), (Lines{"underlined font", "move", "load cursor"}));
    EXPECT_TRUE(label.OnSetCursor());
    EXPECT_EQ(host.Take(), Lines{"hand"});

    label.OnMouseMove(1, 1);
    host.Take();
    label.SetHost(nullptr);  // the window goes while hovered: the capture goes with it
    EXPECT_EQ(host.Take(), Lines{"release"});
    EXPECT_FALSE(label.Hovering());
    label.OnMouseMove(1, 1);
    EXPECT_TRUE(host.Take().empty());
}

struct FitCase {
    const char* name;
    unsigned format;
    Rect window;
    Size text;
    Rect expected;
};

const FitCase kFitCases[] = {
    {"Left", dt::kLeft, {10, 20, 110, 40}, {60, 13}, {10, 20, 70, 33}},
    {"Centred", dt::kCenter, {10, 20, 110, 40}, {60, 13}, {30, 20, 90, 33}},
    {"CentredOddDifference", dt::kCenter, {10, 20, 110, 40}, {61, 13}, {29, 20, 91, 33}},
    {"CentredTextWiderThanTheWindow",
     dt::kCenter,
     {10, 20, 110, 40},
     {105, 13},
     {8, 20, 112, 33}},  // (100 - 105) / 2 truncates to -2, not -3
    {"Right", dt::kRight, {10, 20, 110, 40}, {60, 13}, {50, 20, 110, 33}},
    {"RightTextWiderThanTheWindow", dt::kRight, {10, 20, 110, 40}, {130, 13}, {-20, 20, 110, 33}},
    {"VerticallyCentred", dt::kVCenter, {10, 20, 110, 40}, {60, 13}, {10, 23, 70, 37}},
    {"VerticallyCentredTextTallerThanTheWindow",
     dt::kVCenter,
     {10, 20, 110, 30},
     {60, 13},
     {10, 19, 70, 31}},  // (10 - 13) / 2 truncates to -1
    {"CentredBothWays", dt::kCenter | dt::kVCenter, {0, 0, 100, 20}, {40, 10}, {30, 5, 70, 15}},
    {"CentreWinsOverRight", dt::kCenter | dt::kRight, {0, 0, 100, 20}, {40, 10}, {30, 0, 70, 10}},
};

class WebLinkFit : public WebLink, public ::testing::WithParamInterface<FitCase> {};

TEST_P(WebLinkFit, MovesTheWindowToTheTextExtent) {
    host.rect = GetParam().window;
    host.extent = GetParam().text;
    label.SetTextFormat(GetParam().format);
    AttachWith("www.example.org");
    Rect r = host.rect;
    const Rect& e = GetParam().expected;
    EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}),
              (std::vector<int>{e.left, e.top, e.right, e.bottom}));
}

INSTANTIATE_TEST_SUITE_P(WebLink, WebLinkFit, ::testing::ValuesIn(kFitCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WebLink, ColourFollowsHoverThenVisitedThenLink) {
    AttachWith("www.example.org");
    struct Step {
        const char* what;
        void (*act)(WebLinkLabel&);
        Colour expected;
    };
    const Step steps[] = {
        {"visited", [](WebLinkLabel& l) { l.MarkVisited(true); }, Rgb(0, 0, 255)},
        {"hovered and visited", [](WebLinkLabel& l) { l.OnMouseMove(5, 5); }, Rgb(255, 0, 0)},
        {"hovered", [](WebLinkLabel& l) { l.MarkVisited(false); }, Rgb(255, 0, 0)},
        {"left", [](WebLinkLabel& l) { l.OnMouseMove(-1, 5); }, Rgb(0, 0, 255)},
    };
    for (const Step& step : steps) {
        step.act(label);
        EXPECT_EQ(label.ColourForDrawing(), step.expected) << step.what;
    }
}

TEST_F(WebLink, MarkVisitedInvalidatesWithoutPaintingAtOnce) {
    AttachWith("www.example.org");
    host.Take();
    label.MarkVisited(true);
    EXPECT_TRUE(label.Visited());
    EXPECT_EQ(host.Take(), Lines{"invalidate"});
}

struct PointerCase {
    const char* name;
    int x;
    int y;
    bool leaves;
};

// The window is 100 x 20 in client coordinates 0..99 and 0..19.
const PointerCase kPointerCases[] = {
    {"InsideCorner", 99, 19, false}, {"Origin", 0, 0, false},  {"LeftOfIt", -1, 5, true},
    {"RightOfIt", 100, 5, true},     {"AboveIt", 5, -1, true}, {"BelowIt", 5, 20, true},
};

class WebLinkPointer : public WebLink, public ::testing::WithParamInterface<PointerCase> {};

TEST_P(WebLinkPointer, HoverTakesTheCaptureAndLeavingGivesItBack) {
    host.extent = {100, 20};  // fitted to exactly 100 x 20
    AttachWith("www.example.org");
    host.Take();
    label.OnMouseMove(50, 10);
    EXPECT_TRUE(label.Hovering());
    EXPECT_EQ(host.Take(), (Lines{"repaint now", "capture"}));

    label.OnMouseMove(GetParam().x, GetParam().y);
    EXPECT_EQ(label.Hovering(), !GetParam().leaves);
    EXPECT_EQ(host.Take(), GetParam().leaves ? (Lines{"release", "repaint now"}) : Lines{});
    EXPECT_EQ(host.capture, !GetParam().leaves);
}

INSTANTIATE_TEST_SUITE_P(WebLink, WebLinkPointer, ::testing::ValuesIn(kPointerCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WebLink, CaptureTakenAwayEndsTheHoverOrIsTakenBack) {
    AttachWith("www.example.org");
    label.OnMouseMove(5, 5);
    host.Take();

    // Told: a message box took the pointer.
    host.capture = false;
    label.OnCaptureLost();
    EXPECT_FALSE(label.Hovering());
    EXPECT_EQ(label.ColourForDrawing(), WebLinkLabel::kLinkColour);
    EXPECT_EQ(host.Take(), Lines{"repaint now"});
    label.OnCaptureLost();
    EXPECT_TRUE(host.Take().empty());

    // Not told: the next move inside takes the capture back, so leaving is still seen.
    label.OnMouseMove(5, 5);
    host.capture = false;
    host.Take();
    label.OnMouseMove(6, 6);
    EXPECT_EQ(host.Take(), Lines{"capture"});
    label.OnMouseMove(500, 6);
    EXPECT_EQ(host.Take(), (Lines{"release", "repaint now"}));
}

TEST_F(WebLink, DestroyedWhileHoveredReleasesTheCapture) {
    {
        WebLinkLabel other(shell, messages);
        ControlState otherControl = MakeControl("x");
        other.SetHost(&host);
        other.Attach(otherControl);
        other.OnMouseMove(1, 1);
        host.Take();
    }
    EXPECT_EQ(host.Take(), Lines{"release"});
    EXPECT_FALSE(host.capture);
}

TEST_F(WebLink, PointingCursorIsLoadedOnceAndOnlyShownWhenThere) {
    AttachWith("www.example.org");
    label.LoadPointingCursor();
    label.AttachToControl();
    host.Take();
    EXPECT_TRUE(label.OnSetCursor());
    EXPECT_EQ(host.Take(), Lines{"hand"});

    WebLinkLabel without(shell, messages);
    FakeLinkHost bare;
    bare.cursorAvailable = false;
    ControlState otherControl = MakeControl("x");
    without.SetHost(&bare);
    without.Attach(otherControl);
    EXPECT_FALSE(without.HasPointerCursor());
    bare.Take();
    EXPECT_FALSE(without.OnSetCursor());
    EXPECT_TRUE(bare.Take().empty());
}

struct ClickCase {
    const char* name;
    intptr_t openResult;
    long lookupResult;
    const char* command;
    intptr_t runResult;
    Lines calls;
    bool visited;
    const char* failure;  // the message's text after "Unable to open hyperlink:\n\n"
};

const char* const kTarget = "http://www.example.org/";

const ClickCase kClickCases[] = {
    {"ShellOpens", 42, 0, "web.exe \"%1\"", 33, {"open http://www.example.org/ 1"}, true, nullptr},
    {"NegativeResultIsReturnedAndFails",
     -1,
     0,
     "web.exe \"%1\"",
     33,
     {"open http://www.example.org/ 1"},
     false,
     "Unknown Error (-1) occurred."},
    {"NoRegisteredBrowser",
     31,
     2,
     "",
     33,
     {"open http://www.example.org/ 1", "lookup"},
     false,
     "There is no application associated\nwith the given filename extension."},
    {"QuotedPlaceholder",
     31,
     0,
     "\"C:\\Web\\web.exe\" -url \"%1\"",
     33,
     {"open http://www.example.org/ 1", "lookup",
      "run \"C:\\Web\\web.exe\" -url  http://www.example.org/ 1"},
     true,
     nullptr},
    {"BarePlaceholder",
     2,
     0,
     "C:\\Web\\web.exe %1 -x",
     33,
     {"open http://www.example.org/ 1", "lookup",
      "run C:\\Web\\web.exe  http://www.example.org/ 1"},
     true,
     nullptr},
    {"NoPlaceholder",
     32,
     0,
     "C:\\Web\\web.exe",
     33,
     {"open http://www.example.org/ 1", "lookup", "run C:\\Web\\web.exe http://www.example.org/ 1"},
     true,
     nullptr},
    {"FallbackFailsWithItsOwnCode",
     31,
     0,
     "C:\\Web\\web.exe",
     2,
     {"open http://www.example.org/ 1", "lookup", "run C:\\Web\\web.exe http://www.example.org/ 1"},
     false,
     "The specified file was not found."},
};

class WebLinkClick : public WebLink, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(WebLinkClick, OpensThroughTheShellThenTheRegisteredBrowser) {
    AttachWith("www.example.org");
    label.AssignTarget(kTarget);
    label.OnMouseMove(1, 1);
    host.Take();
    shell.openResult = GetParam().openResult;
    shell.lookupResult = GetParam().lookupResult;
    shell.browserCommand = GetParam().command;
    shell.runResult = GetParam().runResult;

    label.OnClick();
    EXPECT_EQ(shell.calls, GetParam().calls);
    EXPECT_EQ(label.Visited(), GetParam().visited);
    if (GetParam().failure == nullptr) {
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(host.Take(), Lines{"invalidate"});
    } else {
        EXPECT_EQ(host.Take(), Lines{"beep"});
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text,
                  std::string("Unable to open hyperlink:\n\n") + GetParam().failure);
    }
    // The colour of a visited link equals the link colour: blue either way, once left.
    label.OnMouseMove(-5, -5);
    EXPECT_EQ(label.ColourForDrawing(), WebLinkLabel::kLinkColour);
}

INSTANTIATE_TEST_SUITE_P(WebLink, WebLinkClick, ::testing::ValuesIn(kClickCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WebLink, FailedOpenAfterASuccessClearsVisited) {
    AttachWith("www.example.org");
    label.OnClick();
    EXPECT_TRUE(label.Visited());
    shell.openResult = 5;
    label.OnClick();
    EXPECT_FALSE(label.Visited());
    EXPECT_EQ(label.OpenTarget("x", 3), 5);
    EXPECT_EQ(shell.calls.back(), "lookup");
    EXPECT_EQ(shell.calls[shell.calls.size() - 2], "open x 3");
}

struct FailureCase {
    int code;
    const char* text;
};

const FailureCase kFailureCases[] = {
    {0, "The operating system is out\nof memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied\naccess to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {26, "A sharing violation occurred. "},
    {27, "The filename association is\nincomplete or invalid."},
    {28, "The DDE transaction could not\nbe completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30,
     "The DDE transaction could not\nbe completed because other DDE transactions\nwere being "
     "processed."},
    {31, "There is no application associated\nwith the given filename extension."},
    {32, "The specified dynamic-link library was not found."},
    {1, "Unknown Error (1) occurred."},
    {4, "Unknown Error (4) occurred."},
    {6, "Unknown Error (6) occurred."},
    {7, "Unknown Error (7) occurred."},
    {9, "Unknown Error (9) occurred."},
    {10, "Unknown Error (10) occurred."},
    {12, "Unknown Error (12) occurred."},
    {25, "Unknown Error (25) occurred."},
    {33, "Unknown Error (33) occurred."},
    {-7, "Unknown Error (-7) occurred."},
};

class WebLinkFailure : public WebLink, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(WebLinkFailure, ShowsTheTextForTheCode) {
    label.ShowOpenFailure(GetParam().code);
    EXPECT_EQ(messages.shown, (std::vector<test::RecordingMessageBoxes::Shown>{
                                  {std::string("Unable to open hyperlink:\n\n") + GetParam().text,
                                   "", kMbOk | kMbIconExclamation}}));
}

INSTANTIATE_TEST_SUITE_P(WebLink, WebLinkFailure, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) {
                             int code = info.param.code;
                             return (code < 0 ? "Minus" + std::to_string(-code)
                                              : std::to_string(code));
                         });

// Records the drawing calls of the label.
class RecordingCanvas : public Canvas {
public:
    Size Extent() const override { return {70, 13}; }
    void FillRect(const Rect&, Colour) override { calls.push_back("fill"); }
    void PaintBitmap(const uint8_t*, int, int) override { calls.push_back("bitmap"); }
    void DrawEdge(const Rect&, bool, const SystemColours&) override { calls.push_back("edge"); }
    void FrameRect(const Rect&, Colour, Colour) override { calls.push_back("frame"); }
    void DrawText(const std::string& text, const Rect& rect, unsigned format, Colour colour,
                  bool underline) override {
        calls.push_back("text " + text + " " + std::to_string(rect.right) + "x" +
                        std::to_string(rect.bottom) + " format " + std::to_string(format) +
                        " colour " + std::to_string(colour) + (underline ? " underlined" : ""));
    }
    Size TextExtent(const std::string&, bool) override { return {}; }
    Lines calls;
};

TEST_F(WebLink, DrawsUnderlinedTextInItsColourOnATransparentBackground) {
    label.SetTextFormat(dt::kCenter);
    AttachWith("www.example.org");
    RecordingCanvas canvas;
    label.Draw(canvas);
    label.OnMouseMove(1, 1);
    label.Draw(canvas);
    EXPECT_EQ(canvas.calls, (Lines{"text www.example.org 70x13 format 1 colour 16711680 underlined",
                                   "text www.example.org 70x13 format 1 colour 255 underlined"}));
}

}  // namespace
}  // namespace qv
