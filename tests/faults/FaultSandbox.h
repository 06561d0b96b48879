#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/PasswordHashing.h"

namespace qv::test {

// What every fault case starts from, and what a run may leave behind.
struct FaultScenario {
    static constexpr const char* kPassword = "first-pass";      // P: stored before the run
    static constexpr const char* kNewPassword = "second-pass";  // Q: set by the run

    // Builds the fixed files; the password hash is made once, with 1000 iterations.
    explicit FaultScenario(PasswordHashing& hashing);

    std::string hostsBefore;  // H0
    std::string hostsAfter;   // H1: H0 and the added restriction
    std::string settings;     // the plain settings of an installed program with password P
    std::string log;          // L0: the log's history
};

// A fresh sandbox root for one case: ROOT/etc/hosts, and the scrambled settings and log in
// ROOT/var/lib/quorvex. Removed with the object. The report file lies beside the root.
class FaultSandbox {
public:
    explicit FaultSandbox(const FaultScenario& scenario);
    ~FaultSandbox();
    FaultSandbox(const FaultSandbox&) = delete;
    FaultSandbox& operator=(const FaultSandbox&) = delete;

    std::string Root() const { return root.string(); }
    std::string ReportPath() const { return (base / "report").string(); }

    std::string Hosts() const;
    // The settings as the next start reads them: the plain file when there is one, else the
    // scrambled file unscrambled; nothing when neither exists.
    std::optional<std::string> EffectiveSettings() const;
    // The log the same way.
    std::optional<std::string> EffectiveLog() const;
    // ROOT/quorvexlog.txt, the decrypted copy of the log.
    std::optional<std::string> DecryptedCopy() const;

private:
    std::optional<std::string> Effective(const std::string& plain,
                                         const std::string& scrambled) const;
    std::filesystem::path base;
    std::filesystem::path root;
};

// Where cases are made: /dev/shm when there is one, else the temporary directory.
std::filesystem::path FaultCaseBase();

std::string Scramble(std::string bytes);
std::optional<std::string> ReadFile(const std::filesystem::path& path);
// Bytes shown with their line ends visible, for failure messages.
std::string Visible(const std::string& bytes);

}  // namespace qv::test
