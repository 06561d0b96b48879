#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::fuzz {

// The settings file as the profile functions must see it, worked out here on its own from
// the rules they follow, so that fuzz targets can compare every read with it:
// lines split at LF (a CR before the LF or ending the file dropped); a line whose first
// non-blank is '[' and that holds a ']' is a section header, its name up to the last ']'
// without surrounding blanks (a section without a name is never found); inside a section, a line with '=' is a key and a value, both without surrounding
// blanks; names match without regard to ASCII case; the first section and the first key of
// a name win; one pair of matching quotes around a value is removed when it is read.
class IniModel {
public:
    struct Key {
        std::string name;
        std::string value;  // without surrounding blanks, quotes kept
    };
    struct Section {
        std::string name;
        std::vector<Key> keys;
    };

    static IniModel Parse(std::string_view bytes);

    // The value a read must return: quotes removed, nothing when missing.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    const Section* Find(std::string_view section) const;
    const std::vector<Section>& Sections() const { return sections; }

    // The section name list the system function fills: every non-empty name without a NUL
    // byte, in file order, each followed by a NUL, then one more NUL.
    std::string NameList() const;

private:
    std::vector<Section> sections;
};

// Lines as the settings reader takes them: split at LF, a CR before the LF (or ending the
// last line) dropped, a last line without LF still a line.
std::vector<std::string> SplitLines(std::string_view bytes);
std::string_view Trim(std::string_view text);
bool SameName(std::string_view a, std::string_view b);
std::string_view WithoutQuotes(std::string_view value);
// What a read through a C string gives: the bytes before the first NUL.
std::string BeforeNul(std::string_view text);
// What a boolean read makes of a value (its first 64 bytes): "true" and "yes" are 1, a
// decimal number (after blanks and a sign) is 1 when it is not zero, anything else 0; an
// empty value gives the fallback.
int ExpectedBool(std::string_view value, int fallback);

}  // namespace qv::fuzz
