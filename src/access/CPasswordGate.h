#pragma once

#include "framework/Toolkit.h"
#include "hosts/CommandHooks.h"
#include "platform/PasswordHashing.h"
#include "protect/CActivityLog.h"
#include "settings/CProfileFile.h"

namespace qv {

// The password in front of the risky commands: set on the first run, asked for at most once
// per run, optionally at every start. Stored only as a salted hash.
class CPasswordGate : public CommandGate {
public:
    CPasswordGate(Toolkit& ui, CProfileFile& settings, CActivityLog& log, PasswordHashing& hashing)
        : ui(ui), settings(settings), log(log), hashing(hashing) {}

    void WriteFirstRunDefaults();
    // The settings hold what every installed program's settings hold: a damaged or cut file
    // must not pass for a first run.
    bool SettingsComplete();
    bool SetNewPassword(bool firstRun);
    bool CheckPassword();
    void OnResetPassword();
    void OnOptions();

    // The gate of a protected command: at once when unlocked, else the password check.
    bool Allow() override { return unlocked || CheckPassword(); }

    bool passwordSet = false;  // "Set" as read at start-up
    bool unlocked = false;     // the password was given or set in this run

private:
    Toolkit& ui;
    CProfileFile& settings;
    CActivityLog& log;
    PasswordHashing& hashing;
};

}  // namespace qv
