#include "app/CQuorvexView.h"

#include "res/Resource.h"
#include "res/StringTable.h"
#include "settings/SettingsKeys.h"

namespace qv {

CQuorvexView::CQuorvexView(Toolkit& toolkit, Platform& platform)
    : FormView(res::kMainForm, toolkit),
      platform(platform),
      restrictionList(*Controls().List(res::kRestrictionList)),
      settings(platform.Profile()),
      log(platform.Files(), toolkit),
      scrambler(platform.Files(), toolkit, log.logPath, log.scrambledLogPath),
      hostsFile(platform.Files(), toolkit, Controls(), restrictionList, settings),
      passwords(toolkit, settings, log, platform.Passwords()),
      restrictions(toolkit, Controls(), restrictionList, settings, hostsFile, log, passwords,
                   *this),
      logView(toolkit, platform.Files(), Controls(), restrictionList, log, hostsFile, restrictions,
              passwords) {}

CQuorvexView::~CQuorvexView() {
    log.Close();
    scrambler.EncryptLogFile();
    scrambler.EncryptIniFile();
}

void CQuorvexView::OnInitialUpdate() {
    UI().SetMainCaption("Quorvex - " + LoadString(kIdsAppTitle));
    passwords.unlocked = false;
    restrictions.pendingChange = false;
    logView.viewingLog = false;
    log.logOpen = false;
    passwords.passwordSet = false;
    scrambler.DecryptIniFile();
    settings.SetPath(settings::kPlainPath);
    passwords.WriteFirstRunDefaults();
    log.BuildPaths();
    startTime = FormatStartTime(platform.LocalClock().Now());
    // The password comes before the log is opened: nothing done at this prompt is logged.
    passwords.passwordSet = settings.GetBool(settings::kMainSection, settings::kSetKey, 0);
    if (!passwords.passwordSet) {
        passwords.SetNewPassword(true);
    }
    if (settings.GetBool(settings::kMainSection, settings::kReqPassKey, 0) &&
        !passwords.CheckPassword()) {
        UI().PostQuit(0);
    }
    scrambler.DecryptLogFile();
    if (log.OpenLogFile()) {
        log.WriteLogLine(StartBanner(startTime));
    }
    Controls().Enable(res::kSaveButton, false);
    hostsFile.OpenFiles();
    hostsFile.LoadHostsFile();
}

void CQuorvexView::OnCommand(int id) {
    switch (id) {
        case res::kSaveButton:
            restrictions.OnSaveAndRefresh();
            break;
        case res::kAddButton:
            restrictions.OnAddRestriction();
            break;
        case res::kRemoveButton:
            restrictions.OnRemoveRestriction();
            break;
        case res::kViewLogButton:
            logView.OnViewLogFile();
            break;
        case res::kCmdResetLogFile:
            logView.OnResetLogFile();
            break;
        case res::kCmdResetPassword:
            passwords.OnResetPassword();
            break;
        case res::kCmdOptions:
            passwords.OnOptions();
            break;
        case res::kCmdAppExit:
            UI().CloseMainWindow();
            break;
        default:
            // Born From and Information arrive with the informational dialogs.
            break;
    }
}

void CQuorvexView::OnDoubleClick(int id) {
    if (id == res::kRestrictionList) {
        restrictions.OnRestrictionDblClk();
    }
}

}  // namespace qv
