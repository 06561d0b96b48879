#pragma once

#include "framework/Dialog.h"

namespace qv {

// The beta notice and disclaimer shown at every start. Whatever closes it, start-up goes on.
class DisclaimerDialog : public Dialog {
public:
    explicit DisclaimerDialog(Toolkit& toolkit);
};

}  // namespace qv
