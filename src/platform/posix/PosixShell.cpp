#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Shell.h"
#include "platform/Text.h"

namespace qv {
namespace {

constexpr size_t kOutputLimit = 64 * 1024;

// The nearest Windows code for a failed start.
intptr_t CodeForErrno(int error) {
    switch (error) {
        case ENOENT:
            return shell::kFileNotFound;
        case ENOTDIR:
        case ELOOP:
        case ENAMETOOLONG:
            return shell::kPathNotFound;
        case EACCES:
        case EPERM:
            return shell::kAccessDenied;
        case ENOMEM:
        case E2BIG:
            return shell::kOutOfMemory;
        case EAGAIN:
        case EMFILE:
        case ENFILE:
            return shell::kOutOfResources;
        case ETXTBSY:
            return shell::kSharingViolation;
        default:  // ENOEXEC, ELIBBAD, EIO ...: the program's image cannot be run
            return shell::kBadFormat;
    }
}

// xdg-open's exit codes: 1 bad arguments, 2 no such file, 3 a required tool is missing,
// 4 the action failed (typically: nothing is set up to open the target).
intptr_t CodeForOpenStatus(int status) {
    if (!WIFEXITED(status)) {
        return shell::kAssociationIncomplete;
    }
    switch (WEXITSTATUS(status)) {
        case 0:
            return shell::kStarted;
        case 2:
            return shell::kFileNotFound;
        case 3:
        case 4:
            return shell::kNoAssociation;
        default:
            return shell::kAssociationIncomplete;
    }
}

// Finds `name` the way execvp would, but here, before forking: the child then only calls
// functions that are safe after a fork. 0 and the path, or the errno execvp would give.
int ResolveProgram(const std::string& name, std::string& path) {
    if (name.empty()) {
        return ENOENT;
    }
    auto usable = [](const std::string& candidate) {
        struct stat st;
        if (::stat(candidate.c_str(), &st) != 0) {
            return errno;
        }
        if (!S_ISREG(st.st_mode) || ::access(candidate.c_str(), X_OK) != 0) {
            return EACCES;
        }
        return 0;
    };
    if (name.find('/') != std::string::npos) {
        path = name;
        return usable(name);
    }
    const char* searchPath = std::getenv("PATH");
    std::string_view dirs = searchPath != nullptr ? searchPath : "/usr/local/bin:/usr/bin:/bin";
    int error = ENOENT;
    while (true) {
        size_t colon = dirs.find(':');
        std::string_view dir = dirs.substr(0, colon);
        std::string candidate = (dir.empty() ? std::string(".") : std::string(dir)) + "/" + name;
        int found = usable(candidate);
        if (found == 0) {
            path = candidate;
            return 0;
        }
        if (found == EACCES) {
            error = EACCES;
        }
        if (colon == std::string_view::npos) {
            return error;
        }
        dirs.remove_prefix(colon + 1);
    }
}

class Pipe {
public:
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    bool Open() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            return false;
        }
        read = fds[0];
        write = fds[1];
        return true;
    }
    void CloseRead() {
        if (read >= 0) {
            ::close(read);
            read = -1;
        }
    }
    void CloseWrite() {
        if (write >= 0) {
            ::close(write);
            write = -1;
        }
    }
    int read = -1;
    int write = -1;
};

// What a child tells us through the report pipe.
struct Report {
    char kind;  // 'E': the start failed with errno `value`; 'X': it ended with wait status `value`
    int value;
};

void SendReport(int fd, char kind, int value) {
    Report report{};  // no stray bytes in the padding
    report.kind = kind;
    report.value = value;
    if (::write(fd, &report, sizeof report) < 0) {
        // Nobody is listening any more; there is no one else to tell.
    }
}

[[noreturn]] void ExecOrReport(const char* path, char* const* argv, int outputFd, int reportFd) {
    if (outputFd == STDOUT_FILENO) {
        ::fcntl(outputFd, F_SETFD, 0);
    } else if (outputFd >= 0) {
        ::dup2(outputFd, STDOUT_FILENO);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGPIPE, SIG_DFL);
    ::execv(path, argv);
    SendReport(reportFd, 'E', errno);
    _exit(127);
}

struct Outcome {
    int startError = 0;  // errno of a fork or exec that failed
    bool ended = false;  // the program ended within the wait
    int status = 0;      // its wait status
};

// Starts `words` detached from us: an intermediate child ends at once, so the program runs
// under init and nothing is left for us to reap, and it gets a session of its own. With
// `waitForEnd`, a watcher in between reports how the program ended if it ends within
// `waitMilliseconds`; `output` collects its standard output.
Outcome Spawn(const std::vector<std::string>& words, bool waitForEnd, int waitMilliseconds,
              std::string* output) {
    Outcome outcome;
    std::string path;
    if (int error = ResolveProgram(words.front(), path); error != 0) {
        outcome.startError = error;
        return outcome;
    }
    std::vector<char*> argv;
    for (const std::string& word : words) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);

    Pipe report;
    Pipe out;
    if (!report.Open() || (output != nullptr && !out.Open())) {
        outcome.startError = errno;
        return outcome;
    }
    pid_t first = ::fork();
    if (first < 0) {
        outcome.startError = errno;
        return outcome;
    }
    if (first == 0) {
        pid_t second = ::fork();
        if (second != 0) {
            if (second < 0) {
                SendReport(report.write, 'E', errno);
            }
            _exit(0);
        }
        ::setsid();
        if (!waitForEnd) {
            ExecOrReport(path.c_str(), argv.data(), out.write, report.write);
        }
        pid_t program = ::fork();
        if (program < 0) {
            SendReport(report.write, 'E', errno);
            _exit(0);
        }
        if (program == 0) {
            ExecOrReport(path.c_str(), argv.data(), out.write, report.write);
        }
        // The watcher needs none of our standard streams: it must not hold a pipe reader
        // of ours open while it waits.
        for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
            if (fd != report.write && fd != out.write) {
                ::close(fd);
            }
        }
        int status = 0;
        while (::waitpid(program, &status, 0) < 0) {
            if (errno != EINTR) {
                _exit(0);
            }
        }
        SendReport(report.write, 'X', status);
        _exit(0);
    }
    report.CloseWrite();
    out.CloseWrite();
    int ignored = 0;
    while (::waitpid(first, &ignored, 0) < 0 && errno == EINTR) {
    }

    // Read the reports (and the output) until both pipes close or the time is up.
    std::string reports;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
    while (report.read >= 0 || out.read >= 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) {
            break;
        }
        pollfd fds[2];
        int* owners[2];
        nfds_t count = 0;
        for (int* fd : {&report.read, &out.read}) {
            if (*fd >= 0) {
                fds[count] = pollfd{*fd, POLLIN, 0};
                owners[count++] = fd;
            }
        }
        int ready = ::poll(fds, count, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            break;
        }
        for (nfds_t i = 0; i < count; ++i) {
            if (fds[i].revents == 0) {
                continue;
            }
            char buffer[4096];
            ssize_t got = ::read(*owners[i], buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                ::close(*owners[i]);
                *owners[i] = -1;
            } else if (owners[i] == &report.read) {
                reports.append(buffer, static_cast<size_t>(got));
            } else if (output->size() < kOutputLimit) {
                output->append(buffer, static_cast<size_t>(got));
            }
        }
    }
    for (size_t at = 0; at + sizeof(Report) <= reports.size(); at += sizeof(Report)) {
        Report r{};
        std::memcpy(&r, reports.data() + at, sizeof r);
        if (r.kind == 'E') {
            outcome.startError = r.value;
        } else if (r.kind == 'X') {
            outcome.ended = true;
            outcome.status = r.value;
        }
    }
    return outcome;
}

// Where desktop entries live, most important first.
std::vector<std::string> DefaultDataDirectories() {
    std::vector<std::string> dirs;
    const char* home = std::getenv("XDG_DATA_HOME");
    if (home != nullptr && *home != '\0') {
        dirs.push_back(home);
    } else if (const char* user = std::getenv("HOME"); user != nullptr && *user != '\0') {
        dirs.push_back(std::string(user) + "/.local/share");
    }
    const char* shared = std::getenv("XDG_DATA_DIRS");
    std::string_view list =
        shared != nullptr && *shared != '\0' ? shared : "/usr/local/share:/usr/share";
    while (!list.empty()) {
        size_t colon = list.find(':');
        if (std::string_view dir = list.substr(0, colon); !dir.empty()) {
            dirs.emplace_back(dir);
        }
        list.remove_prefix(colon == std::string_view::npos ? list.size() : colon + 1);
    }
    return dirs;
}

bool IsRegularFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A desktop file id names "applications/<id>", or "applications/vendor/rest" for
// "vendor-rest".
std::string FindDesktopEntry(const std::string& id, const std::vector<std::string>& dirs) {
    for (const std::string& dir : dirs) {
        std::string base = dir + "/applications/";
        if (IsRegularFile(base + id)) {
            return base + id;
        }
        for (size_t dash = id.find('-'); dash != std::string::npos; dash = id.find('-', dash + 1)) {
            std::string nested = base + id.substr(0, dash) + "/" + id.substr(dash + 1);
            if (IsRegularFile(nested)) {
                return nested;
            }
        }
    }
    return std::string();
}

// The Exec value of the file's [Desktop Entry] group, as written; empty when there is none.
std::string ReadDesktopExec(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    bool inEntry = false;
    while (std::getline(in, line)) {
        std::string_view text = TrimBlanks(line);
        if (text.empty() || text.front() == '#') {
            continue;
        }
        if (text.front() == '[') {
            if (inEntry) {
                break;
            }
            inEntry = text == "[Desktop Entry]";
            continue;
        }
        size_t equals = text.find('=');
        if (inEntry && equals != std::string_view::npos &&
            TrimBlanks(text.substr(0, equals)) == "Exec") {
            return std::string(TrimBlanks(text.substr(equals + 1)));
        }
    }
    return std::string();
}

bool IsValidDesktopId(std::string_view id) {
    constexpr std::string_view kSuffix = ".desktop";
    return id.size() > kSuffix.size() && id.substr(id.size() - kSuffix.size()) == kSuffix &&
           id.find('/') == std::string_view::npos && id.front() != '.';
}

class PosixShell : public Shell {
public:
    explicit PosixShell(PosixShellOptions options) : options(std::move(options)) {}

    intptr_t Open(const std::string& target, int) override {
        Outcome outcome =
            Spawn({options.openProgram, target}, true, options.waitMilliseconds, nullptr);
        if (outcome.startError != 0) {
            return CodeForErrno(outcome.startError);
        }
        // Still running when the wait ended: it has taken the target over.
        return outcome.ended ? CodeForOpenStatus(outcome.status) : shell::kStarted;
    }

    long ReadBrowserCommand(std::string& command) override {
        std::string output;
        Outcome outcome = Spawn({options.mimeProgram, "query", "default", "x-scheme-handler/https"},
                                true, options.waitMilliseconds, &output);
        if (outcome.startError != 0) {
            return static_cast<long>(CodeForErrno(outcome.startError));
        }
        if (!outcome.ended || !WIFEXITED(outcome.status) || WEXITSTATUS(outcome.status) != 0) {
            return shell::kFileNotFound;
        }
        std::string id(TrimBlanks(std::string_view(output).substr(0, output.find('\n'))));
        if (!IsValidDesktopId(id)) {
            return shell::kFileNotFound;
        }
        std::string entry =
            FindDesktopEntry(id, options.dataDirectories.empty() ? DefaultDataDirectories()
                                                                 : options.dataDirectories);
        std::string exec = entry.empty() ? std::string() : ReadDesktopExec(entry);
        if (exec.empty()) {
            return shell::kFileNotFound;
        }
        command = exec;
        return 0;
    }

    intptr_t RunBrowser(const std::string& command, const std::string& target, int) override {
        std::vector<std::string> words = DesktopCommandArguments(command, target);
        if (words.empty()) {
            return shell::kAssociationIncomplete;
        }
        Outcome outcome = Spawn(words, false, options.waitMilliseconds, nullptr);
        return outcome.startError != 0 ? CodeForErrno(outcome.startError) : shell::kStarted;
    }

private:
    PosixShellOptions options;
};

// The escapes of a desktop entry's string values: \s, \n, \t, \r and \\.
std::string UnescapeValue(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                out += '\\';
                out += value[i];
                break;
        }
    }
    return out;
}

// Field codes the browser's line may hold before its target placeholder; they expand to
// nothing we have (an icon, a name, a location) or are deprecated.
bool IsDroppedFieldCode(std::string_view word) {
    return word.size() == 2 && word[0] == '%' &&
           std::string_view("icknNdDvm").find(word[1]) != std::string_view::npos;
}

}  // namespace

std::vector<std::string> DesktopCommandArguments(std::string_view exec, std::string_view target) {
    std::string line = UnescapeValue(exec);
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        if (line[i] != '%') {
            continue;
        }
        char code = line[i + 1];
        if (code == 'u' || code == 'U' || code == 'f' || code == 'F') {
            line.resize(i);
            break;
        }
        ++i;  // "%%" and the other codes are whole; "%%u" is no placeholder
    }

    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '\\' && i + 1 < line.size() &&
                std::string_view("\"`$\\").find(line[i + 1]) != std::string_view::npos) {
                word += line[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) {
                words.push_back(word);
            }
            word.clear();
            inWord = false;
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) {
        return {};  // cut inside quotes, or never closed
    }
    if (inWord) {
        words.push_back(word);
    }

    std::vector<std::string> arguments;
    for (std::string& w : words) {
        if (IsDroppedFieldCode(w)) {
            continue;
        }
        for (size_t at = w.find("%%"); at != std::string::npos; at = w.find("%%", at + 1)) {
            w.erase(at, 1);
        }
        arguments.push_back(std::move(w));
    }
    if (arguments.empty()) {
        return {};
    }
    arguments.emplace_back(target);
    return arguments;
}

std::unique_ptr<Shell> CreatePosixShell(PosixShellOptions options) {
    return std::make_unique<PosixShell>(std::move(options));
}

std::unique_ptr<Shell> CreateShell() {
    return CreatePosixShell(PosixShellOptions());
}

}  // namespace qv
