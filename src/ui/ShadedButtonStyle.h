#pragma once

#include "framework/Template.h"

namespace qv {

// Button style bits, with the values Windows gives them (BS_*).
namespace bs {
inline constexpr unsigned kPushButton = 0x0;
inline constexpr unsigned kDefPushButton = 0x1;
inline constexpr unsigned kCheckBox = 0x2;
inline constexpr unsigned kAutoCheckBox = 0x3;
inline constexpr unsigned kAutoRadioButton = 0x9;
inline constexpr unsigned kTypeMask = 0xFF;
inline constexpr unsigned kLeft = 0x100;
inline constexpr unsigned kRight = 0x200;
inline constexpr unsigned kCenter = 0x300;
inline constexpr unsigned kAlignMask = 0x300;
inline constexpr unsigned kPushLike = 0x1000;
inline constexpr unsigned kFlat = 0x8000;
}  // namespace bs

// How a shaded button behaves: a push button, or a check box or radio button drawn as one.
enum class ButtonKind : int {
    Push = 0,
    CheckBox = 2,
    Radio = 4,
};

// The button style bits of a control template: push buttons (default or not), check boxes
// (auto-checking or not). Our templates have no radio, push-like, flat or alignment bits.
unsigned ButtonStyleOf(const ControlTemplate& control);

}  // namespace qv
