// Settings lookups must not re-read or re-scan the file: a boolean read on a settings file
// of 10,000 sections costs about what it costs on one of 100 sections.
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchSupport.h"
#include "platform/Platform.h"
#include "settings/CProfileFile.h"

namespace {

const char* const kIni = "C:\\Windows\\System32\\Quorvex.ini";

void WriteSettings(const std::string& path, int sections) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "[Main]\nInstalled=1\nReqPass=0\nSet=1\n";
    for (int i = 0; i < sections; ++i) {
        out << "[www.site" << i << ".example]\nDesc=Site number " << i << "~~second line\n"
            << "Hidden=" << (i % 3 == 0 ? 1 : 0) << "\n";
    }
}

// Seconds per GetBool over `lookups` lookups spread over every section.
double PerLookup(qv::Platform& platform, int sections, int lookups) {
    WriteSettings(platform.Files().MapPath(kIni), sections);
    qv::CProfileFile profile(platform.Profile());
    profile.SetPath(kIni);
    profile.GetBool("Main", "Installed", 0);  // the first read parses the file
    std::string names[64];
    for (int i = 0; i < 64; ++i) {
        names[i] = "WWW.SITE" + std::to_string((i * 7919) % sections) + ".EXAMPLE";
    }
    int hidden = 0;
    double seconds = qv::bench::MedianSeconds(5, [&] {
        for (int i = 0; i < lookups; ++i) {
            hidden += profile.GetBool(names[i % 64].c_str(), "Hidden", 0);
        }
    });
    if (hidden < 0) {
        std::puts("impossible");
    }
    return seconds / lookups;
}

}  // namespace

int main() {
    auto root = std::filesystem::temp_directory_path() / "quorvex-bench-profile";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    auto platform = qv::CreatePlatform(qv::PathMap::ForRoot(root.string()));

    const int lookups = 100000;
    double small = PerLookup(*platform, 100, lookups);
    double large = PerLookup(*platform, 10000, lookups);
    double ratio = large / small;
    std::printf("  GetBool per lookup: %.3f us with 100 sections, %.3f us with 10,000 sections\n",
                small * 1e6, large * 1e6);
    bool met = qv::bench::Report("profile lookup, 10,000 vs 100 sections",
                                 qv::bench::Format("%.2fx", ratio), "under 2x", ratio < 2.0);
    std::filesystem::remove_all(root);
    return met ? 0 : 1;
}
