#pragma once

#include <string>

namespace qv {

// The three profile (INI) functions the settings store relies on, with the semantics of
// GetPrivateProfileStringA, WritePrivateProfileStringA and GetPrivateProfileSectionNamesA.
// `path` is a system path; the implementation maps it.
class ProfileFunctions {
public:
    virtual ~ProfileFunctions() = default;

    // Copies the value (or `fallback` when the section or key is missing) into `out` with a
    // terminating NUL; returns the characters copied without the NUL (size - 1 when cut).
    virtual unsigned GetString(const char* section, const char* key, const char* fallback,
                               char* out, unsigned size, const std::string& path) = 0;
    // Creates the file, section and key as needed; non-zero on success.
    virtual int WriteString(const char* section, const char* key, const char* value,
                            const std::string& path) = 0;
    // Fills `out` with the section names, each ended by a NUL, the list ended by one more
    // NUL; returns the characters copied without the last NUL (size - 2 when cut).
    virtual unsigned GetSectionNames(char* out, unsigned size, const std::string& path) = 0;
};

}  // namespace qv
