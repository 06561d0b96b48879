#include "DesktopProgram.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <memory>

#include "ActivationListener.h"
#include "app/CInstanceChecker.h"
#include "app/CQuorvexApp.h"
#include "framework/qt/QtToolkit.h"
#include "platform/InstanceBlock.h"
#include "platform/Platform.h"

namespace qv {
namespace {

// The single-instance guard, listening for later starts from the moment this copy has taken
// the block: they may come while the start-up dialogs are still shown.
class ListeningGuard : public InstanceGuard {
public:
    ListeningGuard(CInstanceChecker& checker, ActivationListener& listener)
        : checker(checker), listener(listener) {}

    bool FindRunningInstance() override { return checker.FindRunningInstance(); }
    void ActivateRunningInstance() override { checker.ActivateRunningInstance(); }
    bool RegisterThisInstance() override {
        bool registered = checker.RegisterThisInstance();
        listener.Listen();
        return registered;
    }

private:
    CInstanceChecker& checker;
    ActivationListener& listener;
};

// SIGTERM, SIGHUP and SIGINT end the program as Exit does, teardown included: the handler
// only writes a byte that the event loop reads.
int signalPipe[2] = {-1, -1};

void OnSignal(int) {
    char byte = 1;
    ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    (void)ignored;
}

class EndOnSignals {
public:
    explicit EndOnSignals(QtToolkit& toolkit) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
            return;
        }
        notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, [&toolkit] {
            char byte;
            ssize_t ignored = ::read(signalPipe[0], &byte, 1);
            (void)ignored;
            // Every dialog's loop ends and no new one opens; the start-up skips the hosts
            // file and the teardown scrambles the settings and the log.
            toolkit.PostQuit(0);
        });
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
            ::sigaction(sig, &action, nullptr);
        }
        // The desktop session ending.
        QObject::connect(qApp, &QGuiApplication::commitDataRequest,
                         [&toolkit](QSessionManager&) { toolkit.PostQuit(0); });
    }
    ~EndOnSignals() {
        struct sigaction action {};
        action.sa_handler = SIG_DFL;
        for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
            ::sigaction(sig, &action, nullptr);
        }
        notifier.reset();
        for (int& fd : signalPipe) {
            if (fd >= 0) {
                ::close(fd);
                fd = -1;
            }
        }
    }

private:
    std::unique_ptr<QSocketNotifier> notifier;
};

}  // namespace

int RunDesktopProgram(int argc, char** argv, const std::function<void(QtToolkit&)>& prepare) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvex"));
    PathMap paths = PathMap::FromEnvironment();
    auto platform = CreatePlatform(paths);
    QtToolkit toolkit;
    EndOnSignals endOnSignals(toolkit);

    // One copy per user and root: a later start brings this one forward and ends.
    auto blocks = CreateInstanceBlocks(paths);
    CInstanceChecker checker(*blocks, [&toolkit] { return toolkit.MainWindowHandle(); });
    ActivationListener listener(toolkit);
    ListeningGuard guard(checker, listener);
    if (prepare) {
        prepare(toolkit);
    }
    CQuorvexApp app(toolkit, *platform, guard);
    return app.Run();
}

}  // namespace qv
