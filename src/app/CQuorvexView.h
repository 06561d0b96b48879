#pragma once

#include <functional>
#include <string>

#include "access/CPasswordGate.h"
#include "framework/FormView.h"
#include "hosts/CHostsFile.h"
#include "hosts/CRestrictionCommands.h"
#include "platform/Platform.h"
#include "protect/CActivityLog.h"
#include "protect/CFileScrambler.h"
#include "protect/CLogView.h"
#include "settings/CProfileFile.h"
#include "ui/ShadedButton.h"
#include "ui/WebLinkLabel.h"

namespace qv {

// The developers' web site, the target of the form's link.
inline constexpr const char* kWebSite = "http://www.example.org/";

// The main form view: it owns the run's state and routes every command to the part of the
// program that handles it.
class CQuorvexView : public FormView, private LogViewState {
public:
    CQuorvexView(Toolkit& toolkit, Platform& platform);
    // Closes and scrambles the log, then scrambles the settings file.
    ~CQuorvexView() override;

    // The start-up sequence, run while the main window is still hidden. False when the
    // program must end at once without touching a file (settings that cannot be used).
    bool OnInitialUpdate();
    void OnCommand(int id) override;
    void OnDoubleClick(int id) override;
    // With a pending change, asks whether to save it first: Yes saves and closes only when
    // the save worked, No closes, Cancel stays. A program that is ending asks nothing.
    bool CanClose() override;

    // Commands the application object handles (About).
    std::function<void(int id)> applicationCommand;

    Platform& platform;
    ShadedButton viewLogButton;
    ShadedButton removeButton;
    ShadedButton saveButton;
    ShadedButton addButton;
    WebLinkLabel webLink;
    ListModel& restrictionList;
    std::string startTime;
    CProfileFile settings;
    CActivityLog log;  // logFile, logPath, scrambledLogPath, logOpen
    CFileScrambler scrambler;
    CHostsFile hostsFile;               // inputFile, outputFile
    CPasswordGate passwords;            // passwordSet, unlocked
    CRestrictionCommands restrictions;  // pendingChange
    CLogView logView;                   // viewingLog

private:
    // This run unscrambled the settings file or the log (or found it plain): the teardown
    // scrambles it again.
    bool settingsInUse = false;
    bool logInUse = false;

    // Binds the form's custom controls to their models.
    void DoDataExchange();

    bool ViewingLog() const override { return logView.viewingLog; }
    void SaveDecryptedLog() override { logView.SaveDecryptedLog(); }
};

inline constexpr const char* kSaveBeforeClosing = "Save changes to the host file before closing?";

// Why the program will not start with the settings folder it found.
std::string SettingsFolderRefused(const std::string& why);

}  // namespace qv
