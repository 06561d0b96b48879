#pragma once

#include <memory>

#include "app/CQuorvexView.h"
#include "app/InstanceGuard.h"
#include "framework/Toolkit.h"
#include "platform/Platform.h"

namespace qv {

// The application object: start-up order, the message loop, and the teardown.
class CQuorvexApp {
public:
    CQuorvexApp(Toolkit& toolkit, Platform& platform, InstanceGuard& guard)
        : toolkit(toolkit), platform(platform), guard(guard) {}

    // False when the program must end at once (another copy runs).
    bool InitInstance();
    // InitInstance, the message loop, then the view's teardown; the exit code.
    int Run();
    // The application's own commands: About.
    void OnCommand(int id);

    CQuorvexView* View() { return view.get(); }

private:
    // Lets go of the hidden main window and the view; the view's teardown touches only what
    // the start-up had unscrambled.
    void EndWithoutWindow();

    Toolkit& toolkit;
    Platform& platform;
    InstanceGuard& guard;
    std::unique_ptr<CQuorvexView> view;
};

}  // namespace qv
