#include "ui/WebLinkLabel.h"

#include "framework/ControlSet.h"

namespace qv {
namespace {

// What the codes of the shell's open and of running a command line directly mean.
const char* FailureText(int code) {
    switch (code) {
        case 0:
            return "The operating system is out\nof memory or resources.";
        case 2:
            return "The specified file was not found.";
        case 3:
            return "The specified path was not found.";
        case 5:
            return "The operating system denied\naccess to the specified file.";
        case 8:
            return "There was not enough memory to complete the operation.";
        case 11:
            return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
        case 26:
            return "A sharing violation occurred. ";
        case 27:
            return "The filename association is\nincomplete or invalid.";
        case 28:
            return "The DDE transaction could not\nbe completed because the request timed out.";
        case 29:
            return "The DDE transaction failed.";
        case 30:
            return "The DDE transaction could not\nbe completed because other DDE "
                   "transactions\nwere being processed.";
        case 31:
            return "There is no application associated\nwith the given filename extension.";
        case 32:
            return "The specified dynamic-link library was not found.";
        default:
            return nullptr;
    }
}

}  // namespace

WebLinkLabel::WebLinkLabel(Shell& shell, MessageBoxes& messages)
    : shell(shell), messages(messages) {}

WebLinkLabel::~WebLinkLabel() {
    // The capture must not outlive the label.
    if (hovering && host != nullptr) {
        host->ReleaseCapture();
    }
}

void WebLinkLabel::Attach(ControlState& boundControl) {
    control = &boundControl;
    AttachToControl();
}

void WebLinkLabel::SetHost(LinkHost* newHost) {
    if (newHost == host) {
        return;
    }
    if (host != nullptr && hovering) {
        host->ReleaseCapture();
    }
    host = newHost;
    hovering = false;
    labelFont = false;
    if (host != nullptr && control != nullptr) {
        host->UseOwnFont(underline);
        labelFont = true;
        FitWindowToText();
        LoadPointingCursor();
    }
}

std::string WebLinkLabel::Text() const {
    return control != nullptr ? control->text : std::string();
}

void WebLinkLabel::AttachToControl() {
    // Clicks always reach the model through its widget: there is no notify style to add.
    if (control == nullptr) {
        return;
    }
    if (target.empty()) {
        target = control->text;
    }
    if (control->text.empty() && !target.empty()) {
        control->text = target;
        if (host != nullptr) {
            host->SetText(target);
        }
    }
    if (host != nullptr) {
        host->UseOwnFont(underline);
        labelFont = true;
    }
    FitWindowToText();
    LoadPointingCursor();
}

void WebLinkLabel::AssignTarget(const std::string& newTarget) {
    target = newTarget;
    if (host != nullptr) {
        FitWindowToText();
    }
}

void WebLinkLabel::MarkVisited(bool newVisited) {
    visited = newVisited;
    if (host != nullptr) {
        host->Repaint(false);
    }
}

void WebLinkLabel::FitWindowToText() {
    if (host == nullptr || !fitToText) {
        return;
    }
    Rect rect = host->WindowRect();
    Size extent = host->TextExtent(Text(), underline);
    // Integer division truncates toward zero: a text larger than the window moves both
    // edges outwards by the same amount.
    if ((textFormat & dt::kVCenter) != 0) {
        int inset = (rect.Height() - extent.cy) / 2;
        rect.top += inset;
        rect.bottom -= inset;
    } else {
        rect.bottom = rect.top + extent.cy;
    }
    if ((textFormat & dt::kCenter) != 0) {
        int inset = (rect.Width() - extent.cx) / 2;
        rect.left += inset;
        rect.right -= inset;
    } else if ((textFormat & dt::kRight) != 0) {
        rect.left = rect.right - extent.cx;
    } else {
        rect.right = rect.left + extent.cx;
    }
    host->MoveWindow(rect);
}

void WebLinkLabel::LoadPointingCursor() {
    if (pointerCursor || host == nullptr) {
        return;
    }
    pointerCursor = host->LoadPointingCursor();
}

intptr_t WebLinkLabel::OpenTarget(const std::string& openTarget, int show) {
    intptr_t result = shell.Open(openTarget, show);
    if (static_cast<uintptr_t>(result) > 32) {
        return result;
    }
    std::string command;
    if (shell.ReadBrowserCommand(command) != 0) {
        return result;
    }
    return shell.RunBrowser(command, openTarget, show);
}

void WebLinkLabel::ShowOpenFailure(int code) {
    std::string text = "Unable to open hyperlink:\n\n";
    if (const char* known = FailureText(code)) {
        text += known;
    } else {
        text += "Unknown Error (" + std::to_string(code) + ") occurred.";
    }
    messages.MessageBox(text, std::string(), kMbOk | kMbIconExclamation);
}

void WebLinkLabel::OnClick() {
    intptr_t result = OpenTarget(target, kShowNormal);
    visited = result > 32;
    if (visited) {
        MarkVisited(true);
        return;
    }
    if (host != nullptr) {
        host->PlayExclamation();
    }
    ShowOpenFailure(static_cast<int>(result));
}

void WebLinkLabel::OnMouseMove(int x, int y) {
    if (host == nullptr) {
        return;
    }
    if (!hovering) {
        hovering = true;
        host->Repaint(true);
        host->SetCapture();
        return;
    }
    Rect window = host->WindowRect();
    bool inside = x >= 0 && y >= 0 && x < window.Width() && y < window.Height();
    if (!inside) {
        Leave();
    } else if (!host->HasCapture()) {
        // Something took the capture without telling us: take it back, or leaving the
        // label would go unseen and it would stay red.
        host->SetCapture();
    }
}

void WebLinkLabel::OnCaptureLost() {
    // A message box or another window took the pointer: the label is no longer hovered.
    if (hovering) {
        hovering = false;
        if (host != nullptr) {
            host->Repaint(true);
        }
    }
}

void WebLinkLabel::Leave() {
    hovering = false;
    host->ReleaseCapture();
    host->Repaint(true);
}

bool WebLinkLabel::OnSetCursor() {
    if (!pointerCursor || host == nullptr) {
        return false;
    }
    host->ShowPointingCursor();
    return true;
}

Colour WebLinkLabel::ColourForDrawing() const {
    if (hovering) {
        return hoverColour;
    }
    return visited ? visitedColour : linkColour;
}

void WebLinkLabel::Draw(Canvas& canvas) const {
    Size size = canvas.Extent();
    canvas.DrawText(Text(), Rect{0, 0, size.cx, size.cy}, textFormat, ColourForDrawing(),
                    underline);
}

}  // namespace qv
