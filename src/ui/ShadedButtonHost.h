#pragma once

#include <optional>
#include <vector>

#include "framework/Canvas.h"

namespace qv {

class ShadedButton;

// What a shaded button needs from the widget that shows it. Each toolkit implements this
// for its button widget and forwards the widget's paint and input events to the model.
// Points are in the button's client coordinates (pixels, 0,0 at its top left).
class ShadedButtonHost {
public:
    struct Point {
        int x = 0;
        int y = 0;
    };

    virtual ~ShadedButtonHost() = default;

    // The button window's outer size in pixels.
    virtual Size WindowSize() const = 0;
    // The desktop's 3D colours, read when textures are built.
    virtual SystemColours Colours() const = 0;

    // The pushed look the toolkit reports as "selected" when it asks for a drawing
    // (BM_GETSTATE / BM_SETSTATE). Setting it does not repaint by itself.
    virtual bool IsPushed() const = 0;
    virtual void SetPushed(bool pushed) = 0;

    // Mouse capture: every pointer event goes to the button until it is released.
    virtual bool HasCapture() const = 0;
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    virtual void TakeFocus() = 0;

    // Asks for one OnMouseLeave when the pointer leaves the button; true when granted.
    virtual bool RequestLeaveNotification() = 0;
    // Withdraws a pending request; true when it was withdrawn.
    virtual bool CancelLeaveNotification() = 0;

    // Whether the window under `point` is this button (not another window on top of it).
    virtual bool IsButtonAt(Point point) const = 0;
    // Where the pointer is now, when the toolkit knows.
    virtual std::optional<Point> PointerPosition() const = 0;

    // Invalidates the whole button, background included; the toolkit asks for a drawing.
    virtual void Repaint() = 0;
    // Tells the owner the button was clicked (its command).
    virtual void NotifyClick() = 0;

    // The shaded buttons of this button's dialog group in the order a group walk visits them,
    // starting after this button. The walk stops at this button or at the end of the list.
    virtual std::vector<ShadedButton*> GroupButtons() = 0;
    // Queues UncheckMessage for `button`: the toolkit calls button.OnUncheck() from its
    // message loop, after the current event.
    virtual void PostUncheck(ShadedButton& button) = 0;
};

}  // namespace qv
