#pragma once

#include <string>

#include "framework/ControlSet.h"
#include "framework/CustomControl.h"

namespace qv {

// Copies fields into controls (show) or controls into fields (take), one binding at a time.
class DataExchange {
public:
    DataExchange(ControlSet& controls, bool take) : controls(controls), take(take) {}
    bool Taking() const { return take; }

    void Text(int id, std::string& field) {
        if (take) {
            field = controls.Text(id);
        } else {
            controls.SetText(id, field);
        }
    }

    void Check(int id, int& field) {
        if (take) {
            field = controls.Checked(id);
        } else {
            controls.SetChecked(id, field);
        }
    }

    // Binds a control to its model, once: the first exchange attaches it.
    void Bind(int id, CustomControl& model) {
        ControlState* c = controls.Find(id);
        if (c != nullptr && c->custom == nullptr) {
            c->custom = &model;
            model.Attach(*c);
            controls.Touch(id);  // the toolkit's widget meets its model
        }
    }

private:
    ControlSet& controls;
    bool take;
};

}  // namespace qv
