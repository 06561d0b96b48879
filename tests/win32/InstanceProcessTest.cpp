// Two real copies under Windows: the second finds the first's block, brings its window
// forward and ends with 0; once the first is gone, the next start finds nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Directory() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full(path, n);
    return full.substr(0, full.find_last_of("\\/") + 1);
}

struct Copy {
    PROCESS_INFORMATION process{};
    HANDLE output = nullptr;

    bool Start(const std::string& role) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE write = nullptr;
        if (!CreatePipe(&output, &write, &inherit, 0)) {
            return false;
        }
        SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = write;
        startup.hStdError = write;
        std::string command = "\"" + Directory() + "quorvex-instance-copy.exe\" " + role;
        BOOL ok = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                 nullptr, &startup, &process);
        CloseHandle(write);
        return ok != 0;
    }
    // Reads until `word` arrived or the output ended.
    bool Says(const std::string& word) {
        std::string seen;
        char buffer[256];
        DWORD got = 0;
        while (seen.find(word) == std::string::npos &&
               ReadFile(output, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            seen.append(buffer, got);
        }
        return seen.find(word) != std::string::npos;
    }
    DWORD Wait(DWORD ms) {
        DWORD code = 99;
        if (WaitForSingleObject(process.hProcess, ms) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process.hProcess, &code);
        }
        return code;
    }
    ~Copy() {
        if (process.hProcess != nullptr) {
            TerminateProcess(process.hProcess, 1);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        if (output != nullptr) {
            CloseHandle(output);
        }
    }
};

TEST(InstanceProcess, SecondCopyBringsTheFirstForwardAndEnds) {
    Copy first;
    ASSERT_TRUE(first.Start("first"));
    ASSERT_TRUE(first.Says("ready"));
    {
        Copy second;
        ASSERT_TRUE(second.Start("second"));
        EXPECT_EQ(second.Wait(20000), 0u);
    }
    EXPECT_TRUE(first.Says("restored"));
    EXPECT_EQ(first.Wait(20000), 0u);
    // The first copy is gone, and its block with it.
    Copy third;
    ASSERT_TRUE(third.Start("second"));
    EXPECT_EQ(third.Wait(20000), 3u);
}

TEST(InstanceProcess, KilledCopyNeverBlocksTheNextStart) {
    Copy first;
    ASSERT_TRUE(first.Start("first"));
    ASSERT_TRUE(first.Says("ready"));
    TerminateProcess(first.process.hProcess, 9);
    WaitForSingleObject(first.process.hProcess, 10000);
    Copy next;
    ASSERT_TRUE(next.Start("second"));
    EXPECT_EQ(next.Wait(20000), 3u);
}

}  // namespace
