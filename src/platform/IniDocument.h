#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// A profile file held as its sections, with an index for lookups. Edits change single lines
// and keep every other line (comments, blank lines, unknown text) as it was.
//
// Rules, as the Windows profile functions have them: section and key names match without
// regard to case and without their surrounding blanks; the first matching section and the
// first matching key win; values are read without surrounding blanks, and one pair of
// matching quotes around a value is removed. A section header is a line that starts with
// "[" and has a "]"; its name runs to the last "]". New sections are written with the name
// without its surrounding blanks.
//
// A blocklist's settings can have a hundred thousand sections. The file's bytes are held
// once, with the text of edited sections after them; a section is where its name and its
// text lie in those bytes; the index by name is built when a lookup first needs it.
class IniDocument {
public:
    static constexpr size_t kBeforeFirst = SIZE_MAX;
    // Texts are addressed with 32 bits.
    static constexpr size_t kMaxSize = UINT32_MAX / 2;

    // `content` is at most kMaxSize bytes; edits keep the document within it.
    void Parse(std::string content);
    // Every line, each followed by `lineEnd`: handed to `write` in pieces, in order (false
    // as soon as `write` fails), or as one text.
    bool Serialize(std::string_view lineEnd,
                   const std::function<bool(std::string_view)>& write) const;
    std::string Serialize(std::string_view lineEnd) const;

    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // The same value where it lies: valid until the next edit or parse.
    std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;
    // The section names in file order into `out`, as GetPrivateProfileSectionNamesA fills it.
    unsigned CopySectionNames(char* out, unsigned size) const;

    // A walk over the named sections in file order, for lookups that follow a names read:
    // the section a lookup of `name` reads when `name` is the walk's section `at` or the
    // named section after it (kBeforeFirst: the first one).
    std::optional<size_t> FollowWalk(size_t at, std::string_view name) const;
    // What Value gives for the section a walk found and `key`.
    std::optional<std::string_view> ValueInWalk(size_t at, std::string_view key) const;

    // False, with the document as it was, when the edit would take it beyond kMaxSize.
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    bool RemoveKey(std::string_view section, std::string_view key);
    void RemoveSection(std::string_view section);

private:
    // sections[0] holds the lines before the first header; every other one starts with its
    // header line.
    struct Section {
        uint32_t nameAt = 0;
        uint32_t nameSize = 0;  // 0: no name (sections[0], and "[]")
        uint32_t textAt = 0;
        uint32_t textSize = 0;
    };
    std::string_view Name(size_t section) const;
    std::string_view Text(size_t section) const;
    std::optional<size_t> Find(std::string_view name) const;
    std::optional<std::string_view> FindValue(size_t section, std::string_view key) const;
    // Puts `added` after the text; false when it does not fit.
    bool Append(std::string_view added, uint32_t& at);
    // Gives the section new text: its lines, each ended by a LF.
    bool Rewrite(size_t section, const std::vector<std::string_view>& lines);

    // Index: open addressing over the named sections (0: a free slot).
    void BuildIndex() const;
    // The slot that holds `name`, or the free one where it would go.
    size_t SlotOf(std::string_view name, uint64_t hash) const;
    void AddToIndex(size_t section) const;

    std::string text;  // the file as it was read, then the text edits wrote
    std::vector<Section> sections;

    mutable std::vector<uint64_t> slots;  // empty until a lookup needs the index
    mutable size_t indexed = 0;
    mutable bool repeatedNames = false;  // two sections of one name: the first one is read
    mutable std::string nameList;        // the names, each ended by a NUL, once listed
    mutable bool listed = false;
};

}  // namespace qv
