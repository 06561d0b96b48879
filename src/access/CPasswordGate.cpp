#include "access/CPasswordGate.h"

#include "access/NewPasswordDialog.h"
#include "access/OptionsDialog.h"
#include "access/PasswordDialog.h"
#include "access/PasswordHash.h"
#include "platform/Text.h"
#include "res/StringTable.h"
#include "settings/SettingsKeys.h"

namespace qv {

using namespace settings;

void CPasswordGate::WriteFirstRunDefaults() {
    if (!settings.GetBool(kMainSection, kInstalledKey, 0)) {
        bool written = settings.WriteBool(kMainSection, kInstalledKey, 1) &&
                       settings.WriteBool(kMainSection, kReqPassKey, 0) &&
                       settings.WriteBool(kMainSection, kSetKey, 0);
        if (!written) {
            ui.MessageBox(kSettingsNotStored, "Error", kMbOk | kMbIconStop);
        }
    }
}

bool CPasswordGate::SettingsComplete() {
    auto has = [this](const char* key) {
        // "\n" cannot be a stored value: it stands for a missing key.
        return settings.GetString(kMainSection, key, "\n") != "\n";
    };
    if (!settings.GetBool(kMainSection, kInstalledKey, 0) || !has(kReqPassKey) || !has(kSetKey)) {
        return false;
    }
    return !settings.GetBool(kMainSection, kSetKey, 0) ||
           !settings.GetString(kMainSection, kPasswordKey, "").empty();
}

bool CPasswordGate::SetNewPassword(bool firstRun) {
    NewPasswordDialog dialog(ui);
    dialog.showFirstRunText = firstRun && !unlocked;
    if (dialog.DoModal() == kIdOk) {
        // Without a hash nothing is stored: a password is never written in plain text. The
        // hash goes first; "Set" is written only when it does not already say so, so that a
        // failure never leaves a new password in place while saying it was not stored.
        auto stored = HashPassword(hashing, dialog.newPassword);
        bool written = stored && settings.WriteString(kMainSection, kPasswordKey, stored->c_str());
        if (written && !settings.GetBool(kMainSection, kSetKey, 0)) {
            written = settings.WriteBool(kMainSection, kSetKey, 1);
        }
        if (written) {
            unlocked = true;
            return true;
        }
        ui.MessageBox(kPasswordNotStored, "Error", kMbOk | kMbIconStop);
        return unlocked;
    }
    if (unlocked) {
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
    // A password is set, so a missing or empty stored value is a damaged settings file, not
    // an empty password: nothing matches it.
    std::string stored = settings.GetString(kMainSection, kPasswordKey, "");
    PasswordMatch match = stored.empty() ? PasswordMatch::Wrong
                                         : VerifyPassword(hashing, stored, dialog.password);
    if (match == PasswordMatch::Wrong) {
        // What was typed is often one slip away from the password: only its length is kept.
        log.WriteLogLine("User entered wrong password: " +
                         std::string(CountCharacters(dialog.password), '*'));
        return false;
    }
    if (match == PasswordMatch::RightButPlain) {
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
    if (!settings.WriteBool(kMainSection, kReqPassKey, dialog.requirePassword)) {
        ui.MessageBox(kSettingsNotStored, "Error", kMbOk | kMbIconStop);
        return;
    }
    ui.MessageBox("Changes will take effect the next time you start this program.", "", kMbOk);
}

}  // namespace qv
