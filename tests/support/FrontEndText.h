#pragma once

#include <string>

namespace qv::test {

// `utf8` as the front end hands it to the core: UTF-8 from the Qt front end, the ANSI code
// page from the Windows one.
std::string FrontEndText(const std::string& utf8);

}  // namespace qv::test
