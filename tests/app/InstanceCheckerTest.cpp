// The single-instance guard: its sequence against a fake set of blocks, then this build's
// real blocks (a named file mapping on Windows, an abstract Unix socket on Linux).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/CInstanceChecker.h"
#include "platform/Shell.h"
#include "support/TempRoot.h"

#ifndef _WIN32
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace qv {
namespace {

using Lines = std::vector<std::string>;

// Blocks in memory: one name, one stored window, and switches for every failure.
class FakeBlocks : public InstanceBlocks {
public:
    class Block : public InstanceBlock {
    public:
        Block(FakeBlocks& world, bool own) : world(world), own(own) { ++world.handles; }
        ~Block() override {
            --world.handles;
            if (own) {
                world.exists = false;
            }
        }
        bool StoreWindow(uintptr_t window) override {
            world.calls.push_back("store " + std::to_string(window));
            if (!world.writable) {
                return false;
            }
            world.stored = window;
            return true;
        }
        std::optional<uintptr_t> ActivateWindow() override {
            world.calls.push_back("activate");
            if (!world.readable) {
                return std::nullopt;
            }
            return world.stored;
        }
        int ActivationHandle() const override { return 7; }
        int AnswerRequests(const std::function<void()>& activate) override {
            world.calls.push_back("answer");
            if (activate) {
                activate();
            }
            return 1;
        }

    private:
        FakeBlocks& world;
        bool own;
    };

    std::unique_ptr<InstanceBlock> Open(const std::string& name) override {
        calls.push_back("open " + name);
        return exists ? std::make_unique<Block>(*this, false) : nullptr;
    }
    std::unique_ptr<InstanceBlock> Create(const std::string& name) override {
        calls.push_back("create " + name);
        if (!creatable) {
            return nullptr;
        }
        exists = true;
        return std::make_unique<Block>(*this, true);
    }

    bool exists = false;
    bool creatable = true;
    bool writable = true;
    bool readable = true;
    uintptr_t stored = 0;
    int handles = 0;  // open handles to the block
    Lines calls;
};

const char* const kName = "CInstanceChecker_MMF_Quorvex";

class InstanceChecker : public ::testing::Test {
protected:
    void TearDown() override {
        instanceBlockHandle.reset();
        CInstanceChecker::SetActivationHandler(nullptr);
    }
    FakeBlocks blocks;
};

TEST_F(InstanceChecker, MappingNameCarriesTheApplicationTitle) {
    EXPECT_EQ(CInstanceChecker::MappingName(), kName);
}

TEST_F(InstanceChecker, NoRunningCopyMeansNothingToActivate) {
    CInstanceChecker checker(blocks);
    EXPECT_FALSE(checker.FindRunningInstance());
    checker.ActivateRunningInstance();
    EXPECT_EQ(checker.ActivatedWindow(), std::nullopt);
    EXPECT_EQ(blocks.calls, Lines{std::string("open ") + kName});
}

TEST_F(InstanceChecker, ActivationReadsTheWindowAndLetsGoOfTheBlock) {
    blocks.exists = true;
    blocks.stored = 0x1234;
    CInstanceChecker checker(blocks);
    EXPECT_TRUE(checker.FindRunningInstance());
    EXPECT_EQ(blocks.handles, 1);
    checker.ActivateRunningInstance();
    EXPECT_EQ(checker.ActivatedWindow(), std::optional<uintptr_t>(0x1234));
    EXPECT_EQ(blocks.handles, 0);
    checker.ActivateRunningInstance();  // the block is gone: nothing more happens
    EXPECT_EQ(checker.ActivatedWindow(), std::nullopt);
    EXPECT_EQ(blocks.calls, (Lines{std::string("open ") + kName, "activate"}));
}

TEST_F(InstanceChecker, UnreadableBlockIsClosedAndGivesNoWindow) {
    blocks.exists = true;
    blocks.readable = false;
    CInstanceChecker checker(blocks);
    ASSERT_TRUE(checker.FindRunningInstance());
    checker.ActivateRunningInstance();
    EXPECT_EQ(checker.ActivatedWindow(), std::nullopt);
    EXPECT_EQ(blocks.handles, 0);
}

TEST_F(InstanceChecker, DestroyingTheCheckerClosesAFoundBlock) {
    blocks.exists = true;
    {
        CInstanceChecker checker(blocks);
        ASSERT_TRUE(checker.FindRunningInstance());
        EXPECT_EQ(blocks.handles, 1);
    }
    EXPECT_EQ(blocks.handles, 0);
    EXPECT_TRUE(blocks.exists);  // only borrowed
}

struct RegisterCase {
    const char* name;
    bool exists;
    bool creatable;
    bool writable;
    bool hasMainWindow;
    bool registered;
    Lines calls;
};

const RegisterCase kRegisterCases[] = {
    {"FirstCopy",
     false,
     true,
     true,
     true,
     true,
     {"open CInstanceChecker_MMF_Quorvex", "create CInstanceChecker_MMF_Quorvex", "store 4660"}},
    {"NoMainWindowStoresZero",
     false,
     true,
     true,
     false,
     true,
     {"open CInstanceChecker_MMF_Quorvex", "create CInstanceChecker_MMF_Quorvex", "store 0"}},
    {"AnotherCopyRegistered", true, true, true, true, false, {"open CInstanceChecker_MMF_Quorvex"}},
    {"BlockCannotBeCreated",
     false,
     false,
     true,
     true,
     false,
     {"open CInstanceChecker_MMF_Quorvex", "create CInstanceChecker_MMF_Quorvex"}},
    {"BlockCannotBeWritten",
     false,
     true,
     false,
     true,
     false,
     {"open CInstanceChecker_MMF_Quorvex", "create CInstanceChecker_MMF_Quorvex", "store 4660"}},
};

class InstanceCheckerRegister : public InstanceChecker,
                                public ::testing::WithParamInterface<RegisterCase> {};

TEST_P(InstanceCheckerRegister, CreatesAndFillsTheBlockOnlyAsTheFirstCopy) {
    blocks.exists = GetParam().exists;
    blocks.creatable = GetParam().creatable;
    blocks.writable = GetParam().writable;
    CInstanceChecker::MainWindowSource window;
    if (GetParam().hasMainWindow) {
        window = [] { return uintptr_t{0x1234}; };
    }
    {
        CInstanceChecker checker(blocks, window);
        InstanceGuard& guard = checker;
        guard.RegisterThisInstance();
    }
    EXPECT_EQ(blocks.calls, GetParam().calls);
    EXPECT_EQ(instanceBlockHandle != nullptr, GetParam().registered);
    // The own block outlives the checker; a block without our window is not kept.
    EXPECT_EQ(blocks.handles, GetParam().registered ? 1 : 0);
    EXPECT_EQ(blocks.exists, GetParam().registered || GetParam().exists);
}

INSTANTIATE_TEST_SUITE_P(InstanceChecker, InstanceCheckerRegister,
                         ::testing::ValuesIn(kRegisterCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(InstanceChecker, ActivationHookReachesTheOwnBlockOnly) {
    int activations = 0;
    CInstanceChecker::SetActivationHandler([&] { ++activations; });
    EXPECT_EQ(CInstanceChecker::ActivationHandle(), -1);
    EXPECT_EQ(CInstanceChecker::PollActivation(), 0);

    CInstanceChecker checker(blocks);
    ASSERT_TRUE(checker.RegisterThisInstance(uintptr_t{5}));
    EXPECT_EQ(CInstanceChecker::ActivationHandle(), 7);
    EXPECT_EQ(CInstanceChecker::PollActivation(), 1);
    EXPECT_EQ(activations, 1);

    instanceBlockHandle.reset();
    EXPECT_FALSE(blocks.exists);
    EXPECT_EQ(CInstanceChecker::PollActivation(), 0);
    EXPECT_EQ(activations, 1);
}

// This build's real blocks, in a sandbox of their own.
class InstanceCheckerPlatform : public ::testing::Test {
protected:
    void TearDown() override {
        instanceBlockHandle.reset();
        CInstanceChecker::SetActivationHandler(nullptr);
    }
    test::TempRoot root;
    std::unique_ptr<InstanceBlocks> blocks = CreateInstanceBlocks(PathMap::ForRoot(root.String()));
};

TEST_F(InstanceCheckerPlatform, OneCopyRegistersUntilItsBlockCloses) {
    CInstanceChecker first(*blocks);
    EXPECT_FALSE(first.FindRunningInstance());
    ASSERT_TRUE(first.RegisterThisInstance(uintptr_t{0x1234}));

    {
        // Its handle to the block goes with it (on Windows a held handle keeps the block).
        CInstanceChecker second(*blocks);
        EXPECT_TRUE(second.FindRunningInstance());
        EXPECT_FALSE(second.RegisterThisInstance(uintptr_t{0x5678}));
        EXPECT_EQ(blocks->Create(CInstanceChecker::MappingName()), nullptr);
    }

    instanceBlockHandle.reset();
    CInstanceChecker third(*blocks);
    EXPECT_FALSE(third.FindRunningInstance());
    EXPECT_TRUE(third.RegisterThisInstance(uintptr_t{0x9}));
}

#ifdef _WIN32

// The block holds a handle that names no window: it is read back, nothing is activated.
TEST_F(InstanceCheckerPlatform, SecondCheckerReadsTheStoredHandle) {
    for (uintptr_t window : {uintptr_t{0x1234}, uintptr_t{0}}) {
        CInstanceChecker first(*blocks);
        ASSERT_TRUE(first.RegisterThisInstance(window));
        CInstanceChecker second(*blocks);
        ASSERT_TRUE(second.FindRunningInstance());
        second.ActivateRunningInstance();
        EXPECT_EQ(second.ActivatedWindow(), std::optional<uintptr_t>(window));
        instanceBlockHandle.reset();
        EXPECT_FALSE(second.FindRunningInstance()) << "block left after " << window;
    }
}

#else

TEST_F(InstanceCheckerPlatform, SandboxesDoNotMeet) {
    test::TempRoot otherRoot;
    auto otherBlocks = CreateInstanceBlocks(PathMap::ForRoot(otherRoot.String()));
    CInstanceChecker first(*blocks);
    ASSERT_TRUE(first.RegisterThisInstance(uintptr_t{1}));
    CInstanceChecker other(*otherBlocks);
    EXPECT_FALSE(other.FindRunningInstance());
    // The same root, spelt another way, is the same sandbox.
    auto sameBlocks = CreateInstanceBlocks(PathMap::ForRoot(root.String() + "/./"));
    CInstanceChecker same(*sameBlocks);
    EXPECT_TRUE(same.FindRunningInstance());
}

// Answers requests on this thread while `activate` waits for the answer on another.
std::optional<uintptr_t> ActivateWhileAnswering(InstanceBlocks& blocks, int& answered) {
    CInstanceChecker later(blocks);
    if (!later.FindRunningInstance()) {
        return std::nullopt;
    }
    std::thread asking([&] { later.ActivateRunningInstance(); });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (answered == 0 && std::chrono::steady_clock::now() < deadline) {
        pollfd ready{CInstanceChecker::ActivationHandle(), POLLIN, 0};
        if (::poll(&ready, 1, 100) > 0) {
            answered += CInstanceChecker::PollActivation();
        }
    }
    asking.join();
    return later.ActivatedWindow();
}

TEST_F(InstanceCheckerPlatform, RequestReachesTheRunningCopysHandler) {
    int activations = 0;
    CInstanceChecker::SetActivationHandler([&] { ++activations; });
    CInstanceChecker first(*blocks);
    ASSERT_TRUE(first.RegisterThisInstance(uintptr_t{0x51}));

    // A start that only looks is answered without activating anything.
    {
        CInstanceChecker looking(*blocks);
        ASSERT_TRUE(looking.FindRunningInstance());
    }
    EXPECT_EQ(CInstanceChecker::PollActivation(), 0);
    EXPECT_EQ(activations, 0);

    int answered = 0;
    EXPECT_EQ(ActivateWhileAnswering(*blocks, answered), std::optional<uintptr_t>(0x51));
    EXPECT_EQ(answered, 1);
    EXPECT_EQ(activations, 1);
}

TEST_F(InstanceCheckerPlatform, NoWindowYetMeansNothingIsBroughtForward) {
    int activations = 0;
    CInstanceChecker::SetActivationHandler([&] { ++activations; });
    CInstanceChecker first(*blocks);
    ASSERT_TRUE(first.RegisterThisInstance(uintptr_t{0}));
    int answered = 0;
    EXPECT_EQ(ActivateWhileAnswering(*blocks, answered), std::optional<uintptr_t>(0));
    EXPECT_EQ(answered, 1);
    EXPECT_EQ(activations, 0);
}

// A browser the program started must not hold the block: it would outlive a copy that died.
TEST_F(InstanceCheckerPlatform, ProgramsStartedByTheShellDoNotInheritTheBlock) {
    CInstanceChecker first(*blocks);
    ASSERT_TRUE(first.RegisterThisInstance(uintptr_t{1}));
    std::filesystem::path browser = root / "browser";
    test::WriteBytes(browser, "#!/bin/sh\ntouch \"$0.started\"\nexec sleep 3 >/dev/null 2>&1\n");
    std::filesystem::permissions(browser, std::filesystem::perms::owner_all);
    EXPECT_GT(CreateShell()->RunBrowser(browser.string(), "http://x", kShowNormal), 32);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(root / "browser.started") &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(std::filesystem::exists(root / "browser.started"));

    instanceBlockHandle.reset();
    CInstanceChecker next(*blocks);
    EXPECT_FALSE(next.FindRunningInstance());
}

// Kills and reaps a child process however the test ends.
class ChildProcess {
public:
    explicit ChildProcess(pid_t pid) : pid(pid) {}
    ~ChildProcess() { Kill(); }
    // The child's wait status.
    int Kill() {
        int status = 0;
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            pid = -1;
        }
        return status;
    }

private:
    pid_t pid;
};

// Two real processes: the child registers and serves; this process is the later start.
TEST_F(InstanceCheckerPlatform, SecondProcessActivatesTheFirstAndAKilledFirstBlocksNothing) {
    int toParent[2];
    ASSERT_EQ(::pipe(toParent), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(toParent[0]);
        CInstanceChecker::SetActivationHandler([&] {
            if (::write(toParent[1], "A", 1) != 1) {
                _exit(3);
            }
        });
        CInstanceChecker own(*blocks);
        if (own.FindRunningInstance() || !own.RegisterThisInstance(uintptr_t{0x77}) ||
            ::write(toParent[1], "R", 1) != 1) {
            _exit(2);
        }
        while (true) {  // the message loop, until killed
            pollfd ready{CInstanceChecker::ActivationHandle(), POLLIN, 0};
            if (::poll(&ready, 1, -1) > 0) {
                CInstanceChecker::PollActivation();
            }
        }
    }
    ChildProcess first(child);
    ::close(toParent[1]);
    char said = 0;
    ASSERT_EQ(::read(toParent[0], &said, 1), 1);
    EXPECT_EQ(said, 'R');

    CInstanceChecker later(*blocks);
    EXPECT_TRUE(later.FindRunningInstance());
    later.ActivateRunningInstance();
    EXPECT_EQ(later.ActivatedWindow(), std::optional<uintptr_t>(0x77));
    ASSERT_EQ(::read(toParent[0], &said, 1), 1);
    EXPECT_EQ(said, 'A');

    int status = first.Kill();
    ::close(toParent[0]);
    EXPECT_TRUE(WIFSIGNALED(status));

    CInstanceChecker next(*blocks);
    EXPECT_FALSE(next.FindRunningInstance());
    EXPECT_TRUE(next.RegisterThisInstance(uintptr_t{0x88}));
}

#endif

}  // namespace
}  // namespace qv
