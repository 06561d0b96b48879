#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "app/InstanceGuard.h"
#include "platform/InstanceBlock.h"

namespace qv {

// This copy's own instance block, once RegisterThisInstance has made it. It belongs to the
// process, not to a checker: it lasts until the process ends (or it is reset), and the
// block with it.
extern std::unique_ptr<InstanceBlock> instanceBlockHandle;

// Keeps a second copy of the program from running. The first copy, once its main window is
// shown, publishes the window in a named block; a later start finds the block, brings that
// window (or the dialog it shows) forward and ends without touching anything.
class CInstanceChecker : public InstanceGuard {
public:
    // The handle of the program's main window, 0 while it has none; the toolkit supplies it.
    using MainWindowSource = std::function<uintptr_t()>;

    explicit CInstanceChecker(InstanceBlocks& blocks, MainWindowSource mainWindow = nullptr);
    CInstanceChecker(const CInstanceChecker&) = delete;
    CInstanceChecker& operator=(const CInstanceChecker&) = delete;

    // The block's name: "CInstanceChecker_MMF_" and the application title.
    static std::string MappingName();

    // True when a running copy has a block; keeps a handle to it for ActivateRunningInstance.
    bool FindRunningInstance() override;
    // Brings the running copy's window forward and lets go of its block.
    void ActivateRunningInstance() override;
    // The window handle the last ActivateRunningInstance read; none when there was no block
    // or it could not be read.
    std::optional<uintptr_t> ActivatedWindow() const { return activatedWindow; }
    // Registers this copy with the main window from the window source.
    bool RegisterThisInstance() override;
    // True when this copy created its block and stored `window` in it; false when another
    // copy has one or the block cannot be made or written (the program runs on regardless).
    bool RegisterThisInstance(uintptr_t window);

    // The registered copy's side, where a later start's request arrives as a message
    // (Linux). The toolkit sets the handler that brings its main window, or its active modal
    // dialog, forward, watches ActivationHandle (-1: nothing to watch) and calls
    // PollActivation when it becomes readable. Returns the number of requests answered.
    static void SetActivationHandler(std::function<void()> handler);
    static int ActivationHandle();
    static int PollActivation();

private:
    InstanceBlocks& blocks;
    MainWindowSource mainWindow;
    // Orders this object's use of a block within the process; processes do not share it.
    std::mutex dataLock;
    std::unique_ptr<InstanceBlock> runningInstanceBlock;
    std::optional<uintptr_t> activatedWindow;
};

}  // namespace qv
