#pragma once

#include "framework/ControlSet.h"
#include "framework/Template.h"
#include "framework/Toolkit.h"

namespace qv {

// A main window's client area built from a dialog template, with the commands of its
// controls, its menu and its shortcuts routed to the view.
class FormView {
public:
    FormView(int templateId, Toolkit& toolkit);
    virtual ~FormView() = default;

    ControlSet& Controls() { return controls; }
    Toolkit& UI() { return toolkit; }

    // A button click or a menu or shortcut command.
    virtual void OnCommand(int id) = 0;
    // A double-click on a list box that notifies its parent.
    virtual void OnDoubleClick(int id) = 0;
    // Asked before the main window closes at the user's request (its close box, or a command
    // that closes it); false keeps the window open.
    virtual bool CanClose() { return true; }

    // User input as toolkits report it.
    void Click(int id);
    void DoubleClick(int id, int line);

private:
    static const DialogTemplate& TemplateOrEmpty(int id);
    Toolkit& toolkit;
    ControlSet controls;
};

}  // namespace qv
