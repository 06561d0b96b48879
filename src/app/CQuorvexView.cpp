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
      restrictions(toolkit, Controls(), restrictionList, settings, hostsFile, log, *this, *this) {}

CQuorvexView::~CQuorvexView() {
    log.Close();
    scrambler.EncryptLogFile();
    scrambler.EncryptIniFile();
}

void CQuorvexView::OnInitialUpdate() {
    UI().SetMainCaption("Quorvex - " + LoadString(kIdsAppTitle));
    unlocked = false;
    restrictions.pendingChange = false;
    viewingLog = false;
    log.logOpen = false;
    passwordSet = false;
    scrambler.DecryptIniFile();
    settings.SetPath(settings::kPlainPath);
    log.BuildPaths();
    startTime = FormatStartTime(platform.LocalClock().Now());
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
        case res::kCmdAppExit:
            UI().CloseMainWindow();
            break;
        default:
            // Born From, View Log File, Reset Log File, Reset Password, Options and
            // Information arrive with their features.
            break;
    }
}

void CQuorvexView::OnDoubleClick(int id) {
    if (id == res::kRestrictionList) {
        restrictions.OnRestrictionDblClk();
    }
}

bool CQuorvexView::Allow() {
    // The password gate comes with access control; until then nothing is locked.
    return true;
}

}  // namespace qv
