// The settings of a large blocklist: 100,000 restriction sections. A start's settings work
// (the Main switches, then the hidden-sections pass over every section name) is measured
// beside a plain line-by-line read of the same file in the same run; an Add and a
// description edit are measured on the same file, each with its write to disk.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "BenchSupport.h"
#include "platform/Platform.h"
#include "platform/Text.h"
#include "settings/CProfileFile.h"
#include "settings/SettingsKeys.h"

namespace {

using qv::bench::Format;
using qv::bench::MedianSeconds;
using qv::bench::Report;
namespace keys = qv::settings;
namespace fs = std::filesystem;

constexpr int kSections = 100000;
constexpr int kRuns = 7;

void WriteSettings(const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "[Main]\nInstalled=1\nReqPass=0\nSet=1\n"
        << "Password=pbkdf2-sha256$600000$c2FsdHNhbHRzYWx0$aGFzaGhhc2hoYXNoaGFzaA\n";
    for (int i = 0; i < kSections; ++i) {
        out << "[www.site" << i << ".example]\nDesc=Site number " << i << "~~second line\n"
            << "Hidden=" << (i % 3 == 0 ? 1 : 0) << "\n";
    }
}

// The baseline, as the hosts benchmark reads its file: line by line, each line kept, as a
// plain reader holds a file it works on.
size_t PlainRead(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines.size();
}

// The least a read line by line can do: every line taken out of the stream, none kept.
size_t GetlineOnly(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    size_t lines = 0;
    while (std::getline(in, line)) {
        ++lines;
    }
    return lines;
}

// What start-up does with the settings: the three switches of Main, then the pass of
// CHostsFile::HiddenSections over every section name.
size_t StartUpSettingsWork(qv::ProfileFunctions& functions) {
    qv::CProfileFile settings(functions);
    settings.SetPath(keys::kPlainPath);
    int switches = settings.GetBool(keys::kMainSection, keys::kInstalledKey, 0) +
                   settings.GetBool(keys::kMainSection, keys::kSetKey, 0) +
                   settings.GetBool(keys::kMainSection, keys::kReqPassKey, 0);
    std::unordered_set<std::string> hidden;
    auto names = settings.GetSectionNameList();
    for (const char* name = names.get(); *name != '\0'; name += std::strlen(name) + 1) {
        if (settings.GetBool(name, keys::kHiddenKey, 0)) {
            hidden.insert(qv::ToLowerAscii(name));
        }
    }
    return hidden.size() + static_cast<size_t>(switches);
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main() {
    fs::path root = fs::temp_directory_path() / "quorvex-bench-settings";
    fs::remove_all(root);
    fs::create_directories(root);
    qv::PathMap paths = qv::PathMap::ForRoot(root.string());
    std::string realPath = paths.Map(keys::kPlainPath);
    fs::create_directories(fs::path(realPath).parent_path());
    WriteSettings(realPath);
    std::printf("  settings file: %d sections, %.1f MB\n", kSections,
                static_cast<double>(fs::file_size(realPath)) / 1e6);

    // Taken in turns, so that all see the same load on the machine. Every start has new
    // profile functions, which have read nothing yet.
    size_t sink = 0;
    std::vector<double> plainTimes;
    std::vector<double> getlineTimes;
    std::vector<double> startTimes;
    for (int i = 0; i < kRuns; ++i) {
        plainTimes.push_back(MedianSeconds(1, [&] { sink += PlainRead(realPath); }));
        getlineTimes.push_back(MedianSeconds(1, [&] { sink += GetlineOnly(realPath); }));
        startTimes.push_back(MedianSeconds(1, [&] {
            auto platform = qv::CreatePlatform(paths);
            sink += StartUpSettingsWork(platform->Profile());
        }));
    }
    double plain = Median(plainTimes);
    double getline = Median(getlineTimes);
    double start = Median(startTimes);
    double ratio = start / plain;
    std::printf(
        "  plain read (lines kept): %.1f ms; getline only: %.1f ms (start-up %.2fx that); "
        "start-up settings work: %.1f ms\n",
        plain * 1e3, getline * 1e3, start / getline, start * 1e3);
    bool met = Report("settings at start-up, 100,000 sections, vs a plain read",
                      Format("%.2fx", ratio), "at most 3x", ratio <= 3.0);

    // Add and description edit, one after the other as a user makes them: each reads what
    // the one before wrote.
    auto platform = qv::CreatePlatform(paths);
    qv::CProfileFile settings(platform->Profile());
    settings.SetPath(keys::kPlainPath);
    StartUpSettingsWork(platform->Profile());
    int added = 0;
    double add = MedianSeconds(kRuns, [&] {
        std::string url = "www.added" + std::to_string(added++) + ".example";
        if (!settings.SectionExists(url.c_str())) {
            settings.WriteString(url.c_str(), keys::kDescKey, "Added by the benchmark");
        }
    });
    int edited = 0;
    double edit = MedianSeconds(kRuns, [&] {
        std::string url = "www.site" + std::to_string(edited * 7919 % kSections) + ".example";
        std::string description = "Edit " + std::to_string(edited++);
        if (settings.SectionExists(url.c_str())) {
            description += settings.GetString(url.c_str(), keys::kDescKey, keys::kMissingDesc);
        }
        settings.WriteString(url.c_str(), keys::kDescKey, description.c_str());
    });
    met = Report("Add with 100,000 sections", Format("%.1f ms", add * 1e3), "under 20 ms",
                 add < 0.020) &&
          met;
    met = Report("description edit with 100,000 sections", Format("%.1f ms", edit * 1e3),
                 "under 20 ms", edit < 0.020) &&
          met;
    if (sink == 0) {
        std::puts("  (nothing read)");
    }
    fs::remove_all(root);
    return met ? 0 : 1;
}
