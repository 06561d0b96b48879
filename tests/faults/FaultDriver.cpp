// One whole run of the program on a sandbox root, for the fault injection tests, with a
// scripted user who goes along with whatever the program asks. Everything shown is printed
// on standard output, one line each, as it happens (a run may be killed at any point):
//
//   dialog N                           a dialog opened
//   message: text | caption | style    a message box (line breaks shown as \n)
//   main window shown / main window closed / quit N
//   step NAME                          the user starts a step of the scenario
//   user: NOTE                         what the user did about something unexpected
//   exit N                             the program ended with exit code N
//
//   quorvex-fault-driver run ROOT P Q
//     Disclaimer, password P at start-up, then Add Restriction "new.example", Save, Reset
//     Password to Q, View Log File, Save Decrypted Log, Close Log File, Exit.
//   quorvex-fault-driver check ROOT PASSWORD
//     The next start: disclaimer, the password, the main window, Exit. A new-password
//     dialog before the main window means the program took this for a first run.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/CQuorvexApp.h"
#include "framework/headless/HeadlessToolkit.h"
#include "platform/Platform.h"
#include "res/Resource.h"

namespace {

using namespace qv;

void Say(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// One line of output per event: line breaks inside a text are written as \n and \r.
std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out;
}

class PermissiveUser : public HeadlessToolkit {
public:
    enum class Mode { Run, Check };

    PermissiveUser(Mode mode, std::string password, std::string newPassword)
        : mode(mode), password(std::move(password)), newPassword(std::move(newPassword)) {}

    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override {
        Say(DescribeMessage(OneLine(text), OneLine(caption), style));
        unsigned buttons = style & kMbButtonMask;
        return buttons == kMbYesNo || buttons == kMbYesNoCancel ? kIdYes : kIdOk;
    }

    int RunModal(Dialog& dialog) override {
        int id = dialog.TemplateId();
        Say("dialog " + std::to_string(id));
        dialog.Open();
        Answer(dialog);
        if (dialog.IsOpen()) {
            Note("dialog " + std::to_string(id) + " still open, cancelled");
            dialog.PressEscape();
            if (dialog.IsOpen()) {
                dialog.EndDialog(kIdCancel);
            }
        }
        return dialog.Result();
    }

    void ShowMainWindow() override {
        HeadlessToolkit::ShowMainWindow();
        Say("main window shown");
    }

    void PostQuit(int code) override {
        if (!quitPosted) {
            Say("quit " + std::to_string(code));
        }
        HeadlessToolkit::PostQuit(code);
    }

    void CloseMainWindow() override {
        if (mainVisible) {
            Say("main window closed");
        }
        HeadlessToolkit::CloseMainWindow();
    }

    // The scenario's steps, fed to the main window by the message loop.
    void AddStep(std::string name, int command) {
        mainScript.push_back([this, name, command](FormView& view) {
            step = name;
            Say("step " + name);
            view.Click(command);
        });
    }

private:
    static void Note(const std::string& note) { Say("user: " + note); }

    void Answer(Dialog& dialog) {
        int id = dialog.TemplateId();
        bool startUp = !mainVisible;
        if (id == res::kDisclaimerDialog && startUp && !disclaimerSeen) {
            disclaimerSeen = true;
            dialog.Click(res::kIdOk);
        } else if (id == res::kPasswordDialog) {
            // Whenever it asks, the user knows the password; only one prompt is expected.
            bool expected = startUp && !passwordAsked;
            passwordAsked = passwordAsked || startUp;
            const std::string& current = changed ? newPassword : password;
            if (!expected) {
                Note("unexpected dialog 130, answered with the password");
            }
            dialog.Type(res::kPasswordEdit, current);
            dialog.Click(res::kPasswordOk);
        } else if (id == res::kNewRestrictionDialog && mode == Mode::Run && step == "add" &&
                   !added) {
            added = true;
            dialog.Type(res::kUrlEdit, "new.example");
            dialog.Type(res::kDescriptionEdit, "d");
            dialog.Click(res::kIdOk);
        } else if (id == res::kNewPasswordDialog && mode == Mode::Run && step == "reset-password" &&
                   !reset) {
            reset = true;
            dialog.Type(res::kNewPasswordEdit, newPassword);
            dialog.Type(res::kConfirmPasswordEdit, newPassword);
            dialog.Click(res::kIdOk);
            if (!dialog.IsOpen() && dialog.Result() == kIdOk) {
                changed = true;
                Note("new password accepted");
            }
        } else if (id == res::kNewPasswordDialog && mode == Mode::Check && startUp) {
            Note("first-run prompt, cancelled");
            dialog.PressEscape();
        } else {
            Note("unexpected dialog " + std::to_string(id) + ", cancelled");
            dialog.PressEscape();
        }
    }

    Mode mode;
    std::string password;
    std::string newPassword;
    std::string step = "start-up";
    bool disclaimerSeen = false;
    bool passwordAsked = false;
    bool added = false;
    bool reset = false;
    bool changed = false;  // the new password was given
};

int Usage() {
    std::fprintf(stderr,
                 "usage: quorvex-fault-driver run ROOT PASSWORD NEW-PASSWORD\n"
                 "       quorvex-fault-driver check ROOT PASSWORD\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        return Usage();
    }
    std::string command = argv[1];
    std::string root = argv[2];
    PermissiveUser::Mode mode;
    if (command == "run" && argc == 5) {
        mode = PermissiveUser::Mode::Run;
    } else if (command == "check" && argc == 4) {
        mode = PermissiveUser::Mode::Check;
    } else {
        return Usage();
    }
    // The decrypted copy of the log goes to the working directory.
    if (::chdir(root.c_str()) != 0) {
        std::fprintf(stderr, "cannot enter %s: %s\n", root.c_str(), std::strerror(errno));
        return 2;
    }
    std::unique_ptr<Platform> platform = CreatePlatform(PathMap::ForRoot(root));
    // New hashes carry their iteration count; full strength would only cost time here.
    platform->Passwords().SetIterationsForTests(1000);

    PermissiveUser user(mode, argv[3], mode == PermissiveUser::Mode::Run ? argv[4] : "");
    if (mode == PermissiveUser::Mode::Run) {
        user.AddStep("add", res::kAddButton);
        user.AddStep("save", res::kSaveButton);
        user.AddStep("reset-password", res::kCmdResetPassword);
        user.AddStep("view-log", res::kViewLogButton);
        user.AddStep("save-log", res::kSaveButton);
        user.AddStep("close-log", res::kViewLogButton);
    }
    user.AddStep("exit", res::kCmdAppExit);

    bool registry = false;
    InProcessInstanceGuard guard(registry);
    int code;
    {
        CQuorvexApp app(user, *platform, guard);
        code = app.Run();
    }
    Say("exit " + std::to_string(code));
    return 0;
}
