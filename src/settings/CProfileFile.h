#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/ProfileFunctions.h"

namespace qv {

// Typed access to one profile (INI) file through the platform's profile functions.
// Texts are NUL-terminated 8-bit strings; a null pointer stands for "none".
// Nothing is cached here: every read goes to the profile functions.
class CProfileFile {
public:
    explicit CProfileFile(ProfileFunctions& functions) : functions(functions) {}
    virtual ~CProfileFile() = default;
    CProfileFile(const CProfileFile&) = delete;
    CProfileFile& operator=(const CProfileFile&) = delete;

    void SetPath(const char* newPath);
    const std::optional<std::string>& Path() const { return path; }

    std::string GetString(const char* section, const char* key, const char* fallback = nullptr);
    int WriteString(const char* section, const char* key, const char* value);
    int GetBool(const char* section, const char* key, int fallback);
    int WriteBool(const char* section, const char* key, int flag);
    int WriteInt(const char* section, const char* key, int32_t value, int base);
    int SectionExists(const char* name);
    // With a buffer: the platform's section name list. Without: the size a buffer needs.
    unsigned GetSectionNames(char* buffer, unsigned size);
    // The whole section name list in one read: each name ended by a NUL, then one more NUL.
    using NameList = std::unique_ptr<char[]>;
    NameList GetSectionNameList();

    // Building blocks, open for tests.
    static int ParseBool(const char* text, int fallback);
    static void FormatInteger(int32_t value, char* buffer, int base);
    static void FormatBinary(uint32_t value, char* buffer, unsigned maxDigits);
    using ListVisitor = int (*)(const char* entry, void* context);
    static int ForEachListEntry(const char* list, ListVisitor visitor, void* context);

private:
    // Reads try a buffer of the first size, then twice the size until the text fits; a text
    // that does not fit the last size is returned cut.
    static constexpr unsigned kFirstBufferSize = 512;
    static constexpr unsigned kLastBufferSize = 1u << 30;

    // A text read through the profile functions: in `first` while it fits there.
    struct RawText {
        RawText() = default;
        RawText(const RawText&) = delete;
        RawText& operator=(const RawText&) = delete;
        char first[kFirstBufferSize + 1];
        std::unique_ptr<char[]> grown;
        const char* text = first;
    };
    void ReadRaw(const char* section, const char* key, const char* fallback, RawText& raw);
    NameList ReadSectionNames(unsigned& length);
    size_t GetStringToBuffer(const char* section, const char* key, char* out, size_t outLength,
                             const char* fallback);
    const std::string& FileName() const;

    ProfileFunctions& functions;
    std::optional<std::string> path;
};

}  // namespace qv
