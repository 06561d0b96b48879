#pragma once

#include <optional>
#include <string>

namespace qv {

// The ASCII form of an international host name, through the system's own conversion (libidn2
// on Linux, IdnToAscii on Windows). `name` is the front end's text: UTF-8 from the Qt front
// end, the ANSI code page on Windows. Nothing when the name cannot be converted.
std::optional<std::string> HostNameToAscii(const std::string& name);

// True when `text` is a whole IPv4 or IPv6 address, as the system's own parser reads it.
bool IsIpAddress(const std::string& text);

}  // namespace qv
