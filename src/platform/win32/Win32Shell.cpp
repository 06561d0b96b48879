#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <cstring>

#include "platform/Shell.h"

namespace qv {
namespace {

// The registry value buffer: longer values fail, as the program always had them fail.
constexpr DWORD kValueBufferSize = 260;

class ClassesKey {
public:
    ~ClassesKey() {
        if (key != nullptr) {
            RegCloseKey(key);
        }
    }
    LONG Open(const std::string& subKey) {
        return RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_QUERY_VALUE, &key);
    }
    HKEY Get() const { return key; }

private:
    HKEY key = nullptr;
};

// Expands %VARIABLE% references of a REG_EXPAND_SZ value; WinExec would not.
std::string ExpandVariables(const std::string& value) {
    DWORD needed = ExpandEnvironmentStringsA(value.c_str(), nullptr, 0);
    if (needed == 0) {
        return value;
    }
    std::string expanded(needed, '\0');
    DWORD written = ExpandEnvironmentStringsA(value.c_str(), expanded.data(), needed);
    if (written == 0 || written > needed) {
        return value;
    }
    expanded.resize(written - 1);
    return expanded;
}

// The default value of `subKey` under the classes root: 0 and the value, or the error code
// of opening the key or of reading a value that is missing, not text or too long.
LONG ReadClassesRootDefault(const std::string& subKey, std::string& value) {
    ClassesKey key;
    if (LONG opened = key.Open(subKey); opened != ERROR_SUCCESS) {
        return opened;
    }
    char buffer[kValueBufferSize];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    LONG read = RegQueryValueExA(key.Get(), nullptr, nullptr, &type,
                                 reinterpret_cast<BYTE*>(buffer), &size);
    if (read != ERROR_SUCCESS) {
        return read;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        return ERROR_INVALID_DATA;
    }
    // The stored value need not end in a terminator.
    value.assign(buffer, strnlen(buffer, size));
    if (type == REG_EXPAND_SZ) {
        value = ExpandVariables(value);
    }
    return ERROR_SUCCESS;
}

class Win32Shell : public Shell {
public:
    intptr_t Open(const std::string& target, int show) override {
        HINSTANCE result = ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, show);
        return reinterpret_cast<intptr_t>(result);
    }

    long ReadBrowserCommand(std::string& command) override {
        std::string documentClass;
        if (LONG failed = ReadClassesRootDefault(".htm", documentClass); failed != ERROR_SUCCESS) {
            return failed;
        }
        return ReadClassesRootDefault(documentClass + "\\shell\\open\\command", command);
    }

    intptr_t RunBrowser(const std::string& command, const std::string& target, int show) override {
        return static_cast<intptr_t>(
            WinExec(RegistryCommandLine(command, target).c_str(), static_cast<UINT>(show)));
    }
};

}  // namespace

std::unique_ptr<Shell> CreateShell() {
    return std::make_unique<Win32Shell>();
}

}  // namespace qv
