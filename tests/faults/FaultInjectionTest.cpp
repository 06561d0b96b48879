// Fault injection over whole program runs. The driver runs the program on a fresh sandbox
// through a user scenario (add, save, reset the password, view and save the log), with the
// fault library failing the k-th file call in the sandbox, or killing the process just
// before it, for every k up to the run's last call. After each run and after a clean next
// start, what the program keeps must still be whole: the hosts file, the settings with the
// password, the log's history; and nothing it reported as done may be undone.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "faults/ChildProcess.h"
#include "faults/FaultChecks.h"
#include "faults/FaultSandbox.h"
#include "framework/MessageBoxes.h"
#include "platform/Platform.h"

namespace qv::test {
namespace {

using namespace std::chrono_literals;

// A run that takes this long hangs.
constexpr auto kTimeLimit = 30s;
// More counted calls than this means the counting itself went wrong.
constexpr long long kMostCalls = 20000;

const char* const kFaultVariables[] = {"LD_PRELOAD", "QV_FAULT_ROOT", "QV_FAULT_AT",
                                       "QV_FAULT_MODE", "QV_FAULT_REPORT"};

// What the fault library wrote: the calls it counted, the call it acted on, and how the
// process ended ("exit", "killed", or "running"/"failed" when it ended some other way).
struct Report {
    bool found = false;
    long long calls = -1;
    std::string call;
    std::string path;
    std::string ending;
};

Report ReadReport(const std::string& path) {
    Report report;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        report.found = true;
        if (line.rfind("calls ", 0) == 0) {
            report.calls = std::stoll(line.substr(6));
        } else if (line.rfind("fault ", 0) == 0) {
            std::string rest = line.substr(6);
            size_t space = rest.find(' ');
            report.call = rest.substr(0, space);
            report.path = space == std::string::npos ? "" : rest.substr(space + 1);
        } else {
            report.ending = line;
        }
    }
    return report;
}

struct Tally {
    bool ran = false;
    long long cases = 0;
    long long broken = 0;
    std::map<std::string, long long> kinds;  // broken cases by the kind of rule
};

Tally failTally;
Tally killTally;
const auto suiteStart = std::chrono::steady_clock::now();

// One line per run of the suite for scripts/test, outside GoogleTest's own output.
class FaultSummary : public ::testing::Environment {
public:
    void TearDown() override {
        if (!failTally.ran && !killTally.ran) {
            return;
        }
        auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                           std::chrono::steady_clock::now() - suiteStart)
                           .count();
        std::printf(
            "fault injection: %lld failure cases (%lld broken), %lld kill cases (%lld broken), "
            "%lld s\n",
            failTally.cases, failTally.broken, killTally.cases, killTally.broken,
            static_cast<long long>(seconds));
        for (const Tally* tally : {&failTally, &killTally}) {
            for (const auto& [kind, count] : tally->kinds) {
                std::printf("fault injection: %s %s in %lld cases\n",
                            tally == &failTally ? "failures break" : "kills break", kind.c_str(),
                            count);
            }
        }
        std::fflush(stdout);
    }
};

[[maybe_unused]] ::testing::Environment* const summary =
    ::testing::AddGlobalTestEnvironment(new FaultSummary);

class FaultInjection : public ::testing::Test {
protected:
    static PasswordHashing& Hashing() {
        static std::unique_ptr<Platform> platform =
            CreatePlatform(PathMap::ForRoot(FaultCaseBase().string()));
        return platform->Passwords();
    }
    static const FaultScenario& Scenario() {
        static FaultScenario scenario(Hashing());
        return scenario;
    }

    // The scenario under the fault library; `at` 0 only counts.
    static ChildResult Run(const FaultSandbox& sandbox, const char* mode, long long at) {
        std::vector<std::string> env(EnvironmentWithout(
            std::vector<std::string>(std::begin(kFaultVariables), std::end(kFaultVariables))));
        env.push_back(std::string("LD_PRELOAD=") + QUORVEX_FAULT_PRELOAD);
        env.push_back("QV_FAULT_ROOT=" + sandbox.Root());
        env.push_back("QV_FAULT_AT=" + std::to_string(at));
        env.push_back(std::string("QV_FAULT_MODE=") + mode);
        env.push_back("QV_FAULT_REPORT=" + sandbox.ReportPath());
        return RunChild({QUORVEX_FAULT_DRIVER, "run", sandbox.Root(), FaultScenario::kPassword,
                         FaultScenario::kNewPassword},
                        env, kTimeLimit);
    }

    // The next start, without faults, with the password the settings hold (P if neither).
    static ChildResult NextStart(const FaultSandbox& sandbox) {
        std::string password = StoredPassword(sandbox, Hashing());
        if (password.empty()) {
            password = FaultScenario::kPassword;
        }
        std::vector<std::string> env(EnvironmentWithout(
            std::vector<std::string>(std::begin(kFaultVariables), std::end(kFaultVariables))));
        return RunChild({QUORVEX_FAULT_DRIVER, "check", sandbox.Root(), password}, env, kTimeLimit);
    }

    // Every k from 1 until a run ends before its k-th call: each case is checked after the
    // run and after the next start, and reported with the call that failed.
    static void EveryCall(const char* mode, Tally& tally) {
        tally.ran = true;
        bool kill = std::string(mode) == "kill";
        for (long long k = 1;; ++k) {
            if (k > kMostCalls) {
                ADD_FAILURE() << "more than " << kMostCalls << " counted calls in one run";
                return;
            }
            FaultSandbox sandbox(Scenario());
            ChildResult run = Run(sandbox, mode, k);
            Transcript runShown(run.output);
            Report report = ReadReport(sandbox.ReportPath());
            if (!report.found || report.calls < 0) {
                ADD_FAILURE() << "k=" << k << " mode=" << mode
                              << ": the fault library wrote no report; the run " << run.Describe()
                              << "\n"
                              << runShown.Text();
                return;
            }
            if (report.calls < k) {
                return;  // past the last call: this run went untouched
            }
            ++tally.cases;

            std::vector<std::string> broken;
            if (kill) {
                if (run.signal != SIGKILL || report.ending != "killed") {
                    broken.push_back("[run] the run was to be killed at the call, but it " +
                                     run.Describe());
                }
            } else if (!run.exited || run.exitCode != 0 || !runShown.HasPrefix("exit ")) {
                broken.push_back("[run] the run " + run.Describe());
            }
            for (const std::string& b :
                 CheckInvariants(Scenario(), sandbox, Hashing(), runShown, nullptr)) {
                broken.push_back("after the run: " + b);
            }
            ChildResult next = NextStart(sandbox);
            Transcript nextShown(next.output);
            if (!next.exited || next.exitCode != 0) {
                broken.push_back("[next start] the next start " + next.Describe());
            }
            for (const std::string& b :
                 CheckInvariants(Scenario(), sandbox, Hashing(), runShown, &nextShown)) {
                broken.push_back("after the next start: " + b);
            }
            if (broken.empty()) {
                continue;
            }
            ++tally.broken;
            std::map<std::string, bool> kinds;
            std::ostringstream text;
            for (const std::string& b : broken) {
                text << "  " << b << "\n";
                size_t open = b.find('[');
                kinds[b.substr(open, b.find(']', open) - open + 1)] = true;
            }
            for (const auto& kind : kinds) {
                ++tally.kinds[kind.first];
            }
            ADD_FAILURE() << "k=" << k << " mode=" << mode << " call=" << report.call
                          << " path=" << report.path << "\n"
                          << text.str() << "the run (" << run.Describe() << ") showed:\n"
                          << runShown.Text() << "the next start (" << next.Describe()
                          << ") showed:\n"
                          << nextShown.Text();
        }
    }
};

// Without a fault the scenario runs through, every check holds, and the library counts.
TEST_F(FaultInjection, UntouchedRunPassesEveryCheck) {
    FaultSandbox sandbox(Scenario());
    ChildResult run = Run(sandbox, "fail", 0);
    Transcript shown(run.output);
    ASSERT_TRUE(run.exited) << run.Describe() << "\n" << shown.Text();
    EXPECT_EQ(run.exitCode, 0) << shown.Text();
    Report report = ReadReport(sandbox.ReportPath());
    EXPECT_EQ(report.ending, "exit");
    EXPECT_GE(report.calls, 50) << "too few calls counted in the sandbox";
    EXPECT_EQ(shown.Lines(),
              (std::vector<std::string>{
                  "dialog 145", "dialog 130", "main window shown", "step add", "dialog 131",
                  "step save", "step reset-password", "dialog 143", "user: new password accepted",
                  "step view-log", "step save-log",
                  MessageLine("Decrypted log file saved as \"quorvexlog.txt\".", "", kMbOk),
                  "step close-log", "step exit", "main window closed", "exit 0"}));
    EXPECT_EQ(CheckInvariants(Scenario(), sandbox, Hashing(), shown, nullptr),
              std::vector<std::string>{});
    EXPECT_EQ(sandbox.Hosts(), Scenario().hostsAfter);
    EXPECT_EQ(StoredPassword(sandbox, Hashing()), FaultScenario::kNewPassword);
    ASSERT_TRUE(sandbox.DecryptedCopy().has_value());
    EXPECT_NE(sandbox.DecryptedCopy()->find("User added \"new.example\" to restrictions\n"),
              std::string::npos);

    ChildResult next = NextStart(sandbox);
    Transcript nextShown(next.output);
    EXPECT_TRUE(next.exited && next.exitCode == 0) << next.Describe();
    EXPECT_EQ(nextShown.Lines(),
              (std::vector<std::string>{"dialog 145", "dialog 130", "main window shown",
                                        "step exit", "main window closed", "exit 0"}));
    EXPECT_EQ(CheckInvariants(Scenario(), sandbox, Hashing(), shown, &nextShown),
              std::vector<std::string>{});
}

// The library acts on the call it counts and names it: the first call fails, or the process
// dies before it.
TEST_F(FaultInjection, LibraryNamesTheCallItActsOn) {
    {
        FaultSandbox sandbox(Scenario());
        ChildResult run = Run(sandbox, "fail", 1);
        Report report = ReadReport(sandbox.ReportPath());
        EXPECT_GE(report.calls, 1);
        EXPECT_FALSE(report.call.empty());
        EXPECT_TRUE(report.path.rfind(sandbox.Root(), 0) == 0 ||
                    (!report.path.empty() && report.path[0] != '/'))
            << report.path;
        EXPECT_EQ(report.ending, "exit") << run.Describe();
    }
    {
        FaultSandbox sandbox(Scenario());
        ChildResult run = Run(sandbox, "kill", 1);
        Report report = ReadReport(sandbox.ReportPath());
        EXPECT_EQ(run.signal, SIGKILL) << run.Describe();
        EXPECT_EQ(report.calls, 1);
        EXPECT_EQ(report.ending, "killed");
        EXPECT_FALSE(report.call.empty());
    }
}

TEST_F(FaultInjection, EveryCallFails) {
    EveryCall("fail", failTally);
}

TEST_F(FaultInjection, KillBeforeEveryCall) {
    EveryCall("kill", killTally);
}

}  // namespace
}  // namespace qv::test
