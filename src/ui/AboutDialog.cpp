#include "ui/AboutDialog.h"

#include "res/Resource.h"

namespace qv {

AboutDialog::AboutDialog(Toolkit& toolkit, Shell& shell)
    : Dialog(res::kAboutDialog, toolkit), mailLink(shell, toolkit) {}

void AboutDialog::DoDataExchange(DataExchange& dx) {
    dx.Bind(res::kMailLink, mailLink);
}

bool AboutDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    // The target follows the address on show, so the two cannot drift apart.
    mailTarget = "mailto:" + Controls().Text(res::kMailLink);
    mailLink.AssignTarget(mailTarget);
    return true;
}

}  // namespace qv
