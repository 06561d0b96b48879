#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/ShadedButton.h"
#include "ui/ShadedButtonHost.h"

namespace qv {

// A button widget without a window system: it keeps the platform's state (pushed look,
// capture, focus, pending leave notification), records what the model asked for, and
// delivers posted uncheck messages and leave notifications when the test says so.
class FakeShadedButtonHost : public ShadedButtonHost {
public:
    explicit FakeShadedButtonHost(ShadedButton& button, Size size = {60, 20})
        : button(button), size(size) {
        button.SetHost(this);
    }
    ~FakeShadedButtonHost() override { button.SetHost(nullptr); }

    Size WindowSize() const override { return size; }
    SystemColours Colours() const override { return colours; }
    bool IsPushed() const override { return pushed; }
    void SetPushed(bool p) override {
        pushed = p;
        events.push_back(p ? "push in" : "pop out");
    }
    bool HasCapture() const override { return capture; }
    void SetCapture() override {
        capture = true;
        events.push_back("capture");
    }
    void ReleaseCapture() override {
        capture = false;
        events.push_back("release capture");
    }
    void TakeFocus() override { focus = true; }
    bool RequestLeaveNotification() override {
        if (!grantLeave) {
            return false;
        }
        leavePending = true;
        events.push_back("track leave");
        return true;
    }
    bool CancelLeaveNotification() override {
        if (!leavePending) {
            return false;
        }
        leavePending = false;
        events.push_back("cancel leave");
        return true;
    }
    bool IsButtonAt(Point p) const override {
        return p.x >= 0 && p.y >= 0 && p.x < size.cx && p.y < size.cy && !coveredAt(p);
    }
    std::optional<Point> PointerPosition() const override { return pointer; }
    void Repaint() override {
        ++repaints;
        events.push_back("repaint");
    }
    void NotifyClick() override {
        ++clicks;
        events.push_back("click");
    }
    std::vector<ShadedButton*> GroupButtons() override { return group; }
    void PostUncheck(ShadedButton& target) override { posted.push_back(&target); }

    // The pointer leaves the button: the platform reports it once if it was asked to.
    void PointerLeaves() {
        if (leavePending) {
            leavePending = false;
            button.OnMouseLeave();
        }
    }
    void DeliverPosted() {
        while (!posted.empty()) {
            ShadedButton* target = posted.front();
            posted.pop_front();
            target->OnUncheck();
        }
    }

    ShadedButton& button;
    Size size;
    SystemColours colours;
    bool pushed = false;
    bool capture = false;
    bool focus = false;
    bool leavePending = false;
    bool grantLeave = true;
    std::optional<Point> pointer;
    // Another window lying over part of the button.
    std::function<bool(Point)> coveredAt = [](Point) { return false; };
    int repaints = 0;
    int clicks = 0;
    std::vector<std::string> events;
    std::vector<ShadedButton*> group;
    std::deque<ShadedButton*> posted;
};

}  // namespace qv
