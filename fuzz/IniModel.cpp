#include "IniModel.h"

namespace qv::fuzz {
namespace {

bool Blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < bytes.size()) {
        size_t lf = bytes.find('\n', from);
        size_t end = lf == std::string_view::npos ? bytes.size() : lf;
        std::string_view line = bytes.substr(from, end - from);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        from = end + 1;
    }
    return lines;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && Blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && Blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view WithoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value.remove_prefix(1);
        value.remove_suffix(1);
    }
    return value;
}

std::string BeforeNul(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

int ExpectedBool(std::string_view value, int fallback) {
    std::string text = BeforeNul(value).substr(0, 64);
    if (text.empty()) {
        return fallback;
    }
    if (SameName(text, "true") || SameName(text, "yes")) {
        return 1;
    }
    size_t i = 0;
    while (i < text.size() && Blank(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (text[i] != '0') {
            return 1;
        }
    }
    return 0;
}

IniModel IniModel::Parse(std::string_view bytes) {
    IniModel model;
    for (const std::string& raw : SplitLines(bytes)) {
        std::string_view line = Trim(raw);
        size_t close = line.rfind(']');
        if (!line.empty() && line.front() == '[' && close != std::string_view::npos && close > 0) {
            std::string_view name = line.substr(1, close - 1);
            model.sections.push_back(Section{std::string(Trim(name)), {}});
            continue;
        }
        size_t eq = raw.find('=');
        if (eq != std::string::npos && !model.sections.empty()) {
            std::string_view text(raw);
            model.sections.back().keys.push_back(
                Key{std::string(Trim(text.substr(0, eq))), std::string(Trim(text.substr(eq + 1)))});
        }
    }
    return model;
}

const IniModel::Section* IniModel::Find(std::string_view section) const {
    section = Trim(section);
    if (section.empty()) {
        return nullptr;  // a section without a name is never found
    }
    for (const Section& s : sections) {
        if (SameName(s.name, section)) {
            return &s;
        }
    }
    return nullptr;
}

std::optional<std::string> IniModel::Get(std::string_view section, std::string_view key) const {
    const Section* s = Find(section);
    if (s == nullptr) {
        return std::nullopt;
    }
    key = Trim(key);
    for (const Key& k : s->keys) {
        if (SameName(k.name, key)) {
            return std::string(WithoutQuotes(k.value));
        }
    }
    return std::nullopt;
}

std::string IniModel::NameList() const {
    std::string list;
    for (const Section& s : sections) {
        if (!s.name.empty() && s.name.find('\0') == std::string::npos) {
            list += s.name;
            list += '\0';
        }
    }
    list += '\0';
    return list;
}

}  // namespace qv::fuzz
