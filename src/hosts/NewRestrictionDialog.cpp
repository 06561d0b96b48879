#include "hosts/NewRestrictionDialog.h"

#include <optional>

#include "hosts/HostNameInput.h"
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
    if (ipAddress.empty() || url.empty()) {
        MessageBox("Both the IP Address and the URL must be entered.", "Info", kMbOk | kMbIconStop);
        Controls().SetFocus(ipAddress.empty() ? res::kIpEdit : res::kUrlEdit);
        return;
    }
    if (infoMode) {
        // The line is already in the list: only the description is taken.
        Dialog::OnOK();
        return;
    }
    std::optional<std::string> address = CheckedIpAddress(ipAddress);
    if (!address) {
        MessageBox("The IP Address is not valid.", "Info", kMbOk | kMbIconStop);
        Controls().SetFocus(res::kIpEdit);
        return;
    }
    std::optional<std::string> host = CheckedHostName(url);
    if (!host) {
        MessageBox("The URL must be a host name, like www.example.com.", "Info",
                   kMbOk | kMbIconStop);
        Controls().SetFocus(res::kUrlEdit);
        return;
    }
    ipAddress = std::move(*address);
    url = std::move(*host);
    // The base takes the fields from the controls again: they show the cleaned text first.
    UpdateData(false);
    Dialog::OnOK();
}

}  // namespace qv
