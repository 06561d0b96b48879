#include "DesktopProgram.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>

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
    CInstanceChecker::SetActivationHandler([&toolkit] { toolkit.BringToFront(); });
    std::unique_ptr<QSocketNotifier> requests;
    toolkit.onMainWindowShown = [&requests] {
        // The copy registers right after its window is shown; listen once the loop runs.
        QTimer::singleShot(0, [&requests] {
            int handle = CInstanceChecker::ActivationHandle();
            if (handle >= 0 && !requests) {
                requests = std::make_unique<QSocketNotifier>(handle, QSocketNotifier::Read);
                QObject::connect(requests.get(), &QSocketNotifier::activated,
                                 [] { CInstanceChecker::PollActivation(); });
            }
        });
    };
    if (prepare) {
        prepare(toolkit);
    }
    CQuorvexApp app(toolkit, *platform, guard);
    int code = app.Run();
    CInstanceChecker::SetActivationHandler(nullptr);
    return code;
}

}  // namespace qv
