// Message boxes: each style's icon and buttons, the caption, and the answer of each button.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <ostream>

#include "QtUser.h"
#include "framework/qt/QtToolkit.h"

namespace qv {
namespace {

using Button = QMessageBox::StandardButton;

// How the user answers: a click on a button, or a key.
struct Answer {
    Button click = QMessageBox::NoButton;
    Qt::Key key = Qt::Key_unknown;
};

// What the box shows.
struct Shown {
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    const char* title;
};

struct BoxCase {
    const char* name;
    unsigned style;
    const char* caption;
    const char* text;  // bytes, shown as Latin-1 when they are not UTF-8
    Answer answer;
    Shown shown;
    int result;
};

void PrintTo(const BoxCase& c, std::ostream* out) {
    *out << c.name;
}

Shown Showing(QMessageBox::Icon icon, QMessageBox::StandardButtons buttons, const char* title) {
    return {icon, buttons, title};
}
constexpr Answer ClickOn(Button button) {
    return {button, Qt::Key_unknown};
}
constexpr Answer KeyPress(Qt::Key key) {
    return {QMessageBox::NoButton, key};
}
const QMessageBox::StandardButtons kOk = QMessageBox::Ok;
const QMessageBox::StandardButtons kYesNo = QMessageBox::Yes | QMessageBox::No;
const QMessageBox::StandardButtons kYesNoCancel =
    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;

const BoxCase kBoxes[] = {
    {"Stop", kMbIconStop, "Error", "Passwords do not match", ClickOn(QMessageBox::Ok),
     Showing(QMessageBox::Critical, kOk, "Error"), kIdOk},
    {"QuestionYes", kMbYesNo | kMbIconQuestion, "Info", "Save now?", ClickOn(QMessageBox::Yes),
     Showing(QMessageBox::Question, kYesNo, "Info"), kIdYes},
    {"QuestionNo", kMbYesNo | kMbIconQuestion, "Info", "Save now?", ClickOn(QMessageBox::No),
     Showing(QMessageBox::Question, kYesNo, "Info"), kIdNo},
    {"Exclamation", kMbIconExclamation, "", "Select a line.", ClickOn(QMessageBox::Ok),
     Showing(QMessageBox::Warning, kOk, "Quorvex"), kIdOk},
    {"Information", kMbIconInformation, "", "Log file has been cleared.", ClickOn(QMessageBox::Ok),
     Showing(QMessageBox::Information, kOk, "Quorvex"), kIdOk},
    {"NoIcon", kMbOk, "", "caf\xe9.example already exists in the list.", ClickOn(QMessageBox::Ok),
     Showing(QMessageBox::NoIcon, kOk, "Quorvex"), kIdOk},
    // Enter presses the default button: Yes, as on Windows.
    {"YesNoEnter", kMbYesNo, "", "Continue?", KeyPress(Qt::Key_Return),
     Showing(QMessageBox::NoIcon, kYesNo, "Quorvex"), kIdYes},
    // Escape refuses a question and confirms a notice.
    {"YesNoEscape", kMbYesNo | kMbIconQuestion, "", "Continue?", KeyPress(Qt::Key_Escape),
     Showing(QMessageBox::Question, kYesNo, "Quorvex"), kIdNo},
    {"OkEscape", kMbOk, "", "Done.", KeyPress(Qt::Key_Escape),
     Showing(QMessageBox::NoIcon, kOk, "Quorvex"), kIdOk},
    {"YesNoCancelYes", kMbYesNoCancel | kMbIconQuestion, "Info", "Save first?",
     ClickOn(QMessageBox::Yes), Showing(QMessageBox::Question, kYesNoCancel, "Info"), kIdYes},
    {"YesNoCancelNo", kMbYesNoCancel | kMbIconQuestion, "Info", "Save first?",
     ClickOn(QMessageBox::No), Showing(QMessageBox::Question, kYesNoCancel, "Info"), kIdNo},
    {"YesNoCancelCancel", kMbYesNoCancel | kMbIconQuestion, "Info", "Save first?",
     ClickOn(QMessageBox::Cancel), Showing(QMessageBox::Question, kYesNoCancel, "Info"), kIdCancel},
    {"YesNoCancelEnter", kMbYesNoCancel, "", "Save first?", KeyPress(Qt::Key_Return),
     Showing(QMessageBox::NoIcon, kYesNoCancel, "Quorvex"), kIdYes},
    // Escape takes the way that changes nothing: Cancel.
    {"YesNoCancelEscape", kMbYesNoCancel | kMbIconQuestion, "", "Save first?",
     KeyPress(Qt::Key_Escape), Showing(QMessageBox::Question, kYesNoCancel, "Quorvex"), kIdCancel},
};

class MessageBoxShows : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxShows, ItsIconButtonsAndCaptionAndReturnsTheAnswer) {
    const BoxCase& c = GetParam();
    QtToolkit toolkit;
    bool shown = false;
    toolkit.onMessageBoxShown = [&](QWidget* widget, const std::string& text) {
        shown = true;
        EXPECT_EQ(text, c.text);
        auto* box = qobject_cast<QMessageBox*>(widget);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), c.shown.icon);
        EXPECT_EQ(box->standardButtons(), c.shown.buttons);
        EXPECT_EQ(box->windowTitle(), QString::fromLatin1(c.shown.title));
        EXPECT_EQ(box->text(), QString::fromLatin1(c.text));
        if (c.answer.click != QMessageBox::NoButton) {
            test::Click(box->button(c.answer.click));
        } else {
            EXPECT_TRUE(QTest::qWaitForWindowActive(box));
            QTest::keyClick(box, c.answer.key);
        }
        if (box->isVisible()) {
            ADD_FAILURE() << "the answer left the box open";
            box->done(0);
        }
    };
    test::Watchdog watchdog;
    EXPECT_EQ(toolkit.MessageBox(c.text, c.caption, c.style), c.result);
    EXPECT_TRUE(shown);
}

INSTANTIATE_TEST_SUITE_P(Qt, MessageBoxShows, ::testing::ValuesIn(kBoxes),
                         [](const ::testing::TestParamInfo<BoxCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace qv
