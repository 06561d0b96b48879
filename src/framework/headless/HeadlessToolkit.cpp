#include "framework/headless/HeadlessToolkit.h"

namespace qv {

std::string DescribeMessage(const std::string& text, const std::string& caption, unsigned style) {
    return "message: " + text + " | " + caption + " | " + std::to_string(style);
}

void HeadlessToolkit::Expect(int templateId, std::vector<Step> steps) {
    expected.push_back({templateId, std::move(steps)});
}

void HeadlessToolkit::ExpectFirst(int templateId, std::vector<Step> steps) {
    expected.push_front({templateId, std::move(steps)});
}

HeadlessToolkit::Step HeadlessToolkit::Type(int id, std::string text) {
    return [id, text](Dialog& d) { d.Type(id, text); };
}

HeadlessToolkit::Step HeadlessToolkit::Click(int id) {
    return [id](Dialog& d) { d.Click(id); };
}

HeadlessToolkit::Step HeadlessToolkit::Enter() {
    return [](Dialog& d) { d.PressEnter(); };
}

HeadlessToolkit::Step HeadlessToolkit::Escape() {
    return [](Dialog& d) { d.PressEscape(); };
}

HeadlessToolkit::Step HeadlessToolkit::CloseBox() {
    return [](Dialog& d) { d.CloseBox(); };
}

int HeadlessToolkit::MessageBox(const std::string& text, const std::string& caption,
                                unsigned style) {
    transcript.push_back(DescribeMessage(text, caption, style));
    if (!answers.empty()) {
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    unsigned buttons = style & kMbButtonMask;
    if (buttons == kMbYesNo || buttons == kMbYesNoCancel) {
        errors.push_back("unanswered question: " + text);
        return buttons == kMbYesNo ? kIdNo : kIdCancel;
    }
    return kIdOk;
}

int HeadlessToolkit::RunModal(Dialog& dialog) {
    int id = dialog.TemplateId();
    transcript.push_back("dialog " + std::to_string(id));
    if (expected.empty() || expected.front().templateId != id) {
        errors.push_back("unexpected dialog " + std::to_string(id));
        return kIdCancel;
    }
    std::vector<Step> steps = std::move(expected.front().steps);
    expected.pop_front();
    dialog.Open();
    for (Step& step : steps) {
        if (!dialog.IsOpen()) {
            errors.push_back("dialog " + std::to_string(id) + " closed before its script ended");
            break;
        }
        step(dialog);
    }
    if (dialog.IsOpen()) {
        errors.push_back("dialog " + std::to_string(id) + " left open by its script");
        dialog.EndDialog(kIdCancel);
    }
    return dialog.Result();
}

void HeadlessToolkit::CreateMainWindow(FormView& view, const std::string& caption) {
    mainView = &view;
    mainCaption = caption;
}

void HeadlessToolkit::ShowMainWindow() {
    mainVisible = true;
    transcript.push_back("main window shown");
}

int HeadlessToolkit::RunMessageLoop() {
    if (!quitPosted && mainView != nullptr) {
        for (auto& command : mainScript) {
            command(*mainView);
            if (quitPosted || !mainVisible) {
                break;
            }
        }
    }
    return exitCode;
}

void HeadlessToolkit::PostQuit(int code) {
    if (!quitPosted) {
        quitPosted = true;
        exitCode = code;
        transcript.push_back("quit " + std::to_string(code));
    }
}

void HeadlessToolkit::ClickMainCloseBox() {
    if (mainVisible && (mainView == nullptr || mainView->CanClose())) {
        CloseMainWindow();
    }
}

void HeadlessToolkit::CloseMainWindow() {
    if (mainVisible) {
        mainVisible = false;
        transcript.push_back("main window closed");
    }
}

}  // namespace qv
