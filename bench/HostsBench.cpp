// Large hosts files: start-up load with and without normalisation, a save of the whole list
// and an Add's duplicate check, through the real code and the headless list model, side by
// side with a plain read-lowercase-write loop over the same file.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/CQuorvexView.h"
#include "framework/headless/HeadlessToolkit.h"
#include "res/Resource.h"
#include "settings/SettingsKeys.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

using qv::bench::Format;
using qv::bench::MedianSeconds;
using qv::bench::Report;
namespace fs = std::filesystem;

// A blocklist: a comment header, then "0.0.0.0 name" lines, some with remarks, tabs and
// capitals. `normal` leaves out the header so that no normalisation is needed.
std::string MakeBlocklist(size_t lines, bool normal) {
    std::string out;
    out.reserve(lines * 32);
    if (!normal) {
        out += "# Blocklist for benchmarks\r\n# generated\r\n#\r\n127.0.0.1 localhost\r\n\r\n";
    }
    for (size_t i = 0; i < lines; ++i) {
        if (i % 10 == 3) {
            out += "0.0.0.0 Ads" + std::to_string(i) + ".Tracker.Example  # seen 2026\r\n";
        } else if (i % 10 == 7) {
            out += "0.0.0.0\tcdn" + std::to_string(i) + ".example.net\r\n";
        } else {
            out += "0.0.0.0 host" + std::to_string(i) + ".example.com\r\n";
        }
    }
    return out;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void WriteSettings(const fs::path& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "[Main]\nInstalled=1\nReqPass=0\nSet=1\n";
    for (int i = 0; i < 1000; ++i) {
        out << "[host" << i * 97 << ".example.com]\nDesc=entry " << i << "\n";
        if (i % 4 == 0) {
            out << "Hidden=1\n";
        }
    }
}

struct Baseline {
    double read = 0;
    double write = 0;
};

// The plain loop: read line by line, lower-case into a vector, write to another file.
Baseline RunBaseline(const fs::path& source, const fs::path& target) {
    Baseline b;
    std::vector<std::string> lines;
    b.read = MedianSeconds(3, [&] {
        lines.clear();
        std::ifstream in(source, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            for (char& c : line) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            lines.push_back(line);
        }
    });
    b.write = MedianSeconds(3, [&] {
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        for (const std::string& line : lines) {
            out << line << '\n';
        }
    });
    return b;
}

long PeakRssKb() {
#ifndef _WIN32
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#else
    return 0;
#endif
}

struct Results {
    double normalLoad = 0;
    double formatLoad = 0;
    double saveWrite = 0;
    double saveReplace = 0;
    double addCheck = 0;
    size_t listBytes = 0;
    size_t fileBytes = 0;
    size_t listLines = 0;
    size_t hiddenLines = 0;
};

Results RunProgram(const fs::path& root, size_t lines) {
    Results r;
    auto platform = qv::CreatePlatform(qv::PathMap::ForRoot(root.string()));
    fs::path hosts = platform->Files().MapPath(qv::kHostsPath);
    fs::create_directories(hosts.parent_path());
    // A view's teardown scrambles the settings file away: each view gets it fresh.
    const fs::path settingsFile = platform->Files().MapPath(qv::settings::kPlainPath);
    const std::string normal = MakeBlocklist(lines, true);
    const std::string commented = MakeBlocklist(lines, false);
    r.fileBytes = normal.size();

    qv::HeadlessToolkit ui;
    auto load = [&](const std::string& content, double& seconds) {
        std::vector<double> times;
        for (int i = 0; i < 3; ++i) {
            WriteFile(hosts, content);
            WriteSettings(settingsFile);
            qv::CQuorvexView view(ui, *platform);
            view.settings.SetPath(qv::settings::kPlainPath);
            auto start = std::chrono::steady_clock::now();
            view.hostsFile.OpenFiles();
            view.hostsFile.LoadHostsFile();
            times.push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            r.listLines = view.restrictionList.Count() + view.hostsFile.HiddenLines().size();
            r.hiddenLines = view.hostsFile.HiddenLines().size();
            r.listBytes = view.restrictionList.MemoryUsed();
        }
        std::sort(times.begin(), times.end());
        seconds = times[1];
    };
    load(commented, r.formatLoad);
    load(normal, r.normalLoad);

    // A loaded program for the save and the Add.
    WriteFile(hosts, normal);
    WriteSettings(settingsFile);
    qv::CQuorvexView view(ui, *platform);
    view.settings.SetPath(qv::settings::kPlainPath);
    view.hostsFile.OpenFiles();
    view.hostsFile.LoadHostsFile();
    qv::ListModel& list = view.restrictionList;
    std::vector<double> writes;
    std::vector<double> replaces;
    for (int i = 0; i < 3; ++i) {
        auto start = std::chrono::steady_clock::now();
        qv::TextFile& out = view.hostsFile.outputFile;
        for (size_t k = 0; k < list.Count(); ++k) {
            out.Write(list.Line(k));
            out.Write("\n");
        }
        for (const std::string& hidden : view.hostsFile.HiddenLines()) {
            out.Write(hidden);
            out.Write("\n");
        }
        out.Flush();
        auto written = std::chrono::steady_clock::now();
        view.restrictions.RefreshFiles();
        auto done = std::chrono::steady_clock::now();
        writes.push_back(std::chrono::duration<double>(written - start).count());
        replaces.push_back(std::chrono::duration<double>(done - written).count());
    }
    std::sort(writes.begin(), writes.end());
    std::sort(replaces.begin(), replaces.end());
    r.saveWrite = writes[1];
    r.saveReplace = replaces[1];

    // An Add of the last line's URL again: the whole list is compared, then refused.
    std::string last(list.Line(list.Count() - 1));
    std::string url = last.substr(last.find(' ') + 1);
    r.addCheck = MedianSeconds(5, [&] {
        ui.Expect(qv::res::kNewRestrictionDialog,
                  {qv::HeadlessToolkit::Type(qv::res::kUrlEdit, url),
                   qv::HeadlessToolkit::Click(qv::res::kIdOk)});
        view.restrictions.OnAddRestriction();
    });
    if (!ui.errors.empty() ||
        ui.transcript.back() != "message: " + url + " already exists in the list. |  | 0") {
        std::printf("  unexpected flow in the Add benchmark\n");
    }
    return r;
}

}  // namespace

int main() {
    fs::path root = fs::temp_directory_path() / "quorvex-bench-hosts";
    bool allMet = true;
    for (size_t lines : {size_t{100000}, size_t{1000000}}) {
        fs::remove_all(root);
        fs::create_directories(root);
        fs::path plain = root / "baseline-hosts";
        WriteFile(plain, MakeBlocklist(lines, true));
        Baseline base = RunBaseline(plain, root / "baseline-out");
        long rssBefore = PeakRssKb();
        Results r = RunProgram(root, lines);
        long rssAfter = PeakRssKb();

        std::string n = lines == 1000000 ? "1,000,000" : "100,000";
        std::printf(
            "  %s lines (%.1f MB): baseline read %.0f ms, write %.0f ms; load %.0f ms, "
            "load with normalisation %.0f ms, save %.0f ms + replace and sync %.0f ms, "
            "Add check %.2f ms, list %.1f MB, peak RSS growth %.1f MB; %zu lines read, "
            "%zu hidden\n",
            n.c_str(), r.fileBytes / 1e6, base.read * 1e3, base.write * 1e3, r.normalLoad * 1e3,
            r.formatLoad * 1e3, r.saveWrite * 1e3, r.saveReplace * 1e3, r.addCheck * 1e3,
            r.listBytes / 1e6, (rssAfter - rssBefore) / 1e3, r.listLines, r.hiddenLines);
        if (lines != 1000000) {
            continue;
        }
        double loadRatio = r.normalLoad / base.read;
        double formatRatio = r.formatLoad / (base.read + base.write);
        double saveRatio = r.saveWrite / base.write;
        double memRatio = static_cast<double>(r.listBytes) / static_cast<double>(r.fileBytes);
        allMet &= Report("hosts load of a normal file, 1,000,000 lines",
                         Format("%.2fx baseline read", loadRatio), "at most 2x", loadRatio <= 2.0);
        allMet &=
            Report("hosts load with normalisation, 1,000,000 lines",
                   Format("%.2fx whole baseline", formatRatio), "at most 3x", formatRatio <= 3.0);
        allMet &= Report("hosts save of the whole list, 1,000,000 lines",
                         Format("%.2fx baseline write", saveRatio) +
                             Format(" (replace and sync %.0f ms)", r.saveReplace * 1e3),
                         "at most 2x", saveRatio <= 2.0);
        allMet &= Report("Add duplicate check, 1,000,000 lines",
                         Format("%.2f ms", r.addCheck * 1e3), "under 50 ms", r.addCheck < 0.050);
        allMet &= Report("loaded list memory, 1,000,000 lines", Format("%.2fx file size", memRatio),
                         "at most 3x", memRatio <= 3.0);
    }
    fs::remove_all(root);
    return allMet ? 0 : 1;
}
