#pragma once

#include <memory>

#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/PasswordHashing.h"
#include "platform/Paths.h"
#include "platform/ProfileFunctions.h"
#include "platform/Shell.h"

namespace qv {

// The operating-system services of one run, all working under one path mapping.
class Platform {
public:
    virtual ~Platform() = default;
    virtual FileSystem& Files() = 0;
    virtual ProfileFunctions& Profile() = 0;
    virtual Clock& LocalClock() = 0;
    virtual PasswordHashing& Passwords() = 0;
    virtual Shell& DesktopShell() = 0;
    virtual const PathMap& Paths() const = 0;
};

// This build's implementation (POSIX or Win32).
std::unique_ptr<Platform> CreatePlatform(const PathMap& paths);

}  // namespace qv
