#pragma once

#include <cstdint>
#include <string>

#include "framework/MessageBoxes.h"

namespace qv {

class Dialog;
class FormView;

// What a window system offers the program: modal dialogs, message boxes and the main window.
class Toolkit : public MessageBoxes {
public:
    // Shows `dialog` modally and runs until it ends; returns its result.
    virtual int RunModal(Dialog& dialog) = 0;

    // The main frame around `view`: caption, menu and shortcuts; hidden until shown.
    virtual void CreateMainWindow(FormView& view, const std::string& caption) = 0;
    virtual void SetMainCaption(const std::string& caption) = 0;
    virtual void ShowMainWindow() = 0;
    // Runs the message loop until the main window closes or a quit is posted; the exit code.
    virtual int RunMessageLoop() = 0;
    virtual void PostQuit(int exitCode) = 0;
    // A quit was posted: the program is ending.
    virtual bool QuitRequested() const = 0;
    virtual void CloseMainWindow() = 0;
    // The main window's handle for the single-instance block; 0 while there is none.
    virtual uintptr_t MainWindowHandle() const { return 0; }
    // Lets go of the main window's widgets before the view they show is destroyed.
    virtual void DestroyMainWindow() {}
};

}  // namespace qv
