#include "framework/ControlSet.h"

namespace qv {

ControlSet::ControlSet(const DialogTemplate& source) : source(source) {
    controls.reserve(source.controls.size());
    for (const ControlTemplate& t : source.controls) {
        ControlState state{&t,
                           t.id,
                           t.kind,
                           t.text,
                           (t.style & cs::kDisabled) == 0,
                           (t.style & cs::kHidden) == 0,
                           0,
                           nullptr};
        if (t.kind == ControlKind::ListBox) {
            state.list = std::make_unique<ListModel>();
        }
        controls.push_back(std::move(state));
    }
}

ControlState* ControlSet::Find(int id) {
    if (id == -1) {
        return nullptr;
    }
    for (ControlState& c : controls) {
        if (c.id == id) {
            return &c;
        }
    }
    return nullptr;
}

void ControlSet::Changed(const ControlState& control) {
    if (observer != nullptr) {
        observer->ControlChanged(control);
    }
}

std::string ControlSet::Text(int id) {
    ControlState* c = Find(id);
    return c ? c->text : std::string();
}

void ControlSet::SetText(int id, const std::string& text) {
    if (ControlState* c = Find(id); c && c->text != text) {
        c->text = text;
        Changed(*c);
    }
}

bool ControlSet::Enabled(int id) {
    ControlState* c = Find(id);
    return c && c->enabled;
}

void ControlSet::Enable(int id, bool enabled) {
    if (ControlState* c = Find(id); c && c->enabled != enabled) {
        c->enabled = enabled;
        Changed(*c);
    }
}

bool ControlSet::Visible(int id) {
    ControlState* c = Find(id);
    return c && c->visible;
}

void ControlSet::Show(int id, bool visible) {
    if (ControlState* c = Find(id); c && c->visible != visible) {
        c->visible = visible;
        Changed(*c);
    }
}

int ControlSet::Checked(int id) {
    ControlState* c = Find(id);
    return c ? c->checked : 0;
}

void ControlSet::SetChecked(int id, int checked) {
    if (ControlState* c = Find(id); c && c->checked != checked) {
        c->checked = checked;
        Changed(*c);
    }
}

ListModel* ControlSet::List(int id) {
    ControlState* c = Find(id);
    return c ? c->list.get() : nullptr;
}

void ControlSet::Touch(int id) {
    if (ControlState* c = Find(id)) {
        Changed(*c);
    }
}

void ControlSet::SetFocus(int id) {
    focus = id;
    if (observer != nullptr) {
        observer->FocusChanged(id);
    }
}

int ControlSet::FirstTabStop() {
    for (ControlState& c : controls) {
        if ((c.source->style & cs::kTabStop) != 0 && c.enabled && c.visible && c.id != -1) {
            return c.id;
        }
    }
    return 0;
}

}  // namespace qv
