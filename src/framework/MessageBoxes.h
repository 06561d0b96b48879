#pragma once

#include <string>

namespace qv {

// Message box styles and answers, with the values of the Windows constants.
inline constexpr unsigned kMbOk = 0x0;
inline constexpr unsigned kMbYesNoCancel = 0x3;
inline constexpr unsigned kMbYesNo = 0x4;
inline constexpr unsigned kMbIconStop = 0x10;
inline constexpr unsigned kMbIconQuestion = 0x20;
inline constexpr unsigned kMbIconExclamation = 0x30;
inline constexpr unsigned kMbIconInformation = 0x40;
inline constexpr unsigned kMbButtonMask = 0xF;
inline constexpr unsigned kMbIconMask = 0xF0;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Shows a modal message box and returns the button pressed. An empty caption shows the
// application title, "Quorvex".
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual int MessageBox(const std::string& text, const std::string& caption = std::string(),
                           unsigned style = kMbOk) = 0;
};

}  // namespace qv
