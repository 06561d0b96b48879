#include "faults/FaultSandbox.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "access/PasswordHash.h"
#include "platform/TextFile.h"

namespace qv::test {
namespace {

namespace fs = std::filesystem;

// "\n" as the platform writes it.
std::string Text(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += kLineEnd;
        } else {
            out += c;
        }
    }
    return out;
}

void Write(const fs::path& path, const std::string& bytes, fs::perms mode) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
    fs::permissions(path, mode);
}

}  // namespace

FaultScenario::FaultScenario(PasswordHashing& hashing) {
    hashing.SetIterationsForTests(1000);
    std::optional<std::string> hash = HashPassword(hashing, kPassword);
    if (!hash) {
        throw std::runtime_error("cannot hash the password");
    }
    hostsBefore = "127.0.0.1 localhost\n0.0.0.0 ads.example\n0.0.0.0 tracker.example\n";
    hostsAfter = hostsBefore + Text("0.0.0.0 new.example\n");
    settings = "[Main]\nInstalled=1\nReqPass=1\nSet=1\nPassword=" + *hash + "\n";
    log = Text(
        "Quorvex Log Created\n\n"
        "\n-== Program Started on 1/2/2024 - 10:5 ==-\n"
        "User added \"ads.example\" to restrictions\n"
        "User refreshed files\n"
        "\n-== Program Started on 1/3/2024 - 8:0 ==-\n"
        "User added \"tracker.example\" to restrictions\n"
        "User refreshed files\n"
        "User entered wrong password: \"frist-pass\"\n");
}

fs::path FaultCaseBase() {
    std::error_code error;
    if (fs::is_directory("/dev/shm", error)) {
        return "/dev/shm";
    }
    return fs::temp_directory_path();
}

FaultSandbox::FaultSandbox(const FaultScenario& scenario) {
    static std::atomic<unsigned> counter{0};
    base = FaultCaseBase() /
           ("quorvex-faults-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(base);
    root = base / "root";
    fs::create_directories(root / "etc");
    fs::create_directories(root / "var/lib");
    fs::path settingsDir = root / "var/lib/quorvex";
    fs::create_directory(settingsDir);
    fs::permissions(settingsDir, fs::perms::owner_all);
    const fs::perms privateFile = fs::perms::owner_read | fs::perms::owner_write;
    Write(root / "etc/hosts", scenario.hostsBefore,
          privateFile | fs::perms::group_read | fs::perms::others_read);
    Write(settingsDir / "Quorvex.cpt", Scramble(scenario.settings), privateFile);
    Write(settingsDir / "Quorvexlog.cpt", Scramble(scenario.log), privateFile);
}

FaultSandbox::~FaultSandbox() {
    std::error_code ignored;
    fs::remove_all(base, ignored);
}

std::string FaultSandbox::Hosts() const {
    return ReadFile(root / "etc/hosts").value_or("");
}

std::optional<std::string> FaultSandbox::Effective(const std::string& plain,
                                                   const std::string& scrambled) const {
    fs::path dir = root / "var/lib/quorvex";
    std::error_code error;
    if (fs::exists(fs::symlink_status(dir / plain, error))) {
        return ReadFile(dir / plain);
    }
    if (std::optional<std::string> bytes = ReadFile(dir / scrambled)) {
        return Scramble(*bytes);
    }
    return std::nullopt;
}

std::optional<std::string> FaultSandbox::EffectiveSettings() const {
    return Effective("Quorvex.ini", "Quorvex.cpt");
}

std::optional<std::string> FaultSandbox::EffectiveLog() const {
    return Effective("Quorvexlog.log", "Quorvexlog.cpt");
}

std::optional<std::string> FaultSandbox::DecryptedCopy() const {
    return ReadFile(root / "quorvexlog.txt");
}

std::string Scramble(std::string bytes) {
    for (char& c : bytes) {
        c = static_cast<char>(c ^ 0x6B);
    }
    return bytes;
}

std::optional<std::string> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

std::string Visible(const std::string& bytes) {
    std::string out = "\"";
    for (char c : bytes) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            static const char digits[] = "0123456789abcdef";
            out += "\\x";
            out += digits[(static_cast<unsigned char>(c) >> 4) & 0xF];
            out += digits[static_cast<unsigned char>(c) & 0xF];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace qv::test
