// After Add, the new line is selected and scrolled into view, even at the end of a long list.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <string>

#include "QtProgram.h"
#include "framework/qt/ShadedButtonWidget.h"
#include "res/Resource.h"

namespace qv {
namespace {

using test::Click;
using test::ControlWidget;
using test::QtProgram;
using test::Sandbox;

std::string LongList() {
    std::string hosts;
    for (int i = 0; i < 2000; ++i) {
        hosts += "0.0.0.0 host" + std::to_string(i) + ".example\n";
    }
    return hosts;
}

TEST(QtAddShowsTheLine, NewLineIsSelectedAndInView) {
    Sandbox box(LongList());
    QtProgram program(box.platform);
    test::ExpectFirstRun(program.user, QStringLiteral("adding-1"));
    program.user.Expect(res::kNewRestrictionDialog, [](QDialog& dialog) {
        auto* url = ControlWidget<QLineEdit>(&dialog, res::kUrlEdit);
        ASSERT_NE(url, nullptr);
        Click(url);
        test::TypeKeys(url, QStringLiteral("new.example"));
        Click(ControlWidget<QPushButton>(&dialog, res::kIdOk));
    });
    program.user.ExpectMessage(kSaveBeforeClosing, test::QtUser::Press(QMessageBox::No));
    bool ran = false;
    test::Watchdog watchdog;
    program.Run([&] {
        ran = true;
        QListView* list = program.List();
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->verticalScrollBar()->value(), 0);
        Click(ControlWidget<ShadedButtonWidget>(program.Form(), res::kAddButton));
        const QModelIndex added = list->model()->index(2000, 0);
        ASSERT_TRUE(added.isValid());
        EXPECT_EQ(added.data().toString(), QStringLiteral("0.0.0.0 new.example"));
        EXPECT_EQ(list->currentIndex(), added);
        EXPECT_TRUE(list->selectionModel()->isSelected(added));
        EXPECT_TRUE(list->viewport()->rect().contains(list->visualRect(added)));
        EXPECT_EQ(program.View()->restrictionList.Selected(), 2000);
        program.Window()->close();  // the change is pending: answered No
    });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(program.user.Done());
    EXPECT_TRUE(program.user.errors.empty()) << ::testing::PrintToString(program.user.errors);
}

}  // namespace
}  // namespace qv
