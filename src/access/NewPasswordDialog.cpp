#include "access/NewPasswordDialog.h"

#include "res/Resource.h"

namespace qv {

NewPasswordDialog::NewPasswordDialog(Toolkit& toolkit) : Dialog(res::kNewPasswordDialog, toolkit) {}

void NewPasswordDialog::DoDataExchange(DataExchange& dx) {
    dx.Text(res::kNewPasswordEdit, newPassword);
    dx.Text(res::kConfirmPasswordEdit, confirmPassword);
}

bool NewPasswordDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    if (!showFirstRunText) {
        Controls().Show(res::kFirstRunLabel, false);
    }
    return true;
}

void NewPasswordDialog::OnOK() {
    UpdateData(true);
    if (newPassword.size() < 5) {
        MessageBox("Password must be at least 5 characters long", "Info",
                   kMbOk | kMbIconExclamation);
    } else if (newPassword != confirmPassword) {
        MessageBox("Passwords do not match", "Error", kMbOk | kMbIconStop);
    } else {
        EndDialog(kIdOk);
        return;
    }
    newPassword.clear();
    confirmPassword.clear();
    UpdateData(false);
    Controls().SetFocus(res::kNewPasswordEdit);
}

}  // namespace qv
