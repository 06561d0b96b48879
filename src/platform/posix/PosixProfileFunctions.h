#pragma once

#include <sys/types.h>

#include <ctime>
#include <map>

#include "platform/IniDocument.h"
#include "platform/Paths.h"
#include "platform/ProfileFunctions.h"

namespace qv {

// Our implementation of the Windows profile functions. Reads are served from a parsed copy
// of the file, dropped when the file's size, modification time or inode change, or when we
// write; so a million lookups do not read the file a million times.
class PosixProfileFunctions : public ProfileFunctions {
public:
    explicit PosixProfileFunctions(PathMap paths) : paths(std::move(paths)) {}

    unsigned GetString(const char* section, const char* key, const char* fallback, char* out,
                       unsigned size, const std::string& path) override;
    int WriteString(const char* section, const char* key, const char* value,
                    const std::string& path) override;
    unsigned GetSectionNames(char* out, unsigned size, const std::string& path) override;

    // How often a file was parsed (benchmarks and tests check the cache with it).
    unsigned long long ParseCount() const { return parses; }

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

    // The parsed file, or nullptr when it does not exist or cannot be read.
    const IniDocument* Load(const std::string& realPath);

    PathMap paths;
    std::map<std::string, Cached> cache;
    unsigned long long parses = 0;
};

}  // namespace qv
