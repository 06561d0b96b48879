// A copy of the program as far as the single-instance guard sees it, for the two-process
// test under Windows: "first" registers a minimised frame window, says "ready" and waits to
// be brought forward ("restored", exit 0); "second" looks for a running copy, activates it
// and ends with 0, or with 3 when it finds none.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/CInstanceChecker.h"
#include "platform/InstanceBlock.h"

namespace {

bool minimised = false;

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        if (wParam == SIZE_MINIMIZED) {
            minimised = true;
        } else if (wParam == SIZE_RESTORED && minimised) {
            std::printf("restored\n");
            std::fflush(stdout);
            PostQuitMessage(0);
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    auto blocks = qv::CreateInstanceBlocks(qv::PathMap());
    qv::CInstanceChecker checker(*blocks);
    if (std::strcmp(argv[1], "second") == 0) {
        if (!checker.FindRunningInstance()) {
            return 3;
        }
        checker.ActivateRunningInstance();
        return 0;
    }
    WNDCLASSA frameClass{};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = GetModuleHandleA(nullptr);
    frameClass.lpszClassName = "QuorvexTestFrame";
    RegisterClassA(&frameClass);
    HWND frame = CreateWindowA("QuorvexTestFrame", "Quorvex - Quorvex", WS_OVERLAPPEDWINDOW, 0, 0,
                               300, 200, nullptr, nullptr, frameClass.hInstance, nullptr);
    if (frame == nullptr) {
        return 4;
    }
    ShowWindow(frame, SW_SHOWMINIMIZED);
    if (!checker.RegisterThisInstance(reinterpret_cast<uintptr_t>(frame))) {
        return 5;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    SetTimer(frame, 1, 30000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER) {
            return 6;  // never brought forward
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
