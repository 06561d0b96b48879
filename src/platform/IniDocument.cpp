#include "platform/IniDocument.h"

#include "platform/Text.h"

namespace qv {
namespace {

// A line's section name, when the line is a section header: it starts with "[" and has a
// "]", and the name runs to the last "]" (so a name may hold "]" itself). A line with "["
// but no "]" is no header; it stays in the section before, as the Windows functions have it.
std::optional<std::string_view> HeaderName(std::string_view line) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    size_t close = line.rfind(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return TrimBlanks(line.substr(1, close - 1));
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

}  // namespace

void IniDocument::Parse(std::string_view content) {
    lines.clear();
    size_t from = 0;
    while (from < content.size()) {
        size_t lf = content.find('\n', from);
        size_t end = lf == std::string_view::npos ? content.size() : lf;
        size_t lineEnd = end;
        if (lineEnd > from && content[lineEnd - 1] == '\r') {
            --lineEnd;
        }
        lines.emplace_back(content.substr(from, lineEnd - from));
        from = end + 1;
    }
    Reindex();
}

std::string IniDocument::Serialize(std::string_view lineEnd) const {
    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += lineEnd;
    }
    return out;
}

void IniDocument::Reindex() {
    sections.clear();
    firstSectionByName.clear();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (auto name = HeaderName(lines[i])) {
            if (!sections.empty()) {
                sections.back().endLine = i;
            }
            sections.push_back(Section{std::string(*name), i, lines.size()});
            // A section without a name ends the one before but is never found by name.
            if (!name->empty()) {
                firstSectionByName.try_emplace(ToLowerAscii(*name), sections.size() - 1);
            }
        }
    }
}

const IniDocument::Section* IniDocument::Find(std::string_view name) const {
    auto it = firstSectionByName.find(ToLowerAscii(TrimBlanks(name)));
    return it == firstSectionByName.end() ? nullptr : &sections[it->second];
}

std::optional<size_t> IniDocument::FindKeyLine(const Section& section, std::string_view key) const {
    key = TrimBlanks(key);
    for (size_t i = section.headerLine + 1; i < section.endLine; ++i) {
        auto kv = SplitKeyLine(lines[i]);
        if (kv && EqualsNoCase(kv->key, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    const Section* s = Find(section);
    if (s == nullptr) {
        return std::nullopt;
    }
    auto line = FindKeyLine(*s, key);
    if (!line) {
        return std::nullopt;
    }
    return std::string(StripQuotes(SplitKeyLine(lines[*line])->value));
}

std::vector<std::string> IniDocument::SectionNames() const {
    std::vector<std::string> names;
    names.reserve(sections.size());
    for (const Section& s : sections) {
        names.push_back(s.name);
    }
    return names;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string newLine = std::string(key) + "=" + std::string(value);
    const Section* s = Find(section);
    if (s == nullptr) {
        lines.push_back("[" + std::string(TrimBlanks(section)) + "]");
        lines.push_back(std::move(newLine));
    } else if (auto line = FindKeyLine(*s, key)) {
        lines[*line] = std::move(newLine);
    } else {
        // New keys go after the section's last non-blank line, before any blank separator.
        size_t at = s->endLine;
        while (at > s->headerLine + 1 && TrimBlanks(lines[at - 1]).empty()) {
            --at;
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(newLine));
    }
    Reindex();
}

void IniDocument::RemoveKey(std::string_view section, std::string_view key) {
    const Section* s = Find(section);
    if (s == nullptr) {
        return;
    }
    if (auto line = FindKeyLine(*s, key)) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*line));
        Reindex();
    }
}

void IniDocument::RemoveSection(std::string_view section) {
    const Section* s = Find(section);
    if (s == nullptr) {
        return;
    }
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(s->headerLine),
                lines.begin() + static_cast<std::ptrdiff_t>(s->endLine));
    Reindex();
}

}  // namespace qv
