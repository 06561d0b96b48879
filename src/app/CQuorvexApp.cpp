#include "app/CQuorvexApp.h"

#include "res/Resource.h"
#include "res/StringTable.h"
#include "ui/AboutDialog.h"

namespace qv {

bool CQuorvexApp::InitInstance() {
    if (guard.FindRunningInstance()) {
        guard.ActivateRunningInstance();
        return false;
    }
    view = std::make_unique<CQuorvexView>(toolkit, platform);
    view->applicationCommand = [this](int id) { OnCommand(id); };
    toolkit.CreateMainWindow(*view, LoadString(kIdsAppTitle));
    // The block is taken before any file is touched, so two copies never share the settings
    // file, not even while the first one still shows its start-up dialogs.
    bool registered = guard.RegisterThisInstance();
    if (!registered && guard.FindRunningInstance()) {
        guard.ActivateRunningInstance();
        EndWithoutWindow();
        return false;
    }
    if (!view->OnInitialUpdate()) {
        EndWithoutWindow();
        return false;
    }
    toolkit.ShowMainWindow();
    // A copy that could not take the block at first tries again now.
    if (!registered && !guard.FindRunningInstance()) {
        guard.RegisterThisInstance();
    }
    return true;
}

void CQuorvexApp::EndWithoutWindow() {
    toolkit.DestroyMainWindow();
    view.reset();
}

void CQuorvexApp::OnCommand(int id) {
    if (id == res::kCmdAppAbout) {
        AboutDialog about(toolkit, platform.DesktopShell());
        about.DoModal();
    }
}

int CQuorvexApp::Run() {
    if (!InitInstance()) {
        return 0;
    }
    int code = toolkit.RunMessageLoop();
    toolkit.CloseMainWindow();
    toolkit.DestroyMainWindow();
    view.reset();
    return code;
}

}  // namespace qv
