#pragma once

#include <sys/types.h>

#include <ctime>
#include <map>
#include <optional>

#include "platform/IniDocument.h"
#include "platform/Paths.h"
#include "platform/ProfileFunctions.h"

namespace qv {

// Our implementation of the Windows profile functions. Reads are served from a parsed copy
// of the file, checked against the file's size, modification time and inode at each lookup
// and dropped when they change; our own writes edit the copy along with the file. So a
// million lookups do not read the file a million times.
//
// A walk over the section names (the names read, then lookups of those sections in the
// order of the list, as the hidden-entries pass makes them) is served from the copy the
// names came from, and the file is checked again every kWalkCheckMs instead of at every
// lookup: a check is a system call, and a hundred thousand of them a wait the user sees.
// Any other lookup, or a write, ends the walk.
class PosixProfileFunctions : public ProfileFunctions {
public:
    // Milliseconds of a clock that only goes forward.
    using Clock = long long (*)();
    static constexpr long long kWalkCheckMs = 10;
    // The clock is read every few lookups of a walk, not at each.
    static constexpr unsigned kWalkStepsPerClock = 16;

    explicit PosixProfileFunctions(PathMap paths, Clock clock = CoarseMilliseconds)
        : paths(std::move(paths)), clock(clock) {}

    unsigned GetString(const char* section, const char* key, const char* fallback, char* out,
                       unsigned size, const std::string& path) override;
    int WriteString(const char* section, const char* key, const char* value,
                    const std::string& path) override;
    unsigned GetSectionNames(char* out, unsigned size, const std::string& path) override;

    // How often a file was parsed, and how often it was checked (tests and benchmarks check
    // the cache with them).
    unsigned long long ParseCount() const { return parses; }
    unsigned long long CheckCount() const { return checks; }

    static long long CoarseMilliseconds();

private:
    struct Identity {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        bool operator==(const Identity& o) const {
            return device == o.device && inode == o.inode && size == o.size &&
                   modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
        }
    };
    struct Cached {
        Identity identity;
        IniDocument document;
    };
    // At most one walk at a time: over the names read last.
    struct Walk {
        Cached* entry = nullptr;  // none: no walk
        std::string realPath;
        size_t at = IniDocument::kBeforeFirst;  // the section the walk is at
        long long checkAt = 0;                  // when the file is due for a check
        unsigned stepsToClock = 0;              // lookups before the clock is read again
    };

    // The file's identity now; nothing when it is not there.
    std::optional<Identity> Check(const std::string& realPath);
    void Drop(const std::string& realPath);
    // The parsed file, checked against the file (any walk ends); nullptr when it does not
    // exist or cannot be read.
    Cached* Load(const std::string& realPath);
    std::optional<std::string_view> Lookup(const std::string& realPath, const char* section,
                                           const char* key);
    std::optional<std::string_view> LookupAfterWalk(const std::string& realPath,
                                                    const char* section, const char* key);
    // The mapped path of the last path asked for: mapping builds a new string each time.
    const std::string& RealPath(const std::string& path);

    PathMap paths;
    Clock clock;
    std::map<std::string, Cached> cache;
    Walk walk;
    std::string lastPath;
    std::string lastRealPath;
    unsigned long long parses = 0;
    unsigned long long checks = 0;
};

}  // namespace qv
