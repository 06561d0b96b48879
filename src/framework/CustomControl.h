#pragma once

namespace qv {

struct ControlState;

// A control drawn and driven by a model of ours (a shaded button, a web link label). A
// dialog or form binds a control id to its model in its data exchange; each toolkit makes a
// widget that forwards painting and input to the model.
class CustomControl {
public:
    virtual ~CustomControl() = default;
    // Called once, when the model is bound to its control.
    virtual void Attach(ControlState& control) = 0;
};

}  // namespace qv
