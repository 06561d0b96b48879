#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "QtUser.h"
#include "app/CQuorvexApp.h"
#include "framework/qt/QtToolkit.h"
#include "support/AppFixture.h"
#include "support/TempRoot.h"

class QListView;
class QMainWindow;

namespace qv::test {

// A root of its own holding the hosts file `hosts`, with the real platform over it, a fixed
// clock and a recording shell (TestPlatform) and cheap password hashing.
class Sandbox {
public:
    explicit Sandbox(const std::string& hosts);

    // Where a system path ("C:\WINDOWS\system32\drivers\etc\hosts") lands in the sandbox.
    std::string Real(const std::string& systemPath);
    std::string Read(const std::string& systemPath);
    // Every file under the root, by its path relative to the root.
    std::vector<std::string> FileNames();

    TempRoot root;

private:
    std::unique_ptr<Platform> real;

public:
    TestPlatform platform;
};

// The whole program on the Qt toolkit, started in-process over a sandbox.
class QtProgram {
public:
    explicit QtProgram(Platform& platform);
    // The windows go before the view they show.
    ~QtProgram();

    // Start-up up to the shown main window, without the message loop.
    bool Start() { return app->InitInstance(); }
    // The program's whole run: start-up, the message loop with `inLoop` called once it runs,
    // and the teardown. The exit code.
    int Run(std::function<void()> inLoop);

    QMainWindow* Window() const { return toolkit.MainWindow(); }
    QWidget* Form() const;
    // The shown lines of the main form's list.
    QStringList ListRows() const;
    QListView* List() const;
    CQuorvexView* View() { return app->View(); }

    QtToolkit toolkit;
    QtUser user{toolkit};
    bool registry = false;
    InProcessInstanceGuard guard{registry};
    std::unique_ptr<CQuorvexApp> app;
};

// A first run as the user sees it: the disclaimer confirmed (no message follows: a first run
// is no error), and `password` typed twice into the set-up dialog and confirmed with Enter.
void ExpectFirstRun(QtUser& user, const QString& password);

}  // namespace qv::test
