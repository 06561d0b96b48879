#include <gtest/gtest.h>

#include "access/NewPasswordDialog.h"
#include "access/OptionsDialog.h"
#include "access/PasswordDialog.h"
#include "framework/headless/HeadlessToolkit.h"
#include "res/Resource.h"

namespace qv {
namespace {

using H = HeadlessToolkit;

class PasswordDialogs : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_TRUE(ui.errors.empty()) << ::testing::PrintToString(ui.errors);
    }
    HeadlessToolkit ui;
};

TEST_F(PasswordDialogs, NewPasswordChecksLengthThenMatch) {
    const std::string tooShort =
        DescribeMessage("Password must be at least 5 characters long", "Info", kMbIconExclamation);
    const std::string noMatch = DescribeMessage("Passwords do not match", "Error", kMbIconStop);
    struct Case {
        const char* first;
        const char* second;
        const char* message;  // null: accepted
    };
    for (Case c : {Case{"abcde", "abcde", nullptr}, Case{"abcd", "abcd", "short"},
                   Case{"abcd", "xyz", "short"}, Case{"Abcde", "abcde", "match"},
                   Case{"abcdef", "", "match"}, Case{"\xe9\xe9\xe9", "\xe9\xe9\xe9", "short"},
                   Case{"12345678", "12345678", nullptr}}) {
        NewPasswordDialog dialog(ui);
        std::vector<H::Step> steps = {H::Type(res::kNewPasswordEdit, c.first),
                                      H::Type(res::kConfirmPasswordEdit, c.second),
                                      H::Click(res::kIdOk)};
        if (c.message != nullptr) {
            steps.push_back(H::Check([](Dialog& d) {
                EXPECT_EQ(d.Controls().Text(res::kNewPasswordEdit), "");
                EXPECT_EQ(d.Controls().Text(res::kConfirmPasswordEdit), "");
                EXPECT_EQ(d.Controls().Focus(), res::kNewPasswordEdit);
            }));
            steps.push_back(H::Escape());
        }
        ui.transcript.clear();
        ui.Expect(res::kNewPasswordDialog, steps);
        int result = dialog.DoModal();
        if (c.message == nullptr) {
            EXPECT_EQ(result, kIdOk) << c.first;
            EXPECT_EQ(dialog.newPassword, c.first);
            EXPECT_EQ(ui.transcript, std::vector<std::string>{"dialog 143"});
        } else {
            EXPECT_EQ(result, kIdCancel) << c.first;
            std::string expected = std::string(c.message) == "short" ? tooShort : noMatch;
            EXPECT_EQ(ui.transcript, (std::vector<std::string>{"dialog 143", expected})) << c.first;
        }
    }
}

TEST_F(PasswordDialogs, NewPasswordFirstRunSentence) {
    for (bool show : {true, false}) {
        NewPasswordDialog dialog(ui);
        dialog.showFirstRunText = show;
        ui.Expect(res::kNewPasswordDialog,
                  {H::Check([show](Dialog& d) {
                       EXPECT_EQ(d.Controls().Visible(res::kFirstRunLabel), show);
                       EXPECT_EQ(d.Controls().Focus(), res::kNewPasswordEdit);
                   }),
                   H::CloseBox()});
        EXPECT_EQ(dialog.DoModal(), kIdCancel);
    }
}

TEST_F(PasswordDialogs, PasswordPromptButtonsAndKeys) {
    struct Case {
        std::vector<H::Step> steps;
        int result;
    };
    const Case cases[] = {
        {{H::Type(res::kPasswordEdit, "typed"), H::Click(res::kPasswordOk)}, kIdOk},
        {{H::Type(res::kPasswordEdit, "typed"), H::Enter()}, kIdOk},
        {{H::Type(res::kPasswordEdit, "typed"), H::Click(res::kPasswordCancel)}, kIdCancel},
        {{H::Type(res::kPasswordEdit, "typed"), H::Escape()}, kIdCancel},
        {{H::Type(res::kPasswordEdit, "typed"), H::CloseBox()}, kIdCancel},
    };
    for (const Case& c : cases) {
        PasswordDialog dialog(ui);
        ui.Expect(res::kPasswordDialog, c.steps);
        EXPECT_EQ(dialog.DoModal(), c.result);
        EXPECT_EQ(dialog.password, c.result == kIdOk ? "typed" : "");
    }
    PasswordDialog empty(ui);
    ui.Expect(res::kPasswordDialog,
              {H::Check([](Dialog& d) { EXPECT_EQ(d.Controls().Focus(), res::kPasswordEdit); }),
               H::Click(res::kPasswordOk)});
    EXPECT_EQ(empty.DoModal(), kIdOk);  // any text, the empty one too
}

TEST_F(PasswordDialogs, OptionsCheckBoxGivesOneOrZero) {
    for (int start : {0, 1}) {
        for (bool click : {false, true}) {
            OptionsDialog dialog(ui);
            dialog.requirePassword = start;
            std::vector<H::Step> steps;
            if (click) {
                steps.push_back(H::Click(res::kRequirePasswordCheck));
            }
            steps.push_back(H::Click(res::kIdOk));
            ui.Expect(res::kOptionsDialog, steps);
            EXPECT_EQ(dialog.DoModal(), kIdOk);
            EXPECT_EQ(dialog.requirePassword, click ? 1 - start : start);
        }
    }
    OptionsDialog cancelled(ui);
    cancelled.requirePassword = 1;
    ui.Expect(res::kOptionsDialog, {H::Click(res::kRequirePasswordCheck), H::Escape()});
    EXPECT_EQ(cancelled.DoModal(), kIdCancel);
    EXPECT_EQ(cancelled.requirePassword, 1);
}

}  // namespace
}  // namespace qv
