#pragma once

#include <string>

#include "framework/Dialog.h"

namespace qv {

// "Enter New Restriction": IP address, URL and a short description. In info mode the IP
// address and URL are shown read-only and only the description is taken.
class NewRestrictionDialog : public Dialog {
public:
    explicit NewRestrictionDialog(Toolkit& toolkit);

    bool infoMode = false;
    std::string ipAddress;
    std::string url;
    int useDefaultIp = 0;
    std::string description;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCommand(int id) override;
    void DoDataExchange(DataExchange& dx) override;

private:
    void OnUseDefaultIp();
};

}  // namespace qv
