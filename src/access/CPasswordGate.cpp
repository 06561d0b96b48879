#include "access/CPasswordGate.h"

#include "access/NewPasswordDialog.h"
#include "access/OptionsDialog.h"
#include "access/PasswordDialog.h"
#include "access/PasswordHash.h"
#include "res/StringTable.h"
#include "settings/SettingsKeys.h"

namespace qv {

using namespace settings;

void CPasswordGate::WriteFirstRunDefaults() {
    if (!settings.GetBool(kMainSection, kInstalledKey, 0)) {
        settings.WriteBool(kMainSection, kInstalledKey, 1);
        settings.WriteBool(kMainSection, kReqPassKey, 0);
        settings.WriteBool(kMainSection, kSetKey, 0);
    }
}

bool CPasswordGate::SetNewPassword(bool firstRun) {
    NewPasswordDialog dialog(ui);
    dialog.showFirstRunText = firstRun && !unlocked;
    if (dialog.DoModal() == kIdOk) {
        auto stored = HashPassword(hashing, dialog.newPassword);
        if (stored) {
            settings.WriteString(kMainSection, kPasswordKey, stored->c_str());
            settings.WriteBool(kMainSection, kSetKey, 1);
            unlocked = true;
            return true;
        }
        // Without a hash nothing is stored: a password is never written in plain text.
    } else if (unlocked) {
        return true;
    }
    ui.MessageBox(LoadString(kIdsPasswordDisabled), "Info", kMbOk | kMbIconInformation);
    return false;
}

bool CPasswordGate::CheckPassword() {
    if (unlocked) {
        return true;
    }
    if (!passwordSet) {
        return SetNewPassword(false);
    }
    PasswordDialog dialog(ui);
    if (dialog.DoModal() != kIdOk) {
        log.WriteLogLine("User canceled password form");
        return false;
    }
    // A missing key reads as the empty password; "\n" cannot be a stored value.
    std::string stored = settings.GetString(kMainSection, kPasswordKey, "\n");
    bool missing = stored == "\n";
    PasswordMatch match =
        VerifyPassword(hashing, missing ? std::string() : stored, dialog.password);
    if (match == PasswordMatch::Wrong) {
        log.WriteLogLine("User entered wrong password: \"" + dialog.password + "\"");
        return false;
    }
    if (match == PasswordMatch::RightButPlain && !missing) {
        // An older version stored it in plain text: keep only its hash from now on.
        if (auto hashed = HashPassword(hashing, dialog.password)) {
            settings.WriteString(kMainSection, kPasswordKey, hashed->c_str());
        }
    }
    unlocked = true;
    return true;
}

void CPasswordGate::OnResetPassword() {
    if (!unlocked && !CheckPassword()) {
        return;
    }
    SetNewPassword(false);
}

void CPasswordGate::OnOptions() {
    OptionsDialog dialog(ui);
    if (!unlocked && !CheckPassword()) {
        return;
    }
    dialog.requirePassword = settings.GetBool(kMainSection, kReqPassKey, 0);
    if (dialog.DoModal() != kIdOk) {
        return;
    }
    settings.WriteBool(kMainSection, kReqPassKey, dialog.requirePassword);
    ui.MessageBox("Changes will take effect the next time you start this program.", "", kMbOk);
}

}  // namespace qv
