#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "framework/Toolkit.h"

class QDialog;
class QMainWindow;
class QWidget;

namespace qv {

class ControlWidgets;

// The Qt Widgets front end: dialogs and the main window made from the templates.
class QtToolkit : public Toolkit {
public:
    QtToolkit();
    ~QtToolkit() override;

    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override;
    int RunModal(Dialog& dialog) override;
    void CreateMainWindow(FormView& view, const std::string& caption) override;
    void SetMainCaption(const std::string& caption) override;
    void ShowMainWindow() override;
    int RunMessageLoop() override;
    void PostQuit(int exitCode) override;
    bool QuitRequested() const override { return quitRequested; }
    void CloseMainWindow() override;
    void DestroyMainWindow() override;

    QMainWindow* MainWindow() const;
    uintptr_t MainWindowHandle() const override;
    ControlWidgets* MainControls() const { return mainControls; }
    // Brings the main window, or the modal dialog in front of it, to the front, restoring
    // whichever of them is minimised.
    void BringToFront();

    // Test hooks: called when a dialog or message box has been shown and runs its loop.
    std::function<void(QDialog* dialog, int templateId)> onDialogShown;
    std::function<void(QWidget* box, const std::string& text)> onMessageBoxShown;
    // Called once the main window is shown (the single-instance guard starts listening).
    std::function<void()> onMainWindowShown;

private:
    QPointer<QMainWindow> mainWindow;
    ControlWidgets* mainControls = nullptr;
    bool quitRequested = false;
    // CloseMainWindow is closing the window: the view is not asked again.
    bool closingByProgram = false;
    int quitCode = 0;
};

}  // namespace qv
