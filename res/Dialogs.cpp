// Dialog templates of the program: the main form and its nine modal dialogs.
//
// Each control row reads: id, kind, text, x, y, width, height, style, resource.
// Positions and sizes are in dialog units; the rows are in template order, which is
// also the tab order.

#include <vector>

#include "framework/Template.h"
#include "res/Resource.h"

namespace qv {

namespace {

using K = ControlKind;

constexpr int kNoId = -1;
constexpr const char* kFont = "MS Sans Serif";
constexpr int kPointSize = 8;

// Dialog frames.
constexpr unsigned kModal = ds::kCaption | ds::kSysMenu | ds::kModalFrame;
constexpr unsigned kModalSunken = kModal | ds::kClientEdge;

// Control styles used throughout.
constexpr unsigned kButton = cs::kTabStop;
constexpr unsigned kDefaultButton = cs::kDefault | cs::kTabStop;
constexpr unsigned kShadedButton = cs::kOwnerDraw | cs::kTabStop;
constexpr unsigned kCheckBox = cs::kAutoCheck | cs::kTabStop;
constexpr unsigned kLineEdit = cs::kBorder | cs::kAutoHScroll | cs::kTabStop;
constexpr unsigned kMaskedEdit = kLineEdit | cs::kPassword;
constexpr unsigned kTextEdit =
    cs::kMultiline | cs::kWantReturn | cs::kAutoHScroll | cs::kBorder | cs::kTabStop;

// The About box's icon is the application icon.
constexpr int kAppIcon = res::kMainFrame;

// Main form: a child window hosted by the main view.
DialogTemplate MainForm() {
    return {
        res::kMainForm,
        "",
        358,
        254,
        ds::kChild,
        kFont,
        kPointSize,
        {
            {res::kAddButton, K::PushButton, "&Add Restriction", 7, 29, 133, 14, kShadedButton},
            {res::kRemoveButton, K::PushButton, "&Remove Restriction", 7, 52, 133, 14,
             kShadedButton},
            {res::kSaveButton, K::PushButton, "&Save Changes And Refresh Files", 7, 75, 133, 14,
             kShadedButton},
            {res::kRestrictionList, K::ListBox, "", 150, 26, 201, 221,
             cs::kBorder | cs::kVScroll | cs::kNotify | cs::kNoIntegralHeight | cs::kTabStop},
            {res::kWebLink, K::Label, "www.example.org", 49, 234, 44, 8, cs::kWebLink},
            {res::kStatus1, K::Label, "Static", 7, 7, 137, 8},
            {res::kStatus2, K::Label, "Static", 7, 18, 137, 8},
            {res::kLandscapePicture, K::Picture, "", 7, 118, 133, 105, cs::kSunken,
             res::kLandscapeBitmap},
            {kNoId, K::Label, "Current Restrictions", 192, 7, 62, 8},
            {kNoId, K::Label, "IP                  URL", 163, 18, 58, 8},
            {res::kViewLogButton, K::PushButton, "&View Log File", 7, 98, 133, 14, kShadedButton},
        }};
}

DialogTemplate NewRestrictionDialog() {
    return {res::kNewRestrictionDialog,
            "Enter New Restriction",
            245,
            214,
            kModalSunken,
            kFont,
            kPointSize,
            {
                {res::kIpEdit, K::Edit, "", 71, 44, 103, 14, kLineEdit},
                {res::kUrlEdit, K::Edit, "", 63, 79, 120, 14, kLineEdit},
                {res::kDescriptionEdit, K::Edit, "", 7, 120, 231, 63, kTextEdit},
                {res::kIdOk, K::PushButton, "OK", 59, 193, 50, 14, kDefaultButton},
                {res::kIdCancel, K::PushButton, "Cancel", 136, 193, 50, 14, kButton},
                {kNoId, K::Label, "Enter Redirect IP Address", 81, 32, 82, 8},
                {kNoId, K::Label, "Enter Restricted URL", 89, 64, 68, 8},
                {res::kUseDefaultIpCheck, K::CheckBox, "Use default IP (0.0.0.0) (Recommended)", 51,
                 18, 143, 10, kCheckBox},
                {kNoId, K::Label, "Enter short description", 87, 109, 71, 8},
            }};
}

DialogTemplate InformationDialog() {
    return {res::kInformationDialog,
            "Information",
            268,
            182,
            kModal,
            kFont,
            kPointSize,
            {
                {res::kIdOk, K::PushButton, "OK", 147, 161, 74, 14, kDefaultButton},
                {kNoId, K::Label, "IP Address:", 7, 7, 37, 8},
                {kNoId, K::Label, "URL:", 7, 28, 18, 8},
                {res::kInfoIpLabel, K::Label, "Static", 50, 7, 211, 8},
                {res::kInfoUrlLabel, K::Label, "Static", 29, 28, 232, 8},
                {kNoId, K::Label, "Description:", 7, 49, 38, 8},
                {res::kInfoDescriptionLabel, K::Label, "Static", 7, 61, 254, 68, cs::kSunken},
                // Carries the Cancel command.
                {res::kIdCancel, K::PushButton, "Change Description", 45, 161, 74, 14, kButton},
                {res::kKeepHiddenCheck, K::CheckBox, "Keep this entry hidden in list", 7, 142, 103,
                 10, kCheckBox | cs::kDisabled},
            }};
}

DialogTemplate PasswordDialog() {
    // The two buttons carry ids of their own, routed to OK and Cancel by the dialog.
    return {
        res::kPasswordDialog,
        "Password Required",
        187,
        76,
        kModalSunken,
        kFont,
        kPointSize,
        {
            {res::kPasswordEdit, K::Edit, "", 37, 27, 112, 14, kMaskedEdit},
            {res::kPasswordOk, K::PushButton, "OK", 35, 54, 55, 15, kShadedButton | cs::kDefault},
            {res::kPasswordCancel, K::PushButton, "Cancel", 96, 54, 55, 15, kShadedButton},
            {kNoId, K::Label, "Password Required", 61, 12, 62, 8},
        }};
}

DialogTemplate NewPasswordDialog() {
    return {
        res::kNewPasswordDialog,
        "Set New Password",
        269,
        126,
        kModal,
        kFont,
        kPointSize,
        {
            {res::kNewPasswordEdit, K::Edit, "", 125, 55, 90, 14, kMaskedEdit},
            {res::kConfirmPasswordEdit, K::Edit, "", 125, 83, 90, 14, kMaskedEdit},
            {res::kIdOk, K::PushButton, "OK", 57, 105, 50, 14, kDefaultButton},
            {res::kFirstRunLabel, K::Label,
             "It appears that this is the first time this program has been ran.", 39, 7, 190, 8},
            {kNoId, K::Label, "In order to keep the program secure, you are required to set", 41,
             21, 188, 8},
            {kNoId, K::Label, "a password for access.", 98, 32, 74, 8},
            {kNoId, K::Label, "Enter new password:", 54, 61, 67, 8},
            {kNoId, K::Label, "Retype password:", 63, 89, 58, 8},
            {res::kIdCancel, K::PushButton, "Cancel", 162, 105, 50, 14, kButton},
        }};
}

DialogTemplate OptionsDialog() {
    return {res::kOptionsDialog,
            "Options",
            355,
            223,
            kModal,
            kFont,
            kPointSize,
            {
                {res::kIdOk, K::PushButton, "OK", 58, 202, 50, 14, kDefaultButton},
                {res::kIdCancel, K::PushButton, "Cancel", 247, 202, 50, 14, kButton},
                {res::kRequirePasswordCheck, K::CheckBox, "Require Password To Start Program", 7, 7,
                 129, 10, kCheckBox},
            }};
}

DialogTemplate DisclaimerDialog() {
    return {
        res::kDisclaimerDialog,
        "Quorvex",
        318,
        148,
        kModal,
        kFont,
        kPointSize,
        {
            {kNoId, K::Frame, "", 7, 7, 304, 112},
            {kNoId, K::Label, "Quorvex Bit", 140, 15, 36, 8},
            {kNoId, K::Label,
             "This program is still in its beta stage. While it is operational, it is not "
             "complete. ",
             38, 28, 242, 8},
            {kNoId, K::Rule, "", 23, 47, 271, 1},
            {kNoId, K::Label, "Disclaimer:", 141, 55, 35, 8},
            {kNoId, K::Label,
             "By using this program, you are agreeing not to hold neither the author of this "
             "program,",
             25, 75, 267, 8},
            {kNoId, K::Label,
             "nor any other person who may have helped in its development responsible for any", 31,
             86, 256, 8},
            {kNoId, K::Label,
             "damages that may or may not have been caused by the use or misuse of this program.",
             24, 97, 270, 8},
            {res::kIdOk, K::PushButton, "OK", 133, 127, 50, 14, kDefaultButton},
        }};
}

DialogTemplate AboutDialog() {
    return {res::kAboutDialog,
            "About Quorvex",
            304,
            175,
            kModal,
            kFont,
            kPointSize,
            {
                {kNoId, K::Icon, "", 11, 17, 20, 20, 0, kAppIcon},
                {kNoId, K::Label, "Quorvex Version 1.0", 40, 10, 119, 8},
                {kNoId, K::Label, "(C) 2026 the Quorvex developers", 40, 25, 119, 8},
                {kNoId, K::Label, "If you dont care, drop me a line and tell me what you think. ",
                 58, 62, 186, 8},
                {kNoId, K::Label, "Quorvex team", 127, 72, 49, 8},
                {res::kMailLink, K::Label, "quorvex@example.org", 122, 99, 60, 8, cs::kWebLink},
                {res::kIdOk, K::PushButton, "OK", 126, 154, 50, 14, kDefaultButton},
            }};
}

DialogTemplate BornFromDialog() {
    return {res::kBornFromDialog,
            "Born From",
            449,
            237,
            kModalSunken,
            kFont,
            kPointSize,
            {
                {kNoId, K::Picture, "", 7, 7, 435, 204, 0, res::kBornFromBitmap},
                {kNoId, K::Label, "Grew from Quorvex for DOS, in Turbo C++ 3.0", 7, 222, 162, 8},
                {res::kIdOk, K::PushButton, "OK", 199, 216, 50, 14, kDefaultButton},
                {res::kViewSourceButton, K::PushButton, "View 16 bit Source Code", 269, 216, 94, 14,
                 kButton},
            }};
}

DialogTemplate SourceDialog() {
    return {res::kSourceDialog,
            "16 Bit Source",
            381,
            253,
            kModal,
            kFont,
            kPointSize,
            {
                {res::kSourceList, K::ListBox, "", 7, 7, 367, 218,
                 cs::kBorder | cs::kVScroll | cs::kTabStop | cs::kNoSelect | cs::kUseTabStops |
                     cs::kNoIntegralHeight},
                {res::kIdOk, K::PushButton, "OK", 165, 232, 50, 14, kDefaultButton},
            }};
}

const std::vector<DialogTemplate>& AllDialogs() {
    static const std::vector<DialogTemplate> dialogs = {
        AboutDialog(),      MainForm(),          PasswordDialog(),    NewRestrictionDialog(),
        BornFromDialog(),   SourceDialog(),      NewPasswordDialog(), OptionsDialog(),
        DisclaimerDialog(), InformationDialog(),
    };
    return dialogs;
}

}  // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate& dialog : AllDialogs()) {
        if (dialog.id == id)
            return &dialog;
    }
    return nullptr;
}

}  // namespace qv
