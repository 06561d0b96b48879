#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Show mode of a window the shell opens: SW_SHOWNORMAL.
inline constexpr int kShowNormal = 1;

// Result codes of the shell, with the meaning of ShellExecute and WinExec: above 32 is
// success, 32 and below say what failed. Linux failures are mapped onto the nearest of them.
namespace shell {
inline constexpr intptr_t kOutOfResources = 0;
inline constexpr intptr_t kFileNotFound = 2;
inline constexpr intptr_t kPathNotFound = 3;
inline constexpr intptr_t kAccessDenied = 5;
inline constexpr intptr_t kOutOfMemory = 8;
inline constexpr intptr_t kBadFormat = 11;
inline constexpr intptr_t kSharingViolation = 26;
inline constexpr intptr_t kAssociationIncomplete = 27;
inline constexpr intptr_t kNoAssociation = 31;
inline constexpr intptr_t kStarted = 33;  // what we report for a successful start of our own
}  // namespace shell

// The desktop's ways of opening a web address or a "mailto:" address.
class Shell {
public:
    virtual ~Shell() = default;

    // Asks the desktop to open `target` with the program registered for it (Windows:
    // ShellExecuteA "open"; Linux: xdg-open).
    virtual intptr_t Open(const std::string& target, int show) = 0;

    // The web browser's registered command line, its placeholder still in it (Windows: the
    // default value of the ".htm" class's "shell\open\command" under the classes root; Linux:
    // the Exec line of the desktop entry of the default https handler). 0, or the code of the
    // lookup that failed.
    virtual long ReadBrowserCommand(std::string& command) = 0;

    // Runs `command`, as ReadBrowserCommand gave it, directly with `target` in place of its
    // placeholder and of everything after it (Windows: WinExec; Linux: fork and exec, never
    // through a shell).
    virtual intptr_t RunBrowser(const std::string& command, const std::string& target,
                                int show) = 0;
};

// This build's shell.
std::unique_ptr<Shell> CreateShell();

// A registered Windows command with the target put in: cut at the first "\"%1\"", else at
// the first "%1" (else kept whole), then one space and the target, unquoted.
inline std::string RegistryCommandLine(std::string_view command, std::string_view target) {
    size_t cut = command.find("\"%1\"");
    if (cut == std::string_view::npos) {
        cut = command.find("%1");
    }
    std::string line(command.substr(0, cut));
    line += ' ';
    line += target;
    return line;
}

#ifndef _WIN32
// The Linux shell's helpers and limits; tests point them at stand-ins.
struct PosixShellOptions {
    std::string openProgram = "xdg-open";
    std::string mimeProgram = "xdg-mime";
    // Where desktop entries are looked up, in order; empty: $XDG_DATA_HOME (or
    // ~/.local/share), then $XDG_DATA_DIRS (or /usr/local/share and /usr/share).
    std::vector<std::string> dataDirectories;
    // How long a helper may run before its start counts as success: xdg-open may stay until
    // the browser it started ends.
    int waitMilliseconds = 3000;
};

std::unique_ptr<Shell> CreatePosixShell(PosixShellOptions options);

// The words of a desktop entry's Exec line cut at its first %u, %U, %f or %F, with `target`
// as the last word. Empty when the line cannot be split (an open quote, no program).
std::vector<std::string> DesktopCommandArguments(std::string_view exec, std::string_view target);
#endif

}  // namespace qv
