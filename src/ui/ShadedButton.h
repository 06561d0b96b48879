#pragma once

#include <cstdint>
#include <optional>

#include "framework/Canvas.h"
#include "framework/CustomControl.h"
#include "ui/ShadedButtonHost.h"
#include "ui/ShadedButtonStyle.h"
#include "ui/ShadedTextures.h"

namespace qv {

// Sent to the other buttons of a radio group when one of them becomes checked (WM_USER +
// 0x100).
inline constexpr unsigned UncheckMessage = 0x500;

// The item state flags of one drawing request.
struct DrawItemState {
    Rect item;  // the whole button, starting at 0,0
    bool selected = false;
    bool disabled = false;
    bool focus = false;
    bool defaultButton = false;
};

// A button whose face is a generated texture: tinted while the pointer is over it, pushed
// in while pressed, with raised or sunken 3D edges, dotted focus frame and embossed grey
// caption when disabled. It can also act as a check box or radio button drawn as a button.
//
// The model does the button's whole behaviour, including what the platform's own button
// would do by default (push in, capture, focus, click notification), through its host.
class ShadedButton : public CustomControl {
public:
    using Point = ShadedButtonHost::Point;

    ShadedButton();
    ShadedButton(const ShadedButton&) = delete;
    ShadedButton& operator=(const ShadedButton&) = delete;

    // Set by the toolkit when its widget exists; null when it goes away.
    void SetHost(ShadedButtonHost* host);

    // Takes kind, look and alignment from the control's template.
    void Attach(ControlState& control) override;
    // The same from Windows button style bits (bs::).
    void ApplyStyle(unsigned style);

    // Returns the previous colour. Does not repaint.
    Colour AssignTextColour(Colour colour);
    // Generates the six textures for the host's current size and colours. Call once the
    // control has its final size.
    void BuildTextures(int32_t effect, int32_t granularity, int32_t highlight, int32_t colouring,
                       Colour colour);

    // Draws the button onto `canvas`. Returns false without drawing when the pushed look
    // was out of step with the pointer: it has been corrected and a new drawing requested.
    bool Draw(Canvas& canvas, const DrawItemState& state, const SystemColours& colours);

    // Input, as the toolkit's widget receives it.
    bool OnEraseBackground() { return true; }  // the drawing covers the whole face
    void OnLeftButtonDown(Point point);
    void OnLeftButtonUp(Point point);
    void OnMouseMove(Point point);
    void OnMouseLeave();
    void OnDoubleClick(Point point);
    void OnKillFocus();
    void OnKeyDown(unsigned key);
    void OnKeyUp(unsigned key);

    // Check state (BM_SETCHECK, BM_GETCHECK) and the group's uncheck message.
    void SetCheck(int state);
    int GetCheck() const { return checked ? 1 : 0; }
    void OnUncheck();

    ButtonKind Kind() const { return kind; }
    bool PushLike() const { return pushLike; }
    bool DrawBorder() const { return drawBorder; }
    bool Flat() const { return flat; }
    bool Hovering() const { return hovering; }
    bool MouseDown() const { return mouseDown; }
    unsigned TextFormat() const { return textFormat; }
    // The caption colour: the one assigned, else the desktop's button-text colour.
    Colour TextColour() const;
    const ShadedTextures& Textures() const { return textures; }

private:
    ShadedButtonHost& Host() const;
    void PushIn(bool pushed);
    void ReleaseLikeButtonUp(bool pointerInside);
    void DrawFocusDots(Canvas& canvas, const Rect& item);
    void PaintFace(Canvas& canvas, const TextureBitmap& texture, int x, int y, const Rect& item,
                   const SystemColours& colours);

    ShadedButtonHost* host = nullptr;
    ControlState* control = nullptr;
    ShadedTextures textures;
    ButtonKind kind = ButtonKind::Push;
    bool pushLike = false;
    bool drawBorder = true;
    bool flat = false;
    bool checked = false;
    bool hovering = false;
    bool mouseDown = false;
    int16_t borderWidth = 4;
    std::optional<Colour> textColour;  // unset: the desktop's button-text colour
    unsigned textFormat = dt::kSingleLine | dt::kVCenter | dt::kCenter;
};

}  // namespace qv
