#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qv {

// A profile file held as its lines, with an index for lookups. Edits change single lines
// and keep every other line (comments, blank lines, unknown text) as it was.
//
// Rules, as the Windows profile functions have them: section and key names match without
// regard to case and without their surrounding blanks; the first matching section and the
// first matching key win; values are read without surrounding blanks, and one pair of
// matching quotes around a value is removed. A section header is a line that starts with
// "[" and has a "]"; its name runs to the last "]". New sections are written with the name
// without its surrounding blanks.
class IniDocument {
public:
    void Parse(std::string_view content);
    std::string Serialize(std::string_view lineEnd) const;

    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Section names in file order (nameless lines before the first section excluded).
    std::vector<std::string> SectionNames() const;

    void Set(std::string_view section, std::string_view key, std::string_view value);
    void RemoveKey(std::string_view section, std::string_view key);
    void RemoveSection(std::string_view section);

private:
    struct Section {
        std::string name;
        size_t headerLine;  // index into `lines`
        size_t endLine;     // one past the section's last line
    };
    void Reindex();
    const Section* Find(std::string_view name) const;
    std::optional<size_t> FindKeyLine(const Section& section, std::string_view key) const;

    std::vector<std::string> lines;
    std::vector<Section> sections;
    std::unordered_map<std::string, size_t> firstSectionByName;  // lower-case name -> index
};

}  // namespace qv
