#include "hosts/InformationDialog.h"

#include "res/Resource.h"

namespace qv {

InformationDialog::InformationDialog(Toolkit& toolkit) : Dialog(res::kInformationDialog, toolkit) {}

void InformationDialog::DoDataExchange(DataExchange& dx) {
    dx.Check(res::kKeepHiddenCheck, keepHidden);
}

bool InformationDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    Controls().SetText(res::kInfoIpLabel, ipAddress);
    Controls().SetText(res::kInfoUrlLabel, url);
    Controls().SetText(res::kInfoDescriptionLabel, description);
    return true;
}

}  // namespace qv
