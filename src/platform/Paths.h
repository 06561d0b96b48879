#pragma once

#include <string>
#include <string_view>

namespace qv {

// Maps the fixed Windows paths the program uses onto the machine's file system.
//
// With an empty root the paths are used as they are (the Windows build in production).
// With a root, "C:\WINDOWS\system32\drivers\etc\<name>" becomes ROOT/etc/<name> and
// "C:\Windows\System32\<name>" becomes ROOT/var/lib/quorvex/<name>; prefixes compare without
// regard to case. Any other path (a bare file name in particular) is used as it is.
class PathMap {
public:
    PathMap() = default;
    PathMap(std::string root, char separator);

    // The production mapping: QUORVEX_ROOT or "/" on Linux, identity on Windows.
    static PathMap FromEnvironment();
    // A sandbox mapping under `root`, with this platform's separator (tests).
    static PathMap ForRoot(const std::string& root);

    std::string Map(std::string_view systemPath) const;
    const std::string& Root() const { return root; }

    // The directory that holds the settings file and the log, created (mode 0700) on demand.
    std::string SettingsDirectory() const;

private:
    std::string root;
    char separator = '/';
    mutable bool settingsDirectoryMade = false;  // spares a system call on every lookup
};

}  // namespace qv
