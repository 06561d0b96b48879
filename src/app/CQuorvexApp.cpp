#include "app/CQuorvexApp.h"

#include "res/StringTable.h"

namespace qv {

bool CQuorvexApp::InitInstance() {
    if (guard.FindRunningInstance()) {
        guard.ActivateRunningInstance();
        return false;
    }
    view = std::make_unique<CQuorvexView>(toolkit, platform);
    toolkit.CreateMainWindow(*view, LoadString(kIdsAppTitle));
    view->OnInitialUpdate();
    toolkit.ShowMainWindow();
    if (!guard.FindRunningInstance()) {
        guard.RegisterThisInstance();
    }
    return true;
}

int CQuorvexApp::Run() {
    if (!InitInstance()) {
        return 0;
    }
    int code = toolkit.RunMessageLoop();
    toolkit.CloseMainWindow();
    view.reset();
    return code;
}

}  // namespace qv
