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
    view->OnInitialUpdate();
    toolkit.ShowMainWindow();
    if (!guard.FindRunningInstance()) {
        guard.RegisterThisInstance();
    }
    return true;
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
