#include "access/PasswordDialog.h"

#include "res/Resource.h"

namespace qv {

PasswordDialog::PasswordDialog(Toolkit& toolkit) : Dialog(res::kPasswordDialog, toolkit) {}

void PasswordDialog::DoDataExchange(DataExchange& dx) { dx.Text(res::kPasswordEdit, password); }

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
