#include "access/PasswordDialog.h"

#include "res/Resource.h"

namespace qv {

PasswordDialog::PasswordDialog(Toolkit& toolkit) : Dialog(res::kPasswordDialog, toolkit) {}

void PasswordDialog::DoDataExchange(DataExchange& dx) {
    dx.Bind(res::kPasswordOk, okButton);
    dx.Bind(res::kPasswordCancel, cancelButton);
    dx.Text(res::kPasswordEdit, password);
}

bool PasswordDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    // The same shading as the main view's buttons, drawn from the same random sequence.
    for (ShadedButton* button : {&okButton, &cancelButton}) {
        button->AssignTextColour(Rgb(0, 0, 0));
        button->BuildTextures(8, 8, 10, 5, Rgb(55, 255, 55));
    }
    return true;
}

void PasswordDialog::OnCommand(int id) {
    if (id == res::kPasswordOk) {
        OnOK();
    } else if (id == res::kPasswordCancel) {
        OnCancel();
    } else {
        Dialog::OnCommand(id);
    }
}

}  // namespace qv
