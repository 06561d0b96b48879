#include "DesktopProgram.h"

#include <QApplication>
#include <QTimer>

#include "ActivationListener.h"

#include "app/CInstanceChecker.h"
#include "app/CQuorvexApp.h"
#include "framework/qt/QtToolkit.h"
#include "platform/InstanceBlock.h"
#include "platform/Platform.h"

namespace qv {

int RunDesktopProgram(int argc, char** argv, const std::function<void(QtToolkit&)>& prepare) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvex"));
    PathMap paths = PathMap::FromEnvironment();
    auto platform = CreatePlatform(paths);
    QtToolkit toolkit;

    // One copy per user and root: a later start brings this one forward and ends.
    auto blocks = CreateInstanceBlocks(paths);
    CInstanceChecker guard(*blocks, [&toolkit] { return toolkit.MainWindowHandle(); });
    ActivationListener listener(toolkit);
    toolkit.onMainWindowShown = [&listener] {
        // The copy registers right after its window is shown; listen once the loop runs.
        QTimer::singleShot(0, [&listener] { listener.Listen(); });
    };
    if (prepare) {
        prepare(toolkit);
    }
    CQuorvexApp app(toolkit, *platform, guard);
    return app.Run();
}

}  // namespace qv
