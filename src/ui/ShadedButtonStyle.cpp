#include "ui/ShadedButtonStyle.h"

namespace qv {

unsigned ButtonStyleOf(const ControlTemplate& control) {
    if (control.kind == ControlKind::CheckBox) {
        return (control.style & cs::kAutoCheck) != 0 ? bs::kAutoCheckBox : bs::kCheckBox;
    }
    return (control.style & cs::kDefault) != 0 ? bs::kDefPushButton : bs::kPushButton;
}

}  // namespace qv
