#pragma once

#include <functional>
#include <string>

#include "platform/File.h"

namespace qv {

// Writes the file at the fixed path `target` the one way every such file is written: a new
// private file beside it ("<target>.new", created exclusively, never through a link), filled
// by `write`, synced, then renamed into place. False when any step failed (or `write` said
// so); the half-written file is then gone and `target` is as it was, or, when only the
// folder sync after the rename failed, already the complete new file.
bool WriteNewFile(FileSystem& files, const std::string& target,
                  const std::function<bool(File& out)>& write);

}  // namespace qv
