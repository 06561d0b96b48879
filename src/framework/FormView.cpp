#include "framework/FormView.h"

namespace qv {

const DialogTemplate& FormView::TemplateOrEmpty(int id) {
    static const DialogTemplate empty{0, "", 0, 0, 0, "", 8, {}};
    const DialogTemplate* t = FindDialogTemplate(id);
    return t ? *t : empty;
}

FormView::FormView(int templateId, Toolkit& toolkit)
    : toolkit(toolkit), controls(TemplateOrEmpty(templateId)) {}

void FormView::Click(int id) {
    ControlState* c = controls.Find(id);
    if (c == nullptr) {
        OnCommand(id);  // a menu or shortcut command
        return;
    }
    if (c->enabled && c->visible) {
        OnCommand(id);
    }
}

void FormView::DoubleClick(int id, int line) {
    ControlState* c = controls.Find(id);
    if (c == nullptr || c->list == nullptr || !c->enabled) {
        return;
    }
    c->list->Select(line);
    if ((c->source->style & cs::kNotify) != 0) {
        OnDoubleClick(id);
    }
}

}  // namespace qv
