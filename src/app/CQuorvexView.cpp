#include "app/CQuorvexView.h"

#include "res/Resource.h"
#include "res/StringTable.h"
#include "settings/SettingsKeys.h"
#include "ui/BornFromDialog.h"
#include "ui/DisclaimerDialog.h"
#include "ui/SourceDialog.h"

namespace qv {

CQuorvexView::CQuorvexView(Toolkit& toolkit, Platform& platform)
    : FormView(res::kMainForm, toolkit),
      platform(platform),
      webLink(platform.DesktopShell(), toolkit),
      restrictionList(*Controls().List(res::kRestrictionList)),
      settings(platform.Profile()),
      log(platform.Files(), toolkit),
      scrambler(platform.Files(), toolkit, log.logPath, log.scrambledLogPath),
      hostsFile(platform.Files(), toolkit, Controls(), restrictionList, settings, log),
      passwords(toolkit, settings, log, platform.Passwords()),
      restrictions(toolkit, Controls(), restrictionList, settings, hostsFile, log, passwords,
                   *this),
      logView(toolkit, platform.Files(), Controls(), restrictionList, log, hostsFile, restrictions,
              passwords) {}

CQuorvexView::~CQuorvexView() {
    // Only what this run unscrambled is scrambled again: a start that ended early leaves
    // every file as it found it.
    if (logInUse) {
        log.Close();
        scrambler.EncryptLogFile();
    }
    if (settingsInUse) {
        scrambler.EncryptIniFile();
    }
}

void CQuorvexView::DoDataExchange() {
    DataExchange dx(Controls(), false);
    dx.Bind(res::kViewLogButton, viewLogButton);
    dx.Bind(res::kRemoveButton, removeButton);
    dx.Bind(res::kSaveButton, saveButton);
    dx.Bind(res::kAddButton, addButton);
    dx.Bind(res::kWebLink, webLink);
}

bool CQuorvexView::OnInitialUpdate() {
    DoDataExchange();
    UI().SetMainCaption("Quorvex - " + LoadString(kIdsAppTitle));
    {
        DisclaimerDialog disclaimer(UI());
        disclaimer.DoModal();
    }
    passwords.unlocked = false;
    restrictions.pendingChange = false;
    logView.viewingLog = false;
    log.logOpen = false;
    passwords.passwordSet = false;
    std::string why;
    if (!platform.Files().CheckPrivateFolder(why)) {
        UI().MessageBox(SettingsFolderRefused(why), "Error", kMbOk | kMbIconStop);
        return false;
    }
    FileIdentity plain;
    bool foundPlain =
        platform.Files().Identify(settings::kPlainPath, plain) == FileSystem::Lookup::Found &&
        plain.regular && plain.size != 0;
    CFileScrambler::Result ini = scrambler.DecryptIniFile();
    if (ini == CFileScrambler::Result::Failed) {
        UI().MessageBox(kSettingsUnreadable, "Error", kMbOk | kMbIconStop);
        return false;
    }
    settingsInUse = true;
    settings.SetPath(settings::kPlainPath);
    // First-run defaults only where no settings file of either form existed: one that exists
    // but lacks what every installed program's settings hold is damaged, not new.
    if (ini == CFileScrambler::Result::SourceMissing) {
        passwords.WriteFirstRunDefaults();
    } else if (!passwords.SettingsComplete()) {
        // Left as it was found: scrambled again when this start unscrambled it.
        settingsInUse = !foundPlain;
        UI().MessageBox(kSettingsUnreadable, "Error", kMbOk | kMbIconStop);
        return false;
    }
    log.BuildPaths();
    // The textures share one random sequence: the order of the buttons is part of the look.
    ShadedButton* buttons[] = {&addButton, &removeButton, &saveButton, &viewLogButton};
    for (ShadedButton* button : buttons) {
        button->AssignTextColour(Rgb(0, 0, 0));
    }
    for (ShadedButton* button : buttons) {
        button->BuildTextures(8, 8, 10, 5, Rgb(55, 255, 55));
    }
    webLink.AssignTarget(kWebSite);
    startTime = FormatStartTime(platform.LocalClock().Now());
    // The password comes before the log is opened: nothing done at this prompt is logged.
    passwords.passwordSet = settings.GetBool(settings::kMainSection, settings::kSetKey, 0);
    if (!passwords.passwordSet) {
        passwords.SetNewPassword(true);
    }
    bool refused = false;
    if (settings.GetBool(settings::kMainSection, settings::kReqPassKey, 0) &&
        !passwords.CheckPassword()) {
        UI().PostQuit(0);
        refused = true;
    }
    // A log that cannot be unscrambled stays as it is: this run does not log, and its
    // teardown does not put a shorter history in its place.
    if (scrambler.DecryptLogFile() != CFileScrambler::Result::Failed) {
        logInUse = true;
        if (log.OpenLogFile()) {
            log.WriteLogLine(StartBanner(startTime));
        }
    }
    Controls().Enable(res::kSaveButton, false);
    // Someone who just failed the password gets nothing done to the hosts file, and neither
    // does a program that is ending (a signal).
    if (!refused && !UI().QuitRequested()) {
        hostsFile.OpenFiles();
        hostsFile.LoadHostsFile();
    }
    return true;
}

std::string SettingsFolderRefused(const std::string& why) {
    return "Quorvex cannot keep its settings and log safe: " + why +
           ". It must be a folder owned by the user running Quorvex that no one else can "
           "write to. Quorvex will close without changing any file.";
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
        case res::kCmdBornFrom: {
            BornFromDialog bornFrom(UI());
            bornFrom.DoModal();
            break;
        }
        case res::kCmdInformation: {
            SourceDialog viewer(UI());
            viewer.viewerSelector = 2;
            viewer.DoModal();
            break;
        }
        case res::kCmdAppAbout:
            if (applicationCommand) {
                applicationCommand(id);
            }
            break;
        case res::kCmdAppExit:
            if (CanClose()) {
                UI().CloseMainWindow();
            }
            break;
        default:
            break;
    }
}

bool CQuorvexView::CanClose() {
    // A quit posted by a signal or after a refused password ends the program as it is.
    if (UI().QuitRequested() || !restrictions.pendingChange) {
        return true;
    }
    switch (UI().MessageBox(kSaveBeforeClosing, "Info", kMbYesNoCancel | kMbIconQuestion)) {
        case kIdYes:
            restrictions.OnSaveAndRefresh();
            // A save that did not happen (it failed, or was refused) keeps the window open.
            return !restrictions.pendingChange;
        case kIdNo:
            return true;
        default:
            return false;
    }
}

void CQuorvexView::OnDoubleClick(int id) {
    if (id == res::kRestrictionList) {
        restrictions.OnRestrictionDblClk();
    }
}

}  // namespace qv
