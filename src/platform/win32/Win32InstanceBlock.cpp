#include <windows.h>

#include <cstring>

#include "platform/InstanceBlock.h"

namespace qv {
namespace {

constexpr DWORD kBlockSize = 4;

// A mapped view of a block's 4 bytes, unmapped when it goes.
class BlockView {
public:
    explicit BlockView(HANDLE mapping)
        : data(MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, kBlockSize)) {}
    ~BlockView() {
        if (data != nullptr) {
            UnmapViewOfFile(data);
        }
    }
    BlockView(const BlockView&) = delete;
    BlockView& operator=(const BlockView&) = delete;
    void* Data() const { return data; }

private:
    void* data;
};

class Win32InstanceBlock : public InstanceBlock {
public:
    explicit Win32InstanceBlock(HANDLE mapping) : mapping(mapping) {}
    ~Win32InstanceBlock() override { CloseHandle(mapping); }
    Win32InstanceBlock(const Win32InstanceBlock&) = delete;
    Win32InstanceBlock& operator=(const Win32InstanceBlock&) = delete;

    bool StoreWindow(uintptr_t window) override {
        BlockView view(mapping);
        if (view.Data() == nullptr) {
            return false;
        }
        // Window handles fit 32 bits on 64-bit Windows too, so 32-bit and 64-bit copies of
        // the program understand each other's block.
        uint32_t stored = static_cast<uint32_t>(window);
        std::memcpy(view.Data(), &stored, sizeof stored);
        return true;
    }

    std::optional<uintptr_t> ActivateWindow() override {
        BlockView view(mapping);
        if (view.Data() == nullptr) {
            return std::nullopt;
        }
        uint32_t stored = 0;
        std::memcpy(&stored, view.Data(), sizeof stored);
        // Sign-extended, as LongToHandle widens a 32-bit handle.
        HWND window = reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(stored)));
        // 0 while the running copy has no window yet; a stale handle once it is closing.
        if (window != nullptr && IsWindow(window)) {
            HWND popup = GetLastActivePopup(window);
            if (IsIconic(window)) {
                ShowWindow(window, SW_RESTORE);
            }
            SetForegroundWindow(popup != nullptr ? popup : window);
        }
        return reinterpret_cast<uintptr_t>(window);
    }

private:
    HANDLE mapping;
};

class Win32InstanceBlocks : public InstanceBlocks {
public:
    std::unique_ptr<InstanceBlock> Open(const std::string& name) override {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
        if (mapping == nullptr) {
            return nullptr;
        }
        return std::make_unique<Win32InstanceBlock>(mapping);
    }

    std::unique_ptr<InstanceBlock> Create(const std::string& name) override {
        HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            kBlockSize, name.c_str());
        if (mapping == nullptr) {
            return nullptr;
        }
        // Another copy registered since we looked: its block is not ours to overwrite.
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(mapping);
            return nullptr;
        }
        return std::make_unique<Win32InstanceBlock>(mapping);
    }
};

}  // namespace

std::unique_ptr<InstanceBlocks> CreateInstanceBlocks(const PathMap&) {
    return std::make_unique<Win32InstanceBlocks>();
}

}  // namespace qv
