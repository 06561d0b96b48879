#include "app/CInstanceChecker.h"

#include "res/StringTable.h"

namespace qv {

std::unique_ptr<InstanceBlock> instanceBlockHandle;

namespace {

std::function<void()>& ActivationHandler() {
    static std::function<void()> handler;
    return handler;
}

}  // namespace

CInstanceChecker::CInstanceChecker(InstanceBlocks& blocks, MainWindowSource mainWindow)
    : blocks(blocks), mainWindow(std::move(mainWindow)) {}

std::string CInstanceChecker::MappingName() {
    return "CInstanceChecker_MMF_" + LoadString(kIdsAppTitle);
}

bool CInstanceChecker::FindRunningInstance() {
    runningInstanceBlock = blocks.Open(MappingName());
    return runningInstanceBlock != nullptr;
}

void CInstanceChecker::ActivateRunningInstance() {
    activatedWindow.reset();
    if (runningInstanceBlock == nullptr) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(dataLock);
        activatedWindow = runningInstanceBlock->ActivateWindow();
    }
    // Read or not, the block is let go: this start ends either way.
    runningInstanceBlock.reset();
}

bool CInstanceChecker::RegisterThisInstance() {
    return RegisterThisInstance(mainWindow ? mainWindow() : 0);
}

bool CInstanceChecker::RegisterThisInstance(uintptr_t window) {
    if (FindRunningInstance()) {
        return false;
    }
    std::unique_ptr<InstanceBlock> block = blocks.Create(MappingName());
    if (block == nullptr) {
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(dataLock);
        // A block without our window would only silence later starts: drop it instead.
        if (!block->StoreWindow(window)) {
            return false;
        }
    }
    instanceBlockHandle = std::move(block);
    return true;
}

void CInstanceChecker::SetActivationHandler(std::function<void()> handler) {
    ActivationHandler() = std::move(handler);
}

int CInstanceChecker::ActivationHandle() {
    return instanceBlockHandle != nullptr ? instanceBlockHandle->ActivationHandle() : -1;
}

int CInstanceChecker::PollActivation() {
    return instanceBlockHandle != nullptr ? instanceBlockHandle->AnswerRequests(ActivationHandler())
                                          : 0;
}

}  // namespace qv
