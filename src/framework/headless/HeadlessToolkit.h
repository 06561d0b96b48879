#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "framework/FormView.h"
#include "framework/Toolkit.h"

namespace qv {

// A toolkit without a display, for tests: windows live in memory and the user is a script.
// A test queues, per dialog, what the user does when it opens, and the answers to message
// boxes. Every dialog and message box is recorded in order. An unexpected dialog, a dialog
// the script leaves open, or an unanswered question is an error (see `errors`).
class HeadlessToolkit : public Toolkit {
public:
    using Step = std::function<void(Dialog&)>;

    // What the user does when dialog `templateId` opens next.
    void Expect(int templateId, std::vector<Step> steps);
    // The same, ahead of everything already expected.
    void ExpectFirst(int templateId, std::vector<Step> steps);
    // The answer to the next message box (kIdYes, kIdNo, kIdCancel, kIdOk).
    void Answer(int answer) { answers.push_back(answer); }

    // Steps.
    static Step Type(int id, std::string text);
    static Step Click(int id);
    static Step Enter();
    static Step Escape();
    static Step CloseBox();
    // A check on the dialog's state at this point of the script.
    static Step Check(std::function<void(Dialog&)> check) { return check; }

    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override;
    int RunModal(Dialog& dialog) override;
    void CreateMainWindow(FormView& view, const std::string& caption) override;
    void SetMainCaption(const std::string& caption) override { mainCaption = caption; }
    void ShowMainWindow() override;
    int RunMessageLoop() override;
    void PostQuit(int exitCode) override;
    bool QuitRequested() const override { return quitPosted; }
    void CloseMainWindow() override;
    // The user clicks the main window's close box: the view is asked first and may keep the
    // window open.
    void ClickMainCloseBox();

    // Everything shown, in order: "dialog 131", "message: text | caption | style",
    // "main window shown", "quit 0", "main window closed".
    std::vector<std::string> transcript;
    std::vector<std::string> errors;
    std::string mainCaption;
    FormView* mainView = nullptr;
    bool mainVisible = false;
    bool quitPosted = false;
    int exitCode = 0;
    // Commands the message loop feeds to the main view, in order, before it ends.
    std::vector<std::function<void(FormView&)>> mainScript;

private:
    struct Expected {
        int templateId;
        std::vector<Step> steps;
    };
    std::deque<Expected> expected;
    std::deque<int> answers;
};

std::string DescribeMessage(const std::string& text, const std::string& caption, unsigned style);

}  // namespace qv
