#pragma once

#include "framework/Dialog.h"

namespace qv {

// "Born From": a picture of the DOS edition's main menu; its button opens the viewer on
// that edition's source text, on top of this dialog.
class BornFromDialog : public Dialog {
public:
    explicit BornFromDialog(Toolkit& toolkit);

protected:
    void OnCommand(int id) override;
};

}  // namespace qv
