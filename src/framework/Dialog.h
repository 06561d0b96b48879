#pragma once

#include <memory>
#include <string>

#include "framework/ControlSet.h"
#include "framework/DataExchange.h"
#include "framework/Toolkit.h"

namespace qv {

// Base of every dialog: a template, data exchange, command routing and control access.
// The framework runs the logic; a toolkit only shows the controls and reports input.
class Dialog {
public:
    Dialog(int templateId, Toolkit& toolkit) : templateId(templateId), toolkit(toolkit) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally; OK (1) or Cancel (2).
    int DoModal();
    int TemplateId() const { return templateId; }

    // Called by the toolkit when the dialog opens: controls, data, initialisation, focus.
    void Open();
    // The same in two steps, for toolkits whose widgets must exist before the dialog's
    // initialisation runs (custom controls meet their widgets when they are bound).
    void CreateControls();
    void Initialise();
    bool IsOpen() const { return open; }
    int Result() const { return result; }
    ControlSet& Controls() { return *controls; }

    // User input, as toolkits report it.
    void Click(int id);  // a button or check box (a check box with auto-check toggles)
    void PressEnter();   // the default button, or a line break in a want-return edit
    void PressEscape();  // Cancel
    void CloseBox();     // Cancel
    void Type(int id, const std::string& text);  // replaces an edit's text

    bool UpdateData(bool take);
    void EndDialog(int code);

    Toolkit& UI() { return toolkit; }
    int MessageBox(const std::string& text, const std::string& caption, unsigned style) {
        return toolkit.MessageBox(text, caption, style);
    }

protected:
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Routes a command; the default sends 1 to OnOK and 2 to OnCancel.
    virtual void OnCommand(int id);
    virtual void DoDataExchange(DataExchange&) {}

private:
    int templateId;
    Toolkit& toolkit;
    std::unique_ptr<ControlSet> controls;
    bool open = false;
    int result = 0;
};

}  // namespace qv
