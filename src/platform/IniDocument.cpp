#include "platform/IniDocument.h"

#include <algorithm>
#include <cstring>

#include "platform/ProfileBuffers.h"
#include "platform/Text.h"

namespace qv {
namespace {

// The lines of a text: split at LF, a CR at the end dropped; a last line without a LF is a
// line too.
class LineReader {
public:
    explicit LineReader(std::string_view text) : rest(text) {}
    bool Next(std::string_view& line) {
        if (rest.empty()) {
            return false;
        }
        size_t lf = rest.find('\n');
        line = rest.substr(0, lf);
        rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return true;
    }

private:
    std::string_view rest;
};

// A line's section name, when the line is a section header: it starts with "[" and has a
// "]", and the name runs to the last "]" (so a name may hold "]" itself). A line with "["
// but no "]" is no header; it stays in the section before, as the Windows functions have it.
std::optional<std::string_view> HeaderName(std::string_view line) {
    size_t start = 0;
    while (start < line.size() && IsBlank(line[start])) {
        ++start;
    }
    if (start == line.size() || line[start] != '[') {
        return std::nullopt;
    }
    size_t close = line.rfind(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return TrimBlanks(line.substr(start + 1, close - start - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

// A line's key and value, when the line has an equals sign.
std::optional<KeyLine> SplitKeyLine(std::string_view line) {
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    return KeyLine{TrimBlanks(line.substr(0, eq)), TrimBlanks(line.substr(eq + 1))};
}

std::string_view StripQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// Eight characters at a time, lower-cased: the letters A-Z of each byte get the 0x20 bit.
uint64_t LowerCaseWord(uint64_t word) {
    const uint64_t high = 0x8080808080808080ull;
    uint64_t low7 = word & ~high;
    uint64_t atLeastA = low7 + 0x3F3F3F3F3F3F3F3Full;  // high bit set from 'A' (0x41) on
    uint64_t aboveZ = low7 + 0x2525252525252525ull;    // high bit set from '[' (0x5B) on
    uint64_t upper = atLeastA & ~aboveZ & ~word & high;
    return word | (upper >> 2);
}

uint64_t HashNoCase(std::string_view name) {
    uint64_t h = name.size() * 0x9E3779B97F4A7C15ull;
    size_t at = 0;
    for (; at + 8 <= name.size(); at += 8) {
        uint64_t word;
        std::memcpy(&word, name.data() + at, 8);
        h = (h ^ LowerCaseWord(word)) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    }
    uint64_t tail = 0;
    std::memcpy(&tail, name.data() + at, name.size() - at);
    h = (h ^ LowerCaseWord(tail)) * 0xC4CEB9FE1A85EC53ull;
    return h ^ (h >> 29);
}

std::vector<std::string_view> LinesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    LineReader reader(text);
    std::string_view line;
    while (reader.Next(line)) {
        lines.push_back(line);
    }
    return lines;
}

// The line of `key` among the section's key lines (after its header), or lines.size().
size_t KeyLineOf(const std::vector<std::string_view>& lines, std::string_view key) {
    key = TrimBlanks(key);
    for (size_t i = 1; i < lines.size(); ++i) {
        auto kv = SplitKeyLine(lines[i]);
        if (kv && EqualsNoCase(kv->key, key)) {
            return i;
        }
    }
    return lines.size();
}

}  // namespace

std::string_view IniDocument::Name(size_t section) const {
    return std::string_view(text).substr(sections[section].nameAt, sections[section].nameSize);
}

std::string_view IniDocument::Text(size_t section) const {
    return std::string_view(text).substr(sections[section].textAt, sections[section].textSize);
}

void IniDocument::Parse(std::string content) {
    text = std::move(content);
    sections.clear();
    slots.clear();
    indexed = 0;
    repeatedNames = false;
    listed = false;
    const char* base = text.data();
    size_t size = text.size();
    sections.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '[')) + 1);
    sections.push_back(Section{});
    // Headers are found by their "[": only one that begins its line (after blanks) can open
    // one, and the rest of that line opens none.
    size_t from = 0;
    while (from < size) {
        const char* open = static_cast<const char*>(std::memchr(base + from, '[', size - from));
        if (open == nullptr) {
            break;
        }
        size_t at = static_cast<size_t>(open - base);
        size_t lineStart = at;
        while (lineStart > 0 && base[lineStart - 1] != '\n' && IsBlank(base[lineStart - 1])) {
            --lineStart;
        }
        from = at + 1;
        if (lineStart > 0 && base[lineStart - 1] != '\n') {
            continue;
        }
        const char* lf = static_cast<const char*>(std::memchr(open, '\n', size - at));
        size_t lineEnd = lf == nullptr ? size : static_cast<size_t>(lf - base);
        if (auto name = HeaderName(std::string_view(base + lineStart, lineEnd - lineStart))) {
            sections.back().textSize = static_cast<uint32_t>(lineStart - sections.back().textAt);
            sections.push_back(Section{static_cast<uint32_t>(name->data() - base),
                                       static_cast<uint32_t>(name->size()),
                                       static_cast<uint32_t>(lineStart), 0});
        }
        from = lineEnd;
    }
    sections.back().textSize = static_cast<uint32_t>(size - sections.back().textAt);
}

bool IniDocument::Serialize(std::string_view lineEnd,
                            const std::function<bool(std::string_view)>& write) const {
    // Text whose lines all end with a LF alone is written as it is, as much of it at once as
    // lies together; other text line by line, gathered into pieces.
    constexpr size_t kPiece = 64 * 1024;
    std::string piece;
    size_t runAt = 0;
    size_t runSize = 0;
    auto flushRun = [&] {
        bool ok = runSize == 0 || write(std::string_view(text).substr(runAt, runSize));
        runSize = 0;
        return ok;
    };
    auto flushPiece = [&] {
        bool ok = piece.empty() || write(piece);
        piece.clear();
        return ok;
    };
    for (size_t i = 0; i < sections.size(); ++i) {
        std::string_view t = Text(i);
        bool asItIs = lineEnd == "\n" &&
                      (t.empty() || (t.back() == '\n' && t.find('\r') == std::string_view::npos));
        if (asItIs) {
            if (runSize != 0 && sections[i].textAt == runAt + runSize) {
                runSize += t.size();
                continue;
            }
            if (!flushPiece() || !flushRun()) {
                return false;
            }
            runAt = sections[i].textAt;
            runSize = t.size();
            continue;
        }
        if (!flushRun()) {
            return false;
        }
        LineReader lines(t);
        std::string_view line;
        while (lines.Next(line)) {
            piece += line;
            // A line that itself ends in CR keeps it: with a LF alone after it, that CR would
            // be read back as the line's end and the line would lose it.
            if (lineEnd == "\n" && !line.empty() && line.back() == '\r') {
                piece += '\r';
            }
            piece += lineEnd;
            if (piece.size() >= kPiece && !flushPiece()) {
                return false;
            }
        }
    }
    return flushPiece() && flushRun();
}

std::string IniDocument::Serialize(std::string_view lineEnd) const {
    std::string out;
    Serialize(lineEnd, [&out](std::string_view piece) {
        out += piece;
        return true;
    });
    return out;
}

void IniDocument::BuildIndex() const {
    size_t size = 16;
    while (size < sections.size() + sections.size() / 4 + 1) {
        size *= 2;
    }
    slots.assign(size, 0);
    indexed = 0;
    repeatedNames = false;
    for (size_t i = 0; i < sections.size(); ++i) {
        AddToIndex(i);
    }
}

size_t IniDocument::SlotOf(std::string_view name, uint64_t hash) const {
    // A slot holds the upper half of its name's hash beside the section index + 1, so the
    // slots of other names are passed over without a look at their names.
    uint64_t tag = hash & ~uint64_t{UINT32_MAX};
    size_t mask = slots.size() - 1;
    size_t at = static_cast<size_t>(hash) & mask;
    while (slots[at] != 0 && ((slots[at] & ~uint64_t{UINT32_MAX}) != tag ||
                              !EqualsNoCase(Name(static_cast<uint32_t>(slots[at]) - 1), name))) {
        at = (at + 1) & mask;
    }
    return at;
}

void IniDocument::AddToIndex(size_t section) const {
    std::string_view name = Name(section);
    // A section without a name ends the one before but is never found by name.
    if (name.empty()) {
        return;
    }
    if (indexed + 1 + (indexed + 1) / 4 >= slots.size()) {
        BuildIndex();  // the new section is among the sections already
        return;
    }
    uint64_t hash = HashNoCase(name);
    uint64_t& slot = slots[SlotOf(name, hash)];
    if (slot == 0) {
        slot = (hash & ~uint64_t{UINT32_MAX}) | static_cast<uint32_t>(section + 1);
        ++indexed;
    } else {
        repeatedNames = true;  // the first section of the name stays the one found
    }
}

std::optional<size_t> IniDocument::Find(std::string_view name) const {
    name = TrimBlanks(name);
    if (name.empty()) {
        return std::nullopt;
    }
    if (slots.empty()) {
        BuildIndex();
    }
    uint64_t slot = slots[SlotOf(name, HashNoCase(name))];
    if (slot == 0) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(slot) - 1;
}

std::optional<std::string_view> IniDocument::FindValue(size_t section, std::string_view key) const {
    key = TrimBlanks(key);
    LineReader lines(Text(section));
    std::string_view line;
    if (section > 0) {
        lines.Next(line);  // the header
    }
    while (lines.Next(line)) {
        auto kv = SplitKeyLine(line);
        if (kv && EqualsNoCase(kv->key, key)) {
            return StripQuotes(kv->value);
        }
    }
    return std::nullopt;
}

std::optional<std::string_view> IniDocument::Value(std::string_view section,
                                                   std::string_view key) const {
    auto at = Find(section);
    if (!at) {
        return std::nullopt;
    }
    return FindValue(*at, key);
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    if (auto value = Value(section, key)) {
        return std::string(*value);
    }
    return std::nullopt;
}

unsigned IniDocument::CopySectionNames(char* out, unsigned size) const {
    if (!listed) {
        nameList.clear();
        for (size_t i = 1; i < sections.size(); ++i) {
            // A name with a NUL byte in it would end the list early for every reader; it
            // cannot be asked for by name either, so it is left out.
            if (sections[i].nameSize != 0 && Name(i).find('\0') == std::string_view::npos) {
                nameList += Name(i);
                nameList += '\0';
            }
        }
        listed = true;
    }
    return CopyProfileSectionList(nameList, out, size);
}

std::optional<size_t> IniDocument::FollowWalk(size_t at, std::string_view name) const {
    if (at < sections.size() && sections[at].nameSize != 0 && Name(at) == name) {
        return at;  // another key of the same section
    }
    size_t next = at == kBeforeFirst ? 1 : at + 1;
    while (next < sections.size() && sections[next].nameSize == 0) {
        ++next;
    }
    if (next < sections.size() && Name(next) == name) {
        return next;
    }
    return std::nullopt;
}

std::optional<std::string_view> IniDocument::ValueInWalk(size_t at, std::string_view key) const {
    if (slots.empty()) {
        BuildIndex();
    }
    // With names that repeat, a lookup reads the first section of the name.
    if (repeatedNames) {
        return Value(Name(at), key);
    }
    return FindValue(at, key);
}

bool IniDocument::Append(std::string_view added, uint32_t& at) {
    if (text.size() > kMaxSize || added.size() > kMaxSize - text.size()) {
        return false;
    }
    at = static_cast<uint32_t>(text.size());
    text += added;
    return true;
}

bool IniDocument::Rewrite(size_t section, const std::vector<std::string_view>& lines) {
    std::string edited;
    for (std::string_view line : lines) {
        edited += line;
        // A line that itself ends in CR keeps it (see Serialize).
        if (!line.empty() && line.back() == '\r') {
            edited += '\r';
        }
        edited += '\n';
    }
    // The name stays where it was; the new text goes after all the others.
    uint32_t at = 0;
    if (!Append(edited, at)) {
        return false;
    }
    sections[section].textAt = at;
    sections[section].textSize = static_cast<uint32_t>(edited.size());
    return true;
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string newLine = std::string(key) + "=" + std::string(value);
    // A line break, or a key line that reads as a header, makes the file read back
    // differently from what was set: then the document is read again as the file will be.
    bool readBack = HasLineBreak(newLine) || HeaderName(newLine).has_value();
    auto found = Find(section);
    if (!found) {
        std::string_view name = TrimBlanks(section);
        readBack = readBack || HasLineBreak(name);
        std::string added = "[" + std::string(name) + "]\n" + newLine + "\n";
        uint32_t at = 0;
        if (!Append(added, at)) {
            return false;
        }
        sections.push_back(Section{at + 1, readBack ? 0 : static_cast<uint32_t>(name.size()), at,
                                   static_cast<uint32_t>(added.size())});
        if (!readBack && !slots.empty()) {
            AddToIndex(sections.size() - 1);
        }
        if (!readBack && listed && !name.empty()) {
            nameList += name;
            nameList += '\0';
        }
    } else {
        std::vector<std::string_view> lines = LinesOf(Text(*found));
        size_t line = KeyLineOf(lines, key);
        if (line < lines.size()) {
            lines[line] = newLine;
        } else {
            // New keys go after the section's last non-blank line, before any blank separator.
            size_t at = lines.size();
            while (at > 1 && TrimBlanks(lines[at - 1]).empty()) {
                --at;
            }
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), newLine);
        }
        if (!Rewrite(*found, lines)) {
            return false;
        }
    }
    if (readBack) {
        Parse(Serialize("\n"));
    }
    return true;
}

bool IniDocument::RemoveKey(std::string_view section, std::string_view key) {
    auto found = Find(section);
    if (!found) {
        return true;
    }
    std::vector<std::string_view> lines = LinesOf(Text(*found));
    size_t line = KeyLineOf(lines, key);
    if (line == lines.size()) {
        return true;
    }
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(line));
    return Rewrite(*found, lines);
}

void IniDocument::RemoveSection(std::string_view section) {
    auto found = Find(section);
    if (!found) {
        return;
    }
    sections.erase(sections.begin() + static_cast<std::ptrdiff_t>(*found));
    slots.clear();  // both built again when they are needed
    listed = false;
}

}  // namespace qv
