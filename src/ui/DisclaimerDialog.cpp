#include "ui/DisclaimerDialog.h"

#include "res/Resource.h"

namespace qv {

DisclaimerDialog::DisclaimerDialog(Toolkit& toolkit) : Dialog(res::kDisclaimerDialog, toolkit) {}

}  // namespace qv
