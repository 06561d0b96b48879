#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace qv::test {

// How a child process ended, and what it printed (standard output and error together).
struct ChildResult {
    bool started = false;
    bool timedOut = false;  // killed by us after the time limit
    bool exited = false;    // ended by returning from main or exit()
    int exitCode = -1;
    int signal = 0;  // the signal that ended it, when it did not exit
    std::string output;

    std::string Describe() const;
};

// Runs `argv` with exactly the environment `env` ("NAME=value"); a run that takes longer than
// `limit` is killed and reported as timed out.
ChildResult RunChild(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                     std::chrono::milliseconds limit);

// This process's environment without the variables named in `drop`.
std::vector<std::string> EnvironmentWithout(const std::vector<std::string>& drop);

}  // namespace qv::test
