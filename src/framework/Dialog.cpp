#include "framework/Dialog.h"

namespace qv {

int Dialog::DoModal() {
    return toolkit.RunModal(*this);
}

void Dialog::Open() {
    CreateControls();
    Initialise();
}

void Dialog::CreateControls() {
    const DialogTemplate* source = FindDialogTemplate(templateId);
    static const DialogTemplate empty{0, "", 0, 0, 0, "", 8, {}};
    controls = std::make_unique<ControlSet>(source ? *source : empty);
    open = true;
    result = 0;
}

void Dialog::Initialise() {
    if (OnInitDialog()) {
        controls->SetFocus(controls->FirstTabStop());
    }
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::OnOK() {
    if (UpdateData(true)) {
        EndDialog(1);
    }
}

void Dialog::OnCancel() {
    EndDialog(2);
}

void Dialog::OnCommand(int id) {
    if (id == 1) {
        OnOK();
    } else if (id == 2) {
        OnCancel();
    }
}

bool Dialog::UpdateData(bool take) {
    if (!controls) {
        return false;
    }
    DataExchange dx(*controls, take);
    DoDataExchange(dx);
    return true;
}

void Dialog::EndDialog(int code) {
    result = code;
    open = false;
}

void Dialog::Click(int id) {
    ControlState* c = controls ? controls->Find(id) : nullptr;
    if (!open || c == nullptr || !c->enabled || !c->visible) {
        return;
    }
    if (c->kind == ControlKind::CheckBox && (c->source->style & cs::kAutoCheck) != 0) {
        controls->SetChecked(id, c->checked ? 0 : 1);
    }
    if (c->kind == ControlKind::PushButton || c->kind == ControlKind::CheckBox) {
        OnCommand(id);
    }
}

void Dialog::PressEnter() {
    if (!open) {
        return;
    }
    ControlState* focused = controls->Find(controls->Focus());
    if (focused != nullptr && focused->kind == ControlKind::Edit &&
        (focused->source->style & cs::kWantReturn) != 0) {
        controls->SetText(focused->id, focused->text + "\r\n");
        return;
    }
    // A focused push button is pressed itself; otherwise the default button.
    if (focused != nullptr && focused->kind == ControlKind::PushButton) {
        Click(focused->id);
        return;
    }
    for (ControlState& c : controls->All()) {
        if (c.kind == ControlKind::PushButton && (c.source->style & cs::kDefault) != 0) {
            Click(c.id);
            return;
        }
    }
    OnCommand(1);
}

void Dialog::PressEscape() {
    if (open) {
        OnCommand(2);
    }
}

void Dialog::CloseBox() {
    PressEscape();
}

void Dialog::Type(int id, const std::string& text) {
    ControlState* c = controls ? controls->Find(id) : nullptr;
    if (open && c != nullptr && c->enabled && c->kind == ControlKind::Edit) {
        controls->SetFocus(id);
        controls->SetText(id, text);
    }
}

}  // namespace qv
