#include "ui/BornFromDialog.h"

#include "res/Resource.h"
#include "ui/SourceDialog.h"

namespace qv {

BornFromDialog::BornFromDialog(Toolkit& toolkit) : Dialog(res::kBornFromDialog, toolkit) {}

void BornFromDialog::OnCommand(int id) {
    if (id != res::kViewSourceButton) {
        Dialog::OnCommand(id);
        return;
    }
    SourceDialog viewer(UI());
    viewer.viewerSelector = 1;
    viewer.DoModal();
}

}  // namespace qv
