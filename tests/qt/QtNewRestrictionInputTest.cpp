// The entry dialog's checked input through real widgets: what the user types reaches the core
// as UTF-8, so an international name is converted and a refusal returns to its field.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "QtUser.h"
#include "framework/qt/QtToolkit.h"
#include "hosts/NewRestrictionDialog.h"
#include "res/Resource.h"

namespace qv {
namespace {

using test::Click;
using test::ControlWidget;

TEST(QtNewRestrictionInput, RefusesAnOddNameThenConvertsAnInternationalOne) {
    QtToolkit toolkit;
    test::QtUser user(toolkit);
    user.ExpectMessage("The URL must be a host name, like www.example.com.",
                       test::QtUser::Press(QMessageBox::Ok));
    user.Expect(res::kNewRestrictionDialog, [](QDialog& dialog) {
        auto* url = ControlWidget<QLineEdit>(&dialog, res::kUrlEdit);
        auto* ok = ControlWidget<QPushButton>(&dialog, res::kIdOk);
        auto* description = ControlWidget<QPlainTextEdit>(&dialog, res::kDescriptionEdit);
        ASSERT_TRUE(url && ok && description);
        // Pasted: the test library types only ASCII keys.
        Click(url);
        url->insert(
            QString::fromUtf8("b\xc3\xbc"
                              "cher example"));
        Click(description);
        EXPECT_EQ(dialog.focusWidget(), description);
        Click(ok);
        EXPECT_TRUE(dialog.isVisible());
        // The dialog's focus child: the window itself is activated again by the system.
        EXPECT_EQ(dialog.focusWidget(), url);
        url->clear();
        url->insert(
            QString::fromUtf8("https://B\xc3\xbc"
                              "cher.example/seite"));
        Click(ok);
    });
    NewRestrictionDialog dialog(toolkit);
    test::Watchdog watchdog;
    EXPECT_EQ(dialog.DoModal(), kIdOk);
    EXPECT_EQ(dialog.url, "xn--bcher-kva.example");
    EXPECT_EQ(dialog.ipAddress, "0.0.0.0");
    EXPECT_TRUE(user.Done());
    EXPECT_TRUE(user.errors.empty()) << ::testing::PrintToString(user.errors);
}

}  // namespace
}  // namespace qv
