#include "faults/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace qv::test {

std::string ChildResult::Describe() const {
    if (!started) {
        return "could not be started";
    }
    if (timedOut) {
        return "hung (killed after the time limit)";
    }
    if (exited) {
        return "exited with code " + std::to_string(exitCode);
    }
    return "ended by signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
}

std::vector<std::string> EnvironmentWithout(const std::vector<std::string>& drop) {
    std::vector<std::string> out;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string text = *entry;
        std::string name = text.substr(0, text.find('='));
        bool dropped = false;
        for (const std::string& d : drop) {
            dropped = dropped || name == d;
        }
        if (!dropped) {
            out.push_back(text);
        }
    }
    return out;
}

ChildResult RunChild(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                     std::chrono::milliseconds limit) {
    ChildResult result;
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    std::vector<char*> vars;
    for (const std::string& v : env) {
        vars.push_back(const_cast<char*>(v.c_str()));
    }
    vars.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return result;
    }
    pid_t pid = ::fork();
    if (pid < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return result;
    }
    if (pid == 0) {
        ::dup2(pipeFds[1], 1);
        ::dup2(pipeFds[1], 2);
        int devNull = ::open("/dev/null", O_RDONLY);
        if (devNull >= 0) {
            ::dup2(devNull, 0);
        }
        ::execve(args[0], args.data(), vars.data());
        ::_exit(127);
    }
    result.started = true;
    ::close(pipeFds[1]);

    auto deadline = std::chrono::steady_clock::now() + limit;
    char buffer[4096];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            ::kill(pid, SIGKILL);
            break;
        }
        pollfd p{pipeFds[0], POLLIN, 0};
        int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            continue;  // the deadline is checked above
        }
        ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;  // every writer is gone
        }
        result.output.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
        result.exited = true;
        result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    return result;
}

}  // namespace qv::test
