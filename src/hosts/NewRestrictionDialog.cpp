#include "hosts/NewRestrictionDialog.h"

#include "res/Resource.h"

namespace qv {

NewRestrictionDialog::NewRestrictionDialog(Toolkit& toolkit)
    : Dialog(res::kNewRestrictionDialog, toolkit) {}

void NewRestrictionDialog::DoDataExchange(DataExchange& dx) {
    dx.Text(res::kIpEdit, ipAddress);
    dx.Text(res::kUrlEdit, url);
    dx.Check(res::kUseDefaultIpCheck, useDefaultIp);
    dx.Text(res::kDescriptionEdit, description);
}

bool NewRestrictionDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    useDefaultIp = 1;
    if (!infoMode) {
        ipAddress = "0.0.0.0";
    }
    Controls().Enable(res::kIpEdit, false);
    if (infoMode) {
        Controls().Enable(res::kUrlEdit, false);
        Controls().Enable(res::kUseDefaultIpCheck, false);
    }
    UpdateData(false);
    return true;
}

void NewRestrictionDialog::OnCommand(int id) {
    if (id == res::kUseDefaultIpCheck) {
        OnUseDefaultIp();
    } else {
        Dialog::OnCommand(id);
    }
}

void NewRestrictionDialog::OnUseDefaultIp() {
    // The box has already changed its own tick; the field still holds the old state.
    if (useDefaultIp == 1) {
        useDefaultIp = 0;
        ipAddress.clear();
        Controls().Enable(res::kIpEdit, true);
        Controls().SetFocus(res::kIpEdit);
    } else {
        useDefaultIp = 1;
        ipAddress = "0.0.0.0";
        Controls().Enable(res::kIpEdit, false);
        Controls().SetFocus(res::kUrlEdit);
    }
    UpdateData(false);
}

void NewRestrictionDialog::OnOK() {
    UpdateData(true);
    if (!ipAddress.empty() && !url.empty()) {
        Dialog::OnOK();
        return;
    }
    MessageBox("Both the IP Address and the URL must be entered.", "Info", kMbOk | kMbIconStop);
    Controls().SetFocus(ipAddress.empty() ? res::kIpEdit : res::kUrlEdit);
}

}  // namespace qv
