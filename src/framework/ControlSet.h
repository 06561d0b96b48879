#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/CustomControl.h"
#include "framework/ListModel.h"
#include "framework/Template.h"

namespace qv {

// The state of one control; toolkits mirror it in their widgets and report user input back.
struct ControlState {
    const ControlTemplate* source;
    int id;
    ControlKind kind;
    std::string text;
    bool enabled;
    bool visible;
    int checked = 0;
    std::unique_ptr<ListModel> list;  // list boxes only
    CustomControl* custom = nullptr;  // the model of a custom control, once bound
};

class ControlObserver {
public:
    virtual ~ControlObserver() = default;
    virtual void ControlChanged(const ControlState& control) = 0;
    virtual void FocusChanged(int id) = 0;
};

// The controls of one dialog or form, created from its template.
class ControlSet {
public:
    explicit ControlSet(const DialogTemplate& source);

    const DialogTemplate& Template() const { return source; }
    std::vector<ControlState>& All() { return controls; }
    ControlState* Find(int id);

    std::string Text(int id);
    void SetText(int id, const std::string& text);
    bool Enabled(int id);
    void Enable(int id, bool enabled);
    bool Visible(int id);
    void Show(int id, bool visible);
    int Checked(int id);
    void SetChecked(int id, int checked);
    ListModel* List(int id);

    int Focus() const { return focus; }
    void SetFocus(int id);
    // Tells the toolkit a control changed in a way it cannot see (a model was bound).
    void Touch(int id);
    // The first enabled, visible tab stop in template order; 0 when there is none.
    int FirstTabStop();

    void SetObserver(ControlObserver* o) { observer = o; }

private:
    void Changed(const ControlState& control);

    const DialogTemplate& source;
    std::vector<ControlState> controls;
    int focus = 0;
    ControlObserver* observer = nullptr;
};

}  // namespace qv
