#pragma once

#include <string>

#include "framework/Dialog.h"

namespace qv {

// "Password Required": asks for the password. Its buttons carry their own ids, 1018 (OK)
// and 1019 (Cancel).
class PasswordDialog : public Dialog {
public:
    explicit PasswordDialog(Toolkit& toolkit);

    std::string password;

protected:
    void OnCommand(int id) override;
    void DoDataExchange(DataExchange& dx) override;
};

}  // namespace qv
