#pragma once

#include <string>
#include <string_view>

namespace qv {

// A hosts line is the IP field (before the first space), one space, and the URL field.
// Only the space character separates fields; a tab is an ordinary character.

// The URL field: everything after the first space without surrounding spaces, or the whole
// line when it has no space.
std::string_view UrlField(std::string_view line);

// The line in normal form: IP field, one space, URL field.
std::string FormatHostsLine(std::string_view line);

inline bool IsCommentOrEmpty(std::string_view line) {
    return line.empty() || line.front() == '#';
}

}  // namespace qv
