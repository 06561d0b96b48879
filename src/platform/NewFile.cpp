#include "platform/NewFile.h"

namespace qv {

bool WriteNewFile(FileSystem& files, const std::string& target,
                  const std::function<bool(File& out)>& write) {
    const std::string temp = target + ".new";
    auto out = files.Open(temp, {OpenMode::CreateNew, true, true, true});
    if (!out) {
        return false;
    }
    bool written = write(*out) && out->Sync();
    out.reset();
    if (!written) {
        files.Remove(temp);
        return false;
    }
    return files.CommitNew(temp, target);
}

}  // namespace qv
