// Closing the main window through its close box with a change not yet saved: the question,
// answered through the real message box.
#include <gtest/gtest.h>

#include <QListView>
#include <QMainWindow>
#include <ostream>
#include <string>
#include <vector>

#include "QtProgram.h"
#include "app/CQuorvexView.h"
#include "framework/qt/ShadedButtonWidget.h"
#include "res/Resource.h"

namespace qv {
namespace {

using test::Click;
using test::ControlWidget;
using test::QtProgram;
using test::QtUser;
using test::Sandbox;

constexpr const char* kPassword = "close-1";
constexpr const char* kHosts = "0.0.0.0 a.example\n0.0.0.0 b.example\n";

struct CloseCase {
    const char* name;
    QMessageBox::StandardButton answer;  // after a first close that is cancelled
    const char* saved;                   // the hosts file after the run
};

void PrintTo(const CloseCase& c, std::ostream* out) {
    *out << c.name;
}

class QtCloseBox : public ::testing::TestWithParam<CloseCase> {};

TEST_P(QtCloseBox, AsksBeforeAChangeIsLost) {
    const CloseCase& c = GetParam();
    Sandbox box(kHosts);
    QtProgram program(box.platform);
    test::ExpectFirstRun(program.user, QString::fromLatin1(kPassword));
    program.user.ExpectMessage(kSaveBeforeClosing, [](QMessageBox& message) {
        EXPECT_EQ(message.windowTitle(), QStringLiteral("Info"));
        EXPECT_EQ(message.icon(), QMessageBox::Question);
        EXPECT_EQ(message.standardButtons(),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QtUser::Press(QMessageBox::Cancel)(message);
    });
    program.user.ExpectMessage(kSaveBeforeClosing, QtUser::Press(c.answer));

    bool stayedOpen = false;
    QStringList rowsAfterCancel;
    test::Watchdog watchdog;
    int code = program.Run([&] {
        QMainWindow* window = program.Window();
        ASSERT_NE(window, nullptr);
        // The password was set in this run: Remove asks for nothing.
        test::ClickLine(program.List(), 0);
        Click(ControlWidget<ShadedButtonWidget>(program.Form(), res::kRemoveButton));
        window->close();  // Cancel
        stayedOpen = window->isVisible();
        rowsAfterCancel = program.ListRows();
        if (!stayedOpen) {
            return;
        }
        window->close();  // the case's answer
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(rowsAfterCancel, QStringList{"0.0.0.0 b.example"});
    EXPECT_TRUE(program.user.Done());
    EXPECT_TRUE(program.user.errors.empty()) << ::testing::PrintToString(program.user.errors);
    EXPECT_EQ(program.user.transcript,
              (std::vector<std::string>{"dialog 145", "dialog 143",
                                        std::string("message: ") + kSaveBeforeClosing,
                                        std::string("message: ") + kSaveBeforeClosing}));
    EXPECT_EQ(box.Read(kHostsPath), c.saved);
}

INSTANTIATE_TEST_SUITE_P(
    Qt, QtCloseBox,
    ::testing::Values(CloseCase{"Yes", QMessageBox::Yes, "0.0.0.0 b.example\n"},
                      CloseCase{"No", QMessageBox::No, kHosts}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qv
