// Removing lines through the real list widget: whatever was removed before, Remove deletes
// exactly the line the user clicked, and after a delete no line is selected, in the list
// model or in the widget.
#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QListView>
#include <QMainWindow>
#include <QTest>
#include <ostream>
#include <string>
#include <vector>

#include "QtProgram.h"
#include "framework/headless/HeadlessToolkit.h"
#include "framework/qt/ShadedButtonWidget.h"
#include "res/Resource.h"

namespace qv {
namespace {

using test::Click;
using test::ControlWidget;
using test::QtProgram;
using test::QtUser;
using test::Sandbox;

constexpr const char* kPassword = "remove-1";
constexpr const char* kNoSelection = "You must select a line from the list.";
constexpr const char* kHosts = "0.0.0.0 a.example\n0.0.0.0 b.example\n0.0.0.0 c.example\n";

// A click on a line of the list (its row), a Ctrl+click on it (which takes the highlight off
// a selected line), or a click on Remove.
struct Action {
    int line;
    bool control = false;
};
constexpr Action kRemove{-1};
constexpr Action Line(int row) {
    return {row};
}
constexpr Action ControlClick(int row) {
    return {row, true};
}

struct RemoveCase {
    const char* name;
    std::vector<Action> actions;
    int refusals;  // Removes answered with kNoSelection
    const char* saved;
};

void PrintTo(const RemoveCase& c, std::ostream* out) {
    *out << c.name;
}

const RemoveCase kCases[] = {
    {"FirstTwice", {Line(0), kRemove, Line(0), kRemove}, 0, "0.0.0.0 c.example\n"},
    {"FirstThreeTimes", {Line(0), kRemove, Line(0), kRemove, Line(0), kRemove}, 0, ""},
    {"MiddleTwice", {Line(1), kRemove, Line(1), kRemove}, 0, "0.0.0.0 a.example\n"},
    {"MiddleThenAbove", {Line(1), kRemove, Line(0), kRemove}, 0, "0.0.0.0 c.example\n"},
    {"LastThenFirst", {Line(2), kRemove, Line(0), kRemove}, 0, "0.0.0.0 b.example\n"},
    {"LastTwice", {Line(2), kRemove, Line(1), kRemove}, 0, "0.0.0.0 a.example\n"},
    {"FirstThenRemoveAgain",
     {Line(0), kRemove, kRemove},
     1,
     "0.0.0.0 b.example\n0.0.0.0 c.example\n"},
    {"MiddleThenRemoveTwiceMore",
     {Line(1), kRemove, kRemove, kRemove},
     2,
     "0.0.0.0 a.example\n0.0.0.0 c.example\n"},
    {"LastThenRemoveAgain",
     {Line(2), kRemove, kRemove},
     1,
     "0.0.0.0 a.example\n0.0.0.0 b.example\n"},
    {"RefusedThenFirst", {Line(0), kRemove, kRemove, Line(0), kRemove}, 1, "0.0.0.0 c.example\n"},
    {"ControlClickTakesTheSelectionAway",
     {Line(1), ControlClick(1), kRemove, Line(2), kRemove},
     1,
     "0.0.0.0 a.example\n0.0.0.0 b.example\n"},
};

// The rows the widget shows selected.
std::vector<int> SelectedRows(QListView& list) {
    std::vector<int> rows;
    for (const QModelIndex& index : list.selectionModel()->selectedIndexes()) {
        rows.push_back(index.row());
    }
    return rows;
}

// The case's clicks and Removes, then Save.
void ClickThrough(QtProgram& program, const RemoveCase& c) {
    QListView* list = program.List();
    auto* remove = ControlWidget<ShadedButtonWidget>(program.Form(), res::kRemoveButton);
    auto* save = ControlWidget<ShadedButtonWidget>(program.Form(), res::kSaveButton);
    ListModel* lines = program.View()->Controls().List(res::kRestrictionList);
    ASSERT_TRUE(list && remove && save && lines);
    for (size_t step = 0; step < c.actions.size(); ++step) {
        SCOPED_TRACE("action " + std::to_string(step));
        const Action action = c.actions[step];
        if (action.line >= 0 && action.control) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              list->visualRect(list->model()->index(action.line, 0)).center());
            // Nothing is shown selected, and nothing is.
            EXPECT_EQ(SelectedRows(*list), std::vector<int>{});
            EXPECT_EQ(lines->Selected(), ListModel::kNoSelection);
        } else if (action.line >= 0) {
            const QString clicked = program.ListRows().value(action.line);
            test::ClickLine(list, action.line);
            // The widget and the model agree on the one line under the mouse.
            EXPECT_EQ(SelectedRows(*list), std::vector<int>{action.line});
            EXPECT_EQ(lines->Selected(), action.line);
            if (lines->Selected() >= 0) {
                EXPECT_EQ(QString::fromLatin1(lines->Line(static_cast<size_t>(lines->Selected()))),
                          clicked);
            }
        } else {
            Click(remove);
            EXPECT_EQ(SelectedRows(*list), std::vector<int>{});
            EXPECT_FALSE(list->currentIndex().isValid());
            EXPECT_EQ(lines->Selected(), ListModel::kNoSelection);
        }
    }
    Click(save);
}

// The same case through the headless toolkit, where the list model alone holds the
// selection. The messages shown, with captions and styles.
std::vector<std::string> RunHeadless(Platform& platform, const RemoveCase& c) {
    using H = HeadlessToolkit;
    HeadlessToolkit ui;
    bool registry = false;
    InProcessInstanceGuard guard(registry);
    ui.Expect(res::kDisclaimerDialog, {H::Click(res::kIdOk)});
    ui.Expect(res::kNewPasswordDialog,
              {H::Type(res::kNewPasswordEdit, kPassword),
               H::Type(res::kConfirmPasswordEdit, kPassword), H::Click(res::kIdOk)});
    for (const Action action : c.actions) {
        ui.mainScript.push_back([action](FormView& view) {
            if (action.line >= 0) {
                view.Controls()
                    .List(res::kRestrictionList)
                    ->Select(action.control ? ListModel::kNoSelection : action.line);
            } else {
                view.Click(res::kRemoveButton);
                EXPECT_EQ(view.Controls().List(res::kRestrictionList)->Selected(),
                          ListModel::kNoSelection);
            }
        });
    }
    ui.mainScript.push_back([](FormView& view) { view.Click(res::kSaveButton); });
    ui.mainScript.push_back([&ui](FormView&) { ui.CloseMainWindow(); });
    CQuorvexApp app(ui, platform, guard);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_TRUE(ui.errors.empty()) << ::testing::PrintToString(ui.errors);
    std::vector<std::string> messages;
    for (const std::string& entry : ui.transcript) {
        if (entry.rfind("message: ", 0) == 0) {
            messages.push_back(entry);
        }
    }
    return messages;
}

class RemoveThroughTheList : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(RemoveThroughTheList, DeletesTheClickedLinesAndLeavesNoSelection) {
    const RemoveCase& c = GetParam();
    Sandbox box(kHosts);
    QtProgram program(box.platform);
    test::ExpectFirstRun(program.user, QString::fromLatin1(kPassword));
    std::vector<std::string> shown = {"dialog 145", "dialog 143"};
    for (int i = 0; i < c.refusals; ++i) {
        program.user.ExpectMessage(kNoSelection, [](QMessageBox& message) {
            EXPECT_EQ(message.windowTitle(), QStringLiteral("Info"));
            QtUser::Press(QMessageBox::Ok)(message);
        });
        shown.push_back(std::string("message: ") + kNoSelection);
    }

    bool scriptRan = false;
    test::Watchdog watchdog;
    int code = program.Run([&] {
        scriptRan = true;
        ClickThrough(program, c);
        program.Window()->close();
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(scriptRan);
    EXPECT_TRUE(program.user.Done());
    EXPECT_TRUE(program.user.errors.empty()) << ::testing::PrintToString(program.user.errors);
    EXPECT_EQ(program.user.transcript, shown);
    EXPECT_EQ(box.Read(kHostsPath), c.saved);

    Sandbox headlessBox(kHosts);
    std::vector<std::string> messages(
        static_cast<size_t>(c.refusals),
        DescribeMessage(kNoSelection, "Info", kMbOk | kMbIconExclamation));
    EXPECT_EQ(RunHeadless(headlessBox.platform, c), messages);
    EXPECT_EQ(headlessBox.Read(kHostsPath), c.saved);
}

INSTANTIATE_TEST_SUITE_P(Qt, RemoveThroughTheList, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<RemoveCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace qv
