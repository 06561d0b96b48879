#include "protect/CFileScrambler.h"

#include <vector>

#include "settings/SettingsKeys.h"

namespace qv {

bool CFileScrambler::Transform(const std::string& source, const std::string& target,
                               const Messages& texts) {
    auto in = files.Open(source, {OpenMode::ReadExisting, true, false, false});
    if (!in) {
        if (texts.sourceMissing != nullptr) {
            messages.MessageBox(texts.sourceMissing);
        }
        return false;
    }
    auto out = files.Open(target, {OpenMode::WriteTruncate, true, true, false});
    if (!out) {
        messages.MessageBox(texts.targetFailed);
        return false;
    }
    std::vector<char> buffer(1 << 16);
    bool ok = true;
    for (;;) {
        long long n = in->Read(buffer.data(), buffer.size());
        if (n == 0) {
            break;
        }
        if (n < 0) {
            ok = false;
            break;
        }
        for (long long i = 0; i < n; ++i) {
            buffer[static_cast<size_t>(i)] ^= static_cast<char>(kKey);
        }
        if (!out->Write(buffer.data(), static_cast<size_t>(n))) {
            ok = false;
            break;
        }
    }
    ok = ok && out->Sync();
    in.reset();
    out.reset();
    if (!ok) {
        // An incomplete copy is worth nothing and the source still holds everything.
        files.Remove(target);
        messages.MessageBox(texts.targetFailed);
        return false;
    }
    files.Remove(source);
    return true;
}

bool CFileScrambler::DecryptIniFile() {
    if (files.Open(settings::kPlainPath, {OpenMode::ReadExisting, false, false, false})) {
        return true;  // the plain file wins; the scrambled one is left as it is
    }
    return Transform(settings::kScrambledPath, settings::kPlainPath,
                     {"Unable to open file to Decrypt (ini)",
                      "Unable to open file to write Decryption to (ini)"});
}

bool CFileScrambler::DecryptLogFile() {
    return Transform(scrambledLogPath, logPath,
                     {nullptr, "Unable to open file to write Decryption to"});
}

bool CFileScrambler::EncryptLogFile() {
    return Transform(
        logPath, scrambledLogPath,
        {"Unable to open file to Encrypt (log)", "Unable to open file to write encryption to"});
}

bool CFileScrambler::EncryptIniFile() {
    return Transform(settings::kPlainPath, settings::kScrambledPath,
                     {"Unable to open file to Encrypt (ini)",
                      "Unable to open file to write encryption to (ini)"});
}

}  // namespace qv
