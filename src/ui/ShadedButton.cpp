#include "ui/ShadedButton.h"

#include <string>

#include "framework/ControlSet.h"

namespace qv {

namespace {

inline constexpr unsigned kSpaceKey = 0x20;

// Stands in for the widget until the toolkit has made one: no size, no pointer, no
// capture, nobody to notify.
class DetachedHost : public ShadedButtonHost {
public:
    Size WindowSize() const override { return {}; }
    SystemColours Colours() const override { return {}; }
    bool IsPushed() const override { return false; }
    void SetPushed(bool) override {}
    bool HasCapture() const override { return false; }
    void SetCapture() override {}
    void ReleaseCapture() override {}
    void TakeFocus() override {}
    bool RequestLeaveNotification() override { return false; }
    bool CancelLeaveNotification() override { return false; }
    bool IsButtonAt(Point) const override { return false; }
    std::optional<Point> PointerPosition() const override { return std::nullopt; }
    void Repaint() override {}
    void NotifyClick() override {}
    std::vector<ShadedButton*> GroupButtons() override { return {}; }
    void PostUncheck(ShadedButton&) override {}
};

DetachedHost detachedHost;

Rect Offset(Rect r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

Rect Inflate(Rect r, int by) {
    return {r.left - by, r.top - by, r.right + by, r.bottom + by};
}

}  // namespace

ShadedButton::ShadedButton() = default;

void ShadedButton::SetHost(ShadedButtonHost* newHost) {
    host = newHost;
}

ShadedButtonHost& ShadedButton::Host() const {
    return host != nullptr ? *host : static_cast<ShadedButtonHost&>(detachedHost);
}

void ShadedButton::Attach(ControlState& bound) {
    control = &bound;
    // Our templates already mark these controls owner-drawn, so only the behaviour and
    // look are taken from them here.
    ApplyStyle(bound.source != nullptr ? ButtonStyleOf(*bound.source) : bs::kPushButton);
}

void ShadedButton::ApplyStyle(unsigned style) {
    pushLike = (style & bs::kPushLike) != 0;
    flat = (style & bs::kFlat) != 0;
    unsigned align = dt::kCenter;
    if ((style & bs::kAlignMask) == bs::kLeft) {
        align = dt::kLeft;
    } else if ((style & bs::kAlignMask) == bs::kRight) {
        align = dt::kRight;
    }
    textFormat = dt::kSingleLine | dt::kVCenter | align;

    const unsigned type = style & bs::kTypeMask;
    if ((type & bs::kAutoCheckBox) == bs::kAutoCheckBox) {
        kind = ButtonKind::CheckBox;
    } else if ((type & bs::kAutoRadioButton) == bs::kAutoRadioButton) {
        kind = ButtonKind::Radio;
    } else {
        kind = ButtonKind::Push;
        pushLike = true;
    }
    // A check box or radio button that does not look like a button has no edges.
    if (!pushLike) {
        drawBorder = false;
    }
}

Colour ShadedButton::AssignTextColour(Colour colour) {
    const Colour previous = TextColour();
    textColour = colour;
    return previous;
}

Colour ShadedButton::TextColour() const {
    return textColour.value_or(Host().Colours().buttonText);
}

void ShadedButton::BuildTextures(int32_t effect, int32_t granularity, int32_t highlight,
                                 int32_t colouring, Colour colour) {
    BuildShadedTextures(textures, Host().WindowSize(), borderWidth, Host().Colours(), effect,
                        granularity, highlight, colouring, colour);
}

bool ShadedButton::Draw(Canvas& canvas, const DrawItemState& state, const SystemColours& colours) {
    ShadedButtonHost& h = Host();
    // While the mouse button is held, the pushed look follows the pointer; when it is out
    // of step, correct it and let the toolkit ask again.
    if (mouseDown && h.HasCapture()) {
        if (std::optional<Point> pointer = h.PointerPosition()) {
            const bool over = h.IsButtonAt(*pointer);
            if (over != h.IsPushed()) {
                h.SetPushed(over);
                h.Repaint();
                return false;
            }
        }
    }

    Rect item = state.item;
    const std::string caption = control != nullptr ? control->text : std::string();
    const int inset = borderWidth + 2;
    Rect captionRect{item.left + inset, item.top, item.right - inset, item.bottom};

    if (state.disabled) {
        PaintFace(canvas, textures.disabledTexture, 0, 0, item, colours);
        if (drawBorder && !flat) {
            canvas.DrawEdge(item, true, colours);
        }
        // Embossed: a highlight copy under the grey caption, one pixel down and right.
        canvas.DrawText(caption, captionRect, textFormat, colours.highlight);
        canvas.DrawText(caption, Offset(captionRect, -1, -1), textFormat, colours.grayText);
        return true;
    }

    if (state.selected || checked) {
        const int at = drawBorder ? 1 : 0;
        PaintFace(canvas, textures.pressedTexture, at, at, item, colours);
        if (pushLike) {
            captionRect = Offset(captionRect, 1, 1);
        }
        if (drawBorder) {
            if (flat) {
                canvas.FrameRect(item, colours.shadow, colours.highlight);
            } else {
                canvas.DrawEdge(item, false, colours);
            }
        }
    } else {
        if (textures.normalTexture.HasImage()) {
            const bool hover = hovering && textures.hoverTexture.HasImage();
            (hover ? textures.hoverTexture : textures.normalTexture).Paint(&canvas, 0, 0);
        } else {
            canvas.FillRect(item, colours.face);
        }
        if (drawBorder && (hovering || !flat)) {
            if (state.defaultButton) {
                canvas.DrawEdge(item, false, colours);
                item = Inflate(item, -1);
                canvas.DrawEdge(item, true, colours);
            } else if (flat) {
                canvas.FrameRect(item, colours.highlight, colours.shadow);
            } else {
                canvas.DrawEdge(item, true, colours);
            }
        }
    }

    if (state.focus && borderWidth > 0) {
        DrawFocusDots(canvas, item);
    }
    canvas.DrawText(caption, captionRect, textFormat, textColour.value_or(colours.buttonText));
    return true;
}

void ShadedButton::PaintFace(Canvas& canvas, const TextureBitmap& texture, int x, int y,
                             const Rect& item, const SystemColours& colours) {
    if (!texture.Paint(&canvas, x, y)) {
        canvas.FillRect(item, colours.face);
    }
}

void ShadedButton::DrawFocusDots(Canvas& canvas, const Rect& item) {
    const Rect r = Inflate(item, -borderWidth);
    textures.focusStripH.Paint(&canvas, r.left + 1, r.top);
    textures.focusStripH.Paint(&canvas, r.left + 1, r.bottom);
    textures.focusStripV.Paint(&canvas, r.left, r.top + 1);
    textures.focusStripV.Paint(&canvas, r.right, r.top + 1);
}

void ShadedButton::PushIn(bool pushed) {
    ShadedButtonHost& h = Host();
    if (h.IsPushed() != pushed) {
        h.SetPushed(pushed);
        h.Repaint();
    }
}

void ShadedButton::ReleaseLikeButtonUp(bool clickAllowed) {
    ShadedButtonHost& h = Host();
    if (!h.HasCapture()) {
        return;
    }
    const bool wasPushed = h.IsPushed();
    PushIn(false);
    // Capture goes before the owner hears of the click: its command may open a dialog.
    h.ReleaseCapture();
    if (wasPushed && clickAllowed) {
        h.NotifyClick();
    }
}

void ShadedButton::OnLeftButtonDown(Point) {
    ShadedButtonHost& h = Host();
    if (hovering && h.CancelLeaveNotification()) {
        hovering = false;
    }
    // What the platform's button does on a press.
    h.SetCapture();
    h.TakeFocus();
    PushIn(true);
    mouseDown = true;
}

void ShadedButton::OnLeftButtonUp(Point point) {
    ShadedButtonHost& h = Host();
    if (kind != ButtonKind::Push && mouseDown && h.IsButtonAt(point)) {
        SetCheck(kind == ButtonKind::CheckBox ? !checked : 1);
    }
    mouseDown = false;
    const Size size = h.WindowSize();
    const bool inside = point.x >= 0 && point.y >= 0 && point.x < size.cx && point.y < size.cy;
    ReleaseLikeButtonUp(inside);
}

void ShadedButton::OnMouseMove(Point point) {
    ShadedButtonHost& h = Host();
    if (mouseDown && h.HasCapture()) {
        const bool over = h.IsButtonAt(point);
        if (over != h.IsPushed()) {
            h.SetPushed(over);
            h.Repaint();
        }
    } else if (!hovering) {
        if (h.RequestLeaveNotification()) {
            hovering = true;
            h.Repaint();
        }
    }
    // The platform's own pushed-state tracking while captured is the sync above.
}

void ShadedButton::OnMouseLeave() {
    hovering = false;
    Host().Repaint();
}

void ShadedButton::OnDoubleClick(Point point) {
    // A double-click is a second press.
    OnLeftButtonDown(point);
}

void ShadedButton::OnKillFocus() {
    ShadedButtonHost& h = Host();
    if (h.HasCapture()) {
        h.ReleaseCapture();
        mouseDown = false;
    }
    // What the platform's button does: pop out, and the focus frame goes.
    h.SetPushed(false);
    h.Repaint();
}

void ShadedButton::OnKeyDown(unsigned key) {
    if (key != kSpaceKey) {
        return;
    }
    if (kind == ButtonKind::CheckBox) {
        SetCheck(!checked);
    } else if (kind == ButtonKind::Radio) {
        SetCheck(1);
    }
    // What the platform's button does: the space bar pushes it in until released.
    PushIn(true);
    Host().SetCapture();
}

void ShadedButton::OnKeyUp(unsigned key) {
    if (key == kSpaceKey) {
        ReleaseLikeButtonUp(true);
    }
}

void ShadedButton::SetCheck(int state) {
    checked = state != 0 && kind != ButtonKind::Push;
    ShadedButtonHost& h = Host();
    if (kind == ButtonKind::Radio && checked) {
        for (ShadedButton* other : h.GroupButtons()) {
            if (other == this) {
                break;
            }
            if (other != nullptr) {
                h.PostUncheck(*other);
            }
        }
    }
    h.Repaint();
}

void ShadedButton::OnUncheck() {
    if (checked) {
        checked = false;
        Host().Repaint();
    }
}

}  // namespace qv
