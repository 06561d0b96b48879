// A later start asks the running copy to come forward while the copy's main window is
// minimised, with or without a modal dialog open over it: the main window is restored and
// the dialog, if any, is the window in front. The request takes the real way, over the
// instance block's socket, from a second guard in a thread of its own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <thread>
#include <vector>

#include "QtProgram.h"
#include "app/CInstanceChecker.h"
#include "main/qt/ActivationListener.h"
#include "platform/InstanceBlock.h"
#include "platform/Paths.h"
#include "res/Resource.h"

namespace qv {
namespace {

using test::Click;
using test::ControlWidget;
using test::QtProgram;
using test::Sandbox;

// The top-level windows raised and activated, in order.
class WindowsBroughtForward : public QObject {
public:
    WindowsBroughtForward() { qApp->installEventFilter(this); }
    ~WindowsBroughtForward() override { qApp->removeEventFilter(this); }
    void Clear() {
        raised.clear();
        activated.clear();
    }
    std::vector<QWidget*> raised;
    std::vector<QWidget*> activated;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->isWindow()) {
            if (event->type() == QEvent::ZOrderChange) {
                raised.push_back(widget);
            } else if (event->type() == QEvent::WindowActivate) {
                activated.push_back(widget);
            }
        }
        return false;
    }
};

// What a later start of the program does: finds this copy's block and asks it to come
// forward. It waits for the answer, so it runs beside the event loop that gives it.
class LaterStart {
public:
    explicit LaterStart(InstanceBlocks& blocks)
        : thread([this, &blocks] {
              CInstanceChecker later(blocks);
              found = later.FindRunningInstance();
              later.ActivateRunningInstance();
              answer = later.ActivatedWindow();
              done = true;
          }) {}
    ~LaterStart() { Join(); }
    // Once joined, `found` and `answer` may be read.
    void Join() {
        if (thread.joinable()) {
            thread.join();
        }
    }

    std::atomic<bool> done = false;
    bool found = false;
    std::optional<uintptr_t> answer;

private:
    std::thread thread;
};

struct ForwardCase {
    const char* name;
    bool dialogOpen;  // the New Restriction dialog is open when the request comes
};

void PrintTo(const ForwardCase& c, std::ostream* out) {
    *out << c.name;
}

const ForwardCase kForwardCases[] = {
    {"MainWindowAlone", false},
    {"ModalDialogOpen", true},
};

class BringForward : public ::testing::TestWithParam<ForwardCase> {
protected:
    void TearDown() override { instanceBlockHandle.reset(); }

    // A later start asks while the main window is minimised; then `front` is the window in
    // front, with the main window restored behind it.
    void AskAndExpectInFront(QtProgram& program, QWidget* front) {
        QMainWindow* window = program.Window();
        ASSERT_TRUE(window->isMinimized());
        ASSERT_EQ(QApplication::activeModalWidget(), front == window ? nullptr : front);
        // The user works in another window meanwhile.
        QWidget elsewhere;
        elsewhere.setWindowTitle(QStringLiteral("another program"));
        elsewhere.show();
        elsewhere.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
        seen.Clear();
        LaterStart later(*blocks);
        EXPECT_TRUE(QTest::qWaitFor([&] { return later.done.load(); }));
        later.Join();
        EXPECT_TRUE(later.found);
        EXPECT_EQ(later.answer, program.toolkit.MainWindowHandle());
        EXPECT_FALSE(window->windowState() & Qt::WindowMinimized);
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(front->isVisible());
        EXPECT_FALSE(front->windowState() & Qt::WindowMinimized);
        // Raised last, above the main window, and the active window.
        ASSERT_FALSE(seen.raised.empty());
        EXPECT_EQ(seen.raised.back(), front);
        EXPECT_EQ(seen.raised.front(), window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(front));
        EXPECT_EQ(QApplication::activeWindow(), front);
        EXPECT_EQ(seen.activated, std::vector<QWidget*>{front});
    }

    std::unique_ptr<InstanceBlocks> blocks;
    WindowsBroughtForward seen;
};

TEST_P(BringForward, RestoresTheMinimisedMainWindowAndRaisesTheWindowInFront) {
    const ForwardCase& c = GetParam();
    Sandbox box("0.0.0.0 a.example\n");
    QtProgram program(box.platform);
    blocks = CreateInstanceBlocks(PathMap::ForRoot(box.root.String()));
    CInstanceChecker guard(*blocks);
    ActivationListener listener(program.toolkit);
    test::ExpectFirstRun(program.user, QStringLiteral("forward-1"));
    if (c.dialogOpen) {
        program.user.Expect(res::kNewRestrictionDialog, [&](QDialog& dialog) {
            AskAndExpectInFront(program, &dialog);
            Click(ControlWidget<QPushButton>(&dialog, res::kIdCancel));
        });
    }

    bool scriptRan = false;
    test::Watchdog watchdog;
    int code = program.Run([&] {
        scriptRan = true;
        QMainWindow* window = program.Window();
        // This copy registers as the program does once its window is shown, and listens.
        EXPECT_TRUE(guard.RegisterThisInstance(program.toolkit.MainWindowHandle()));
        listener.Listen();
        window->showMinimized();
        if (c.dialogOpen) {
            // The dialog opens over the minimised window.
            Click(ControlWidget<QWidget>(program.Form(), res::kAddButton));
        } else {
            AskAndExpectInFront(program, window);
        }
        window->close();
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(scriptRan);
    EXPECT_TRUE(program.user.Done());
    EXPECT_TRUE(program.user.errors.empty()) << ::testing::PrintToString(program.user.errors);
}

INSTANTIATE_TEST_SUITE_P(Qt, BringForward, ::testing::ValuesIn(kForwardCases),
                         [](const ::testing::TestParamInfo<ForwardCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace qv
