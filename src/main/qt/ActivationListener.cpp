#include "ActivationListener.h"

#include "app/CInstanceChecker.h"
#include "framework/qt/QtToolkit.h"

namespace qv {

ActivationListener::ActivationListener(QtToolkit& toolkit) {
    CInstanceChecker::SetActivationHandler([&toolkit] { toolkit.BringToFront(); });
}

ActivationListener::~ActivationListener() {
    requests.reset();
    CInstanceChecker::SetActivationHandler(nullptr);
}

void ActivationListener::Listen() {
    int handle = CInstanceChecker::ActivationHandle();
    if (handle >= 0 && !requests) {
        requests = std::make_unique<QSocketNotifier>(handle, QSocketNotifier::Read);
        QObject::connect(requests.get(), &QSocketNotifier::activated,
                         [] { CInstanceChecker::PollActivation(); });
    }
}

}  // namespace qv
