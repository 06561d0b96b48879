// The Linux desktop program: Qt toolkit, POSIX platform, the application object.
#include <QApplication>

#include "app/CQuorvexApp.h"
#include "app/InstanceGuard.h"
#include "framework/qt/QtToolkit.h"
#include "platform/Platform.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvex"));
    auto platform = qv::CreatePlatform(qv::PathMap::FromEnvironment());
    qv::QtToolkit toolkit;
    bool registry = false;
    qv::InProcessInstanceGuard guard(registry);
    qv::CQuorvexApp app(toolkit, *platform, guard);
    return app.Run();
}
