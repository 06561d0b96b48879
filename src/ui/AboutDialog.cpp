#include "ui/AboutDialog.h"

#include "res/Resource.h"

namespace qv {

AboutDialog::AboutDialog(Toolkit& toolkit) : Dialog(res::kAboutDialog, toolkit) {}

bool AboutDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    // The target follows the address on show, so the two cannot drift apart.
    mailTarget = "mailto:" + Controls().Text(res::kMailLink);
    return true;
}

}  // namespace qv
