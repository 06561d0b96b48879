#pragma once

#include <string>
#include <vector>

#include "faults/FaultSandbox.h"
#include "platform/PasswordHashing.h"

namespace qv::test {

// What the driver printed, one event a line.
class Transcript {
public:
    explicit Transcript(const std::string& output);

    const std::vector<std::string>& Lines() const { return lines; }
    bool Has(const std::string& line) const;
    bool HasPrefix(const std::string& prefix) const;
    // Whether the user got as far as starting step `name`.
    bool Reached(const std::string& step) const;
    // The lines from step `name` up to the next step.
    std::vector<std::string> Step(const std::string& name) const;
    std::string Text() const;

private:
    std::vector<std::string> lines;
};

// The message box lines as the driver prints them.
std::string MessageLine(const std::string& text, const std::string& caption, unsigned style);

// The state a run left behind, checked against what must hold whatever failed. `run` is what
// the run showed (its claims of success are checked against the files); `nextStart`, when
// given, is the transcript of the clean start that followed. Each broken rule is one line,
// starting with its kind in brackets.
std::vector<std::string> CheckInvariants(const FaultScenario& scenario, const FaultSandbox& sandbox,
                                         PasswordHashing& hashing, const Transcript& run,
                                         const Transcript* nextStart);

// Which stored password the settings hold: P, Q, or neither (empty).
std::string StoredPassword(const FaultSandbox& sandbox, PasswordHashing& hashing);

}  // namespace qv::test
