#pragma once

#include <string>

#include "framework/Dialog.h"

namespace qv {

// "Set New Password": the new password twice; at least 5 characters, both the same.
class NewPasswordDialog : public Dialog {
public:
    explicit NewPasswordDialog(Toolkit& toolkit);

    bool showFirstRunText = true;
    std::string newPassword;
    std::string confirmPassword;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(DataExchange& dx) override;
};

}  // namespace qv
