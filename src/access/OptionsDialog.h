#pragma once

#include "framework/Dialog.h"

namespace qv {

// "Options": whether the password is asked for at every start.
class OptionsDialog : public Dialog {
public:
    explicit OptionsDialog(Toolkit& toolkit);

    int requirePassword = 0;

protected:
    void DoDataExchange(DataExchange& dx) override;
};

}  // namespace qv
