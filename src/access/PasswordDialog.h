#pragma once

#include <string>

#include "framework/Dialog.h"
#include "ui/ShadedButton.h"

namespace qv {

// "Password Required": asks for the password. Its buttons carry their own ids, 1018 (OK)
// and 1019 (Cancel).
class PasswordDialog : public Dialog {
public:
    explicit PasswordDialog(Toolkit& toolkit);

    ShadedButton okButton;
    ShadedButton cancelButton;
    std::string password;

protected:
    bool OnInitDialog() override;
    void OnCommand(int id) override;
    void DoDataExchange(DataExchange& dx) override;
};

}  // namespace qv
