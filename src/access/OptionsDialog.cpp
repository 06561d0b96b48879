#include "access/OptionsDialog.h"

#include "res/Resource.h"

namespace qv {

OptionsDialog::OptionsDialog(Toolkit& toolkit) : Dialog(res::kOptionsDialog, toolkit) {}

void OptionsDialog::DoDataExchange(DataExchange& dx) {
    dx.Check(res::kRequirePasswordCheck, requirePassword);
}

}  // namespace qv
