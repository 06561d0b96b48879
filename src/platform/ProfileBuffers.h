#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Buffer conventions of the Windows profile functions, shared by our implementation.

// Copies `value` into `out` (size bytes) with a NUL, cut to size - 1 characters.
unsigned CopyProfileValue(std::string_view value, char* out, unsigned size);

// Copies a list of section names (`list`: each name ended by a NUL), plus a final NUL. A list
// that does not fit is cut (the last name shortened and ended by a single NUL) and the result
// is size - 2.
unsigned CopyProfileSectionList(std::string_view list, char* out, unsigned size);

// The same for names one by one; names without characters are left out.
unsigned CopyProfileSectionNames(const std::vector<std::string>& names, char* out, unsigned size);

}  // namespace qv
