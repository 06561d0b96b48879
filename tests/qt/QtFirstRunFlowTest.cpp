// A whole first run through the real widgets, and the same steps through the headless
// toolkit: both must leave the same files behind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <sstream>

#include "QtProgram.h"
#include "framework/headless/HeadlessToolkit.h"
#include "framework/qt/ShadedButtonWidget.h"
#include "res/Resource.h"
#include "settings/SettingsKeys.h"

namespace qv {
namespace {

using test::Click;
using test::ControlWidget;
using test::QtProgram;
using test::Sandbox;
using test::TypeKeys;
using H = HeadlessToolkit;
using Lines = std::vector<std::string>;

constexpr const char* kPassword = "Tr0ub4dor&3";
// The first two lines are removed, one after the other, as the first line each time.
constexpr const char* kRemoved = "0.0.0.0 ads.example\n0.0.0.0 tracker.example\n";
// One line is Latin-1, not UTF-8: it must come back as the same bytes.
constexpr const char* kKept = "127.0.0.1 localhost\n0.0.0.0 caf\xe9.example\n";
constexpr const char* kUrl = "Blocked.Example";
constexpr const char* kScrambledLog = "C:\\Windows\\System32\\Quorvexlog.cpt";

std::string Unscrambled(std::string bytes) {
    for (char& c : bytes) {
        c = static_cast<char>(c ^ 0x6B);
    }
    return bytes;
}

Lines SplitLines(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The lines of a scrambled settings file, with the value of the password hash left out once
// it is known to be a hash of the lowered strength.
Lines SettingsWithoutHash(const std::string& scrambled) {
    Lines lines = SplitLines(Unscrambled(scrambled));
    int hashes = 0;
    for (std::string& line : lines) {
        if (line.rfind("Password=", 0) == 0) {
            EXPECT_EQ(line.rfind("Password=pbkdf2-sha256$1000$", 0), 0u) << line;
            line = "Password=<hash>";
            ++hashes;
        }
    }
    EXPECT_EQ(hashes, 1);
    return lines;
}

// The messages of a headless transcript reduced to their texts, as the Qt user records them.
Lines DialogsAndMessages(const Lines& transcript) {
    Lines out;
    for (const std::string& entry : transcript) {
        if (entry.rfind("dialog ", 0) == 0) {
            out.push_back(entry);
        } else if (entry.rfind("message: ", 0) == 0) {
            std::string rest = entry.substr(0, entry.rfind(" | "));
            out.push_back(rest.substr(0, rest.rfind(" | ")));
        }
    }
    return out;
}

// The first run of the Qt test, step for step, through the headless toolkit.
Lines RunHeadless(Platform& platform) {
    HeadlessToolkit ui;
    bool registry = false;
    InProcessInstanceGuard guard(registry);
    ui.Expect(res::kDisclaimerDialog, {H::Click(res::kIdOk)});
    ui.Expect(res::kNewPasswordDialog,
              {H::Type(res::kNewPasswordEdit, kPassword),
               H::Type(res::kConfirmPasswordEdit, kPassword), H::Click(res::kIdOk)});
    ui.Expect(res::kNewRestrictionDialog,
              {H::Type(res::kUrlEdit, kUrl),
               H::Type(res::kDescriptionEdit, "first line\r\nsecond line"), H::Click(res::kIdOk)});
    auto removeFirstLine = [](FormView& view) {
        view.Controls().List(res::kRestrictionList)->Select(0);
        view.Click(res::kRemoveButton);
    };
    ui.mainScript = {
        [](FormView& view) { view.Click(res::kAddButton); },
        removeFirstLine,
        removeFirstLine,
        [](FormView& view) { view.Click(res::kSaveButton); },
        [](FormView& view) { view.Click(res::kViewLogButton); },
        [&ui](FormView&) { ui.CloseMainWindow(); },
    };
    CQuorvexApp app(ui, platform, guard);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_TRUE(ui.errors.empty()) << ::testing::PrintToString(ui.errors);
    return DialogsAndMessages(ui.transcript);
}

// The main window's part of the run: add a restriction, remove the first line twice, save,
// view the log.
void AddRemoveSaveAndViewTheLog(QtProgram& program) {
    QMainWindow* window = program.Window();
    QWidget* form = program.Form();
    ASSERT_TRUE(window && form);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quorvex - Quorvex"));
    auto* add = ControlWidget<ShadedButtonWidget>(form, res::kAddButton);
    auto* remove = ControlWidget<ShadedButtonWidget>(form, res::kRemoveButton);
    auto* save = ControlWidget<ShadedButtonWidget>(form, res::kSaveButton);
    auto* viewLog = ControlWidget<ShadedButtonWidget>(form, res::kViewLogButton);
    ASSERT_TRUE(add && remove && save && viewLog);
    const QStringList kept = {"127.0.0.1 localhost",
                              QString::fromLatin1("0.0.0.0 caf\xe9.example")};
    EXPECT_EQ(program.ListRows(),
              QStringList({"0.0.0.0 ads.example", "0.0.0.0 tracker.example"}) + kept);
    EXPECT_FALSE(save->isEnabled());

    Click(add);
    EXPECT_TRUE(save->isEnabled());
    EXPECT_EQ(program.ListRows().value(4), QStringLiteral("0.0.0.0 blocked.example"));
    // The password was set in this run: Remove asks for nothing.
    for (int i = 0; i < 2; ++i) {
        test::ClickLine(program.List(), 0);
        Click(remove);
    }
    EXPECT_EQ(program.ListRows(), kept + QStringList{"0.0.0.0 blocked.example"});
    Click(save);
    EXPECT_FALSE(save->isEnabled());
    Click(viewLog);
    EXPECT_EQ(viewLog->accessibleName(), QStringLiteral("Close Log File"));
    EXPECT_EQ(
        program.ListRows(),
        (QStringList{"Quorvex Log Created", "-== Program Started on 3/7/2003 - 9:5 ==-",
                     "User added \"Blocked.Example\" to restrictions", "User removed a restriction",
                     "User removed a restriction", "User refreshed files"}));
}

TEST(QtFirstRun, RealWidgetsLeaveTheSameFilesAsTheHeadlessFlow) {
    Sandbox qtBox(std::string(kRemoved) + kKept);
    Sandbox headlessBox(std::string(kRemoved) + kKept);
    const Lines shown = {"dialog 145", "dialog 143", "dialog 131"};
    {
        QtProgram program(qtBox.platform);
        test::ExpectFirstRun(program.user, QString::fromLatin1(kPassword));
        program.user.Expect(res::kNewRestrictionDialog, [](QDialog& dialog) {
            auto* ip = ControlWidget<QLineEdit>(&dialog, res::kIpEdit);
            auto* url = ControlWidget<QLineEdit>(&dialog, res::kUrlEdit);
            auto* description = ControlWidget<QPlainTextEdit>(&dialog, res::kDescriptionEdit);
            ASSERT_TRUE(ip && url && description);
            TypeKeys(ip, QStringLiteral("6.6.6.6"));  // disabled while the default IP is used
            EXPECT_EQ(ip->text(), QStringLiteral("0.0.0.0"));
            Click(url);
            TypeKeys(QApplication::focusWidget(), QString::fromLatin1(kUrl));
            EXPECT_EQ(url->text(), QString::fromLatin1(kUrl));
            Click(description);
            EXPECT_EQ(QApplication::focusWidget(), description);
            TypeKeys(QApplication::focusWidget(), QStringLiteral("first line"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            EXPECT_TRUE(dialog.isVisible()) << "Enter in the description ended the dialog";
            TypeKeys(QApplication::focusWidget(), QStringLiteral("second line"));
            EXPECT_EQ(description->toPlainText(), QStringLiteral("first line\nsecond line"));
            Click(ControlWidget<QPushButton>(&dialog, res::kIdOk));
        });

        bool scriptRan = false;
        test::Watchdog watchdog;
        int code = program.Run([&] {
            scriptRan = true;
            AddRemoveSaveAndViewTheLog(program);
            if (QMainWindow* window = program.Window()) {
                window->close();
            }
        });
        EXPECT_EQ(code, 0);
        EXPECT_TRUE(scriptRan);
        EXPECT_TRUE(program.user.Done());
        EXPECT_TRUE(program.user.errors.empty()) << ::testing::PrintToString(program.user.errors);
        EXPECT_EQ(program.user.transcript, shown);
    }
    EXPECT_EQ(RunHeadless(headlessBox.platform), shown);

    EXPECT_EQ(qtBox.Read(kHostsPath), std::string(kKept) + "0.0.0.0 blocked.example\n");
    EXPECT_EQ(qtBox.Read(kHostsPath), headlessBox.Read(kHostsPath));

    const std::string log = qtBox.Read(kScrambledLog);
    EXPECT_EQ(Unscrambled(log),
              "Quorvex Log Created\n\n\n-== Program Started on 3/7/2003 - 9:5 ==-\n"
              "User added \"Blocked.Example\" to restrictions\nUser removed a restriction\n"
              "User removed a restriction\nUser refreshed files\n");
    EXPECT_EQ(log, headlessBox.Read(kScrambledLog));

    // The settings match line by line; only the salted password hash differs.
    const Lines qtSettings = SettingsWithoutHash(qtBox.Read(settings::kScrambledPath));
    EXPECT_EQ(qtSettings, SettingsWithoutHash(headlessBox.Read(settings::kScrambledPath)));
    for (const char* line : {"Set=1", "[Blocked.Example]", "Desc=first line~~second line"}) {
        EXPECT_NE(std::find(qtSettings.begin(), qtSettings.end(), line), qtSettings.end()) << line;
    }

    // The same files, and the typed password in none of them, scrambled or not.
    Lines qtFiles = qtBox.FileNames();
    Lines headlessFiles = headlessBox.FileNames();
    std::sort(qtFiles.begin(), qtFiles.end());
    std::sort(headlessFiles.begin(), headlessFiles.end());
    EXPECT_EQ(qtFiles, headlessFiles);
    for (Sandbox* box : {&qtBox, &headlessBox}) {
        for (const std::string& name : box->FileNames()) {
            std::string bytes = test::ReadBytes(box->root / name);
            EXPECT_EQ(bytes.find(kPassword), std::string::npos) << name;
            EXPECT_EQ(Unscrambled(bytes).find(kPassword), std::string::npos) << name;
        }
    }
}

// Bytes of hosts lines reach the widgets only for display: whatever they are, a load and a
// save write them back as they were.
TEST(QtHostsBytes, LinesThatAreNotUtf8SurviveALoadAndASave) {
    const std::string latin1 = "0.0.0.0 caf\xe9.example";
    const std::string utf8 = "0.0.0.0 na\xc3\xafve.example";
    const std::string neither = "0.0.0.0 \xff\xfe.example";
    // A replacement character's own bytes, next to a byte that is not UTF-8.
    const std::string mixed = "0.0.0.0 \xef\xbf\xbd-caf\xe9.example";
    Sandbox box(latin1 + "\n0.0.0.0 b.example\n" + utf8 + "\n" + neither + "\n" + mixed + "\n");
    QtProgram program(box.platform);
    test::ExpectFirstRun(program.user, QString::fromLatin1(kPassword));
    test::Watchdog watchdog;
    int code = program.Run([&] {
        // Valid UTF-8 shows as such, anything else byte for byte as Latin-1.
        EXPECT_EQ(
            program.ListRows(),
            (QStringList{QString::fromLatin1(latin1), "0.0.0.0 b.example", QString::fromUtf8(utf8),
                         QString::fromLatin1(neither), QString::fromLatin1(mixed)}));
        if (QListView* list = program.List()) {
            QRect row = list->visualRect(list->model()->index(1, 0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
            Click(ControlWidget<ShadedButtonWidget>(program.Form(), res::kRemoveButton));
            Click(ControlWidget<ShadedButtonWidget>(program.Form(), res::kSaveButton));
            EXPECT_EQ(program.ListRows().size(), 4);
        } else {
            ADD_FAILURE() << "no restriction list";
        }
        program.Window()->close();
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(program.user.errors.empty()) << ::testing::PrintToString(program.user.errors);
    EXPECT_EQ(box.Read(kHostsPath), latin1 + "\n" + utf8 + "\n" + neither + "\n" + mixed + "\n");
}

}  // namespace
}  // namespace qv
