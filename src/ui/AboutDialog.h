#pragma once

#include <string>

#include "framework/Dialog.h"
#include "ui/WebLinkLabel.h"

namespace qv {

// "About Quorvex": version, rights notice and the developers' e-mail address as a link.
class AboutDialog : public Dialog {
public:
    AboutDialog(Toolkit& toolkit, Shell& shell);

    // Where the e-mail link (control 1028) leads: "mailto:" and the address the control
    // shows, set when the dialog opens. The link's WebLinkLabel model is bound to control
    // 1028 in the data exchange and takes this as its target.
    std::string mailTarget;
    WebLinkLabel mailLink;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
};

}  // namespace qv
