#pragma once

#include <cstdint>
#include <string>

#include "framework/Canvas.h"
#include "framework/CustomControl.h"
#include "framework/MessageBoxes.h"
#include "platform/Shell.h"

namespace qv {

// What a web link label needs from the widget that shows it. Each toolkit implements this
// for its label widget and forwards the widget's paint and input events to the model.
class LinkHost {
public:
    virtual ~LinkHost() = default;

    // The window's rectangle in its parent's client coordinates.
    virtual Rect WindowRect() const = 0;
    // Moves and sizes the window, keeping its place in the z-order.
    virtual void MoveWindow(const Rect& rect) = 0;
    // Shows a text the model gave the control.
    virtual void SetText(const std::string& text) = 0;
    // Gives the window its own copy of the font its parent gave it, underlined or not, and
    // redraws it at once. The widget owns that font.
    virtual void UseOwnFont(bool underline) = 0;
    // The extent of `text` in that font (Canvas::TextExtent).
    virtual Size TextExtent(const std::string& text, bool underline) = 0;
    // Invalidates the whole label, background included; `now` repaints it before returning.
    virtual void Repaint(bool now) = 0;

    // Mouse capture: every pointer event goes to the label until it is released.
    virtual bool HasCapture() const = 0;
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;

    // Obtains a pointing-hand cursor; false when the desktop has none.
    virtual bool LoadPointingCursor() = 0;
    // Makes that cursor the current one.
    virtual void ShowPointingCursor() = 0;
    // The desktop's exclamation sound.
    virtual void PlayExclamation() = 0;
};

// A static text that acts as a hyperlink: drawn underlined in link colours, red while the
// pointer is over it, with a pointing hand; a click opens its target (a web address or a
// "mailto:" address) through the desktop shell, else through the registered browser.
//
// The toolkit's widget paints the text in ColourForDrawing() on a transparent background,
// asks OnSetCursor on every cursor request and reports clicks, pointer moves (in client
// coordinates, also outside while the label holds the capture) and the loss of the capture.
class WebLinkLabel : public CustomControl {
public:
    WebLinkLabel(Shell& shell, MessageBoxes& messages);
    ~WebLinkLabel() override;
    WebLinkLabel(const WebLinkLabel&) = delete;
    WebLinkLabel& operator=(const WebLinkLabel&) = delete;

    // The control is bound: AttachToControl.
    void Attach(ControlState& control) override;
    // Set by the toolkit when its widget exists, null when it goes. A window that comes
    // after the binding gets the font, size and cursor AttachToControl would have given it.
    void SetHost(LinkHost* host);
    // Alignment of the label's text (dt::kCenter, dt::kRight, dt::kVCenter); left and top
    // by default. The toolkit sets it from the control's style.
    void SetTextFormat(unsigned format) { textFormat = format; }

    void AttachToControl();
    // Keeps the shown text; the window is fitted to it again.
    void AssignTarget(const std::string& newTarget);
    void MarkVisited(bool newVisited);
    void FitWindowToText();
    void LoadPointingCursor();
    // Opens `target`; above 32 is success, else the error code of the attempt that failed.
    intptr_t OpenTarget(const std::string& target, int show);
    void ShowOpenFailure(int code);

    // Events from the widget.
    void OnClick();
    void OnMouseMove(int x, int y);
    void OnCaptureLost();
    // True when the label set the cursor itself.
    bool OnSetCursor();
    Colour ColourForDrawing() const;
    // The text in its colour on a transparent background, for toolkits that paint through
    // a Canvas.
    void Draw(Canvas& canvas) const;

    const std::string& Target() const { return target; }
    bool Hovering() const { return hovering; }
    bool Visited() const { return visited; }
    bool HasOwnFont() const { return labelFont; }
    bool HasPointerCursor() const { return pointerCursor; }

    static constexpr Colour kLinkColour = Rgb(0, 0, 255);
    static constexpr Colour kHoverColour = Rgb(255, 0, 0);

private:
    void Leave();
    std::string Text() const;

    Shell& shell;
    MessageBoxes& messages;
    ControlState* control = nullptr;
    LinkHost* host = nullptr;
    unsigned textFormat = dt::kLeft;

    Colour linkColour = kLinkColour;
    Colour visitedColour = kLinkColour;
    Colour hoverColour = kHoverColour;
    bool hovering = false;
    bool visited = false;
    bool underline = true;
    bool fitToText = true;
    std::string target;
    bool labelFont = false;      // the window has its own font (the widget holds it)
    bool pointerCursor = false;  // a pointing-hand cursor was obtained
};

}  // namespace qv
