#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv {

// What a user types or pastes into the URL field, cut to the host name it names: blanks
// around it, a scheme, a user, a port, a path, a query, a fragment and one trailing dot go.
// The letters keep their case.
std::string CutToHostName(std::string_view typed);

// True for a name hosts files and resolvers take: dot-separated labels of ASCII letters,
// digits, hyphens and underscores (blocklists use them), 1 to 63 characters each, 253 in all.
bool IsValidHostName(std::string_view name);

// The host name to restrict for the URL field's text: cut, an international name turned into
// its ASCII form by the platform, then checked. Nothing when it is not a host name.
std::optional<std::string> CheckedHostName(std::string_view typed);

// The IP address field's text without the blanks around it, when it is an IPv4 or IPv6
// address.
std::optional<std::string> CheckedIpAddress(std::string_view typed);

}  // namespace qv
