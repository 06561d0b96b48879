#include "faults/FaultChecks.h"

#include <optional>
#include <sstream>

#include "access/PasswordHash.h"
#include "framework/headless/HeadlessToolkit.h"
#include "platform/IniDocument.h"

namespace qv::test {
namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Lines split at LF with a CR before it dropped, as the program reads text.
std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : bytes) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> NonEmptyLines(const std::string& bytes) {
    std::vector<std::string> out;
    for (std::string& line : SplitLines(bytes)) {
        if (!line.empty()) {
            out.push_back(std::move(line));
        }
    }
    return out;
}

bool IsPrefix(const std::vector<std::string>& prefix, const std::vector<std::string>& of) {
    if (prefix.size() > of.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (prefix[i] != of[i]) {
            return false;
        }
    }
    return true;
}

// Long file contents are cut in failure messages.
std::string Shown(const std::string& bytes) {
    constexpr size_t kLimit = 600;
    if (bytes.size() <= kLimit) {
        return Visible(bytes);
    }
    return Visible(bytes.substr(0, kLimit)) + "... (" + std::to_string(bytes.size()) + " bytes)";
}

bool Matches(PasswordHashing& hashing, const std::string& stored, const char* password) {
    return VerifyPassword(hashing, stored, password) == PasswordMatch::Right;
}

void CheckSettings(const FaultSandbox& sandbox, PasswordHashing& hashing,
                   std::vector<std::string>& broken) {
    std::optional<std::string> settings = sandbox.EffectiveSettings();
    if (!settings) {
        broken.push_back("[settings] neither Quorvex.ini nor Quorvex.cpt exists");
        return;
    }
    IniDocument document;
    document.Parse(*settings);
    std::vector<std::string> wrong;
    for (const char* key : {"Installed", "ReqPass", "Set"}) {
        std::optional<std::string> value = document.Get("Main", key);
        if (!value || *value != "1") {
            wrong.push_back(std::string(key) + (value ? " is " + *value : " is missing"));
        }
    }
    std::optional<std::string> stored = document.Get("Main", "Password");
    if (!stored) {
        wrong.push_back("Password is missing");
    } else if (!Matches(hashing, *stored, FaultScenario::kPassword) &&
               !Matches(hashing, *stored, FaultScenario::kNewPassword)) {
        wrong.push_back("Password verifies neither P nor Q");
    }
    if (!wrong.empty()) {
        std::string what;
        for (const std::string& w : wrong) {
            what += (what.empty() ? "" : ", ") + w;
        }
        broken.push_back("[settings] " + what + "; the settings read: " + Shown(*settings));
    }
}

void CheckLog(const FaultScenario& scenario, const FaultSandbox& sandbox,
              std::vector<std::string>& broken) {
    std::optional<std::string> log = sandbox.EffectiveLog();
    if (!log) {
        broken.push_back("[log] neither Quorvexlog.log nor Quorvexlog.cpt exists");
    } else if (!StartsWith(*log, scenario.log)) {
        broken.push_back("[log] the log lost its history; it reads: " + Shown(*log));
    }
}

// The decrypted copy holds the log's lines as the log view listed them: the history, and
// nothing the log itself does not hold.
void CheckDecryptedCopy(const FaultScenario& scenario, const FaultSandbox& sandbox,
                        std::vector<std::string>& broken) {
    std::optional<std::string> copy = sandbox.DecryptedCopy();
    if (!copy) {
        broken.push_back("[decrypted log] reported saved, but quorvexlog.txt does not exist");
        return;
    }
    std::vector<std::string> lines = SplitLines(*copy);
    std::vector<std::string> log = NonEmptyLines(sandbox.EffectiveLog().value_or(""));
    bool complete = !copy->empty() && copy->back() == '\n';
    if (!complete || !IsPrefix(NonEmptyLines(scenario.log), lines) || !IsPrefix(lines, log)) {
        broken.push_back(
            "[decrypted log] reported saved, but quorvexlog.txt does not hold the log's lines: " +
            Shown(*copy));
    }
}

}  // namespace

Transcript::Transcript(const std::string& output) : lines(SplitLines(output)) {}

bool Transcript::Has(const std::string& line) const {
    for (const std::string& l : lines) {
        if (l == line) {
            return true;
        }
    }
    return false;
}

bool Transcript::HasPrefix(const std::string& prefix) const {
    for (const std::string& l : lines) {
        if (StartsWith(l, prefix)) {
            return true;
        }
    }
    return false;
}

bool Transcript::Reached(const std::string& step) const {
    return Has("step " + step);
}

std::vector<std::string> Transcript::Step(const std::string& name) const {
    std::vector<std::string> out;
    bool inside = false;
    for (const std::string& l : lines) {
        if (StartsWith(l, "step ")) {
            if (inside) {
                break;
            }
            inside = l == "step " + name;
            continue;
        }
        if (inside) {
            out.push_back(l);
        }
    }
    return out;
}

std::string Transcript::Text() const {
    std::string out;
    for (const std::string& l : lines) {
        out += "    " + l + "\n";
    }
    return out;
}

std::string MessageLine(const std::string& text, const std::string& caption, unsigned style) {
    return DescribeMessage(text, caption, style);
}

std::string StoredPassword(const FaultSandbox& sandbox, PasswordHashing& hashing) {
    std::optional<std::string> settings = sandbox.EffectiveSettings();
    if (!settings) {
        return "";
    }
    IniDocument document;
    document.Parse(*settings);
    std::string stored = document.Get("Main", "Password").value_or("");
    if (Matches(hashing, stored, FaultScenario::kNewPassword)) {
        return FaultScenario::kNewPassword;
    }
    if (Matches(hashing, stored, FaultScenario::kPassword)) {
        return FaultScenario::kPassword;
    }
    return "";
}

std::vector<std::string> CheckInvariants(const FaultScenario& scenario, const FaultSandbox& sandbox,
                                         PasswordHashing& hashing, const Transcript& run,
                                         const Transcript* nextStart) {
    std::vector<std::string> broken;

    std::string hosts = sandbox.Hosts();
    if (hosts != scenario.hostsBefore && hosts != scenario.hostsAfter) {
        broken.push_back("[hosts] the hosts file is neither as it was nor as saved: " +
                         Shown(hosts));
    }
    CheckSettings(sandbox, hashing, broken);
    CheckLog(scenario, sandbox, broken);

    // What the run reported as done must be so.
    auto stepHas = [&run](const std::string& step, const std::string& prefix) {
        for (const std::string& line : run.Step(step)) {
            if (StartsWith(line, prefix)) {
                return true;
            }
        }
        return false;
    };
    if (run.Reached("view-log") && stepHas("reset-password", "user: new password accepted") &&
        !stepHas("reset-password", "message: Unable to store the password. |") &&
        StoredPassword(sandbox, hashing) != FaultScenario::kNewPassword) {
        broken.push_back(
            "[password] Reset Password went by without an error, but the stored password is "
            "not the new one");
    }
    if (run.HasPrefix("message: Decrypted log file saved as \"quorvexlog.txt\". |")) {
        CheckDecryptedCopy(scenario, sandbox, broken);
    }
    if (run.Reached("save") && run.Reached("reset-password") && !stepHas("save", "message: ") &&
        hosts != scenario.hostsAfter) {
        broken.push_back(
            "[save] Save went by without a message, but the hosts file is not "
            "the saved one: " +
            Shown(hosts));
    }

    if (nextStart != nullptr) {
        if (nextStart->Has("user: first-run prompt, cancelled")) {
            broken.push_back("[first run] the next start took itself for a first run");
        }
        if (!nextStart->Has("main window shown")) {
            broken.push_back("[next start] the next start did not reach the main window");
        }
    }
    return broken;
}

}  // namespace qv::test
