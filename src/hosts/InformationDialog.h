#pragma once

#include <string>

#include "framework/Dialog.h"

namespace qv {

// "Information": an entry's IP address, URL and description. Its Cancel button reads
// "Change Description".
class InformationDialog : public Dialog {
public:
    explicit InformationDialog(Toolkit& toolkit);

    std::string description;
    std::string ipAddress;
    std::string url;
    int keepHidden = 0;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
};

}  // namespace qv
