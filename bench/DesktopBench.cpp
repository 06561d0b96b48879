// The desktop program on a hosts file of 1,000,000 lines: from start to the main window
// shown and to the whole list in its view, side by side with the headless start of the
// same file, each in a process of its own so that peak memory is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QDialog>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "access/PasswordHash.h"
#include "app/CQuorvexApp.h"
#include "framework/headless/HeadlessToolkit.h"
#include "framework/qt/QtToolkit.h"
#include "hosts/CHostsFile.h"
#include "res/Resource.h"
#include "settings/SettingsKeys.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr size_t kLines = 1000000;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long PeakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A normal blocklist of kLines lines and settings of 1,000 restriction sections.
size_t Prepare(const fs::path& root) {
    auto platform = qv::CreatePlatform(qv::PathMap::ForRoot(root.string()));
    fs::create_directories(root / "etc");
    std::string hosts;
    hosts.reserve(kLines * 32);
    for (size_t i = 0; i < kLines; ++i) {
        hosts += (i % 10 == 3) ? "0.0.0.0 Ads" + std::to_string(i) + ".Tracker.Example  # seen\r\n"
                               : "0.0.0.0 host" + std::to_string(i) + ".example.com\r\n";
    }
    std::ofstream(platform->Files().MapPath(qv::kHostsPath), std::ios::binary) << hosts;
    std::ofstream settings(platform->Files().MapPath(qv::settings::kPlainPath), std::ios::binary);
    platform->Passwords().SetIterationsForTests(1000);
    settings << "[Main]\nInstalled=1\nReqPass=0\nSet=1\nPassword="
             << *qv::HashPassword(platform->Passwords(), "bench") << "\n";
    for (int i = 0; i < 1000; ++i) {
        settings << "[host" << i * 97 << ".example.com]\nDesc=entry " << i << "\n";
    }
    return hosts.size();
}

// Child: one start of the program; prints "shown filled rssKb".
int Child(const std::string& mode, const fs::path& root) {
    auto platform = qv::CreatePlatform(qv::PathMap::ForRoot(root.string()));
    bool registry = false;
    qv::InProcessInstanceGuard guard(registry);
    double shown = 0;
    double filled = 0;
    if (mode == "headless") {
        qv::HeadlessToolkit ui;
        ui.Expect(qv::res::kDisclaimerDialog, {qv::HeadlessToolkit::Click(1)});
        auto start = Clock::now();
        qv::CQuorvexApp app(ui, *platform, guard);
        if (!app.InitInstance() || app.View()->restrictionList.Count() != kLines) {
            return 1;
        }
        shown = filled = Since(start);
    } else {
        int argc = 1;
        char name[] = "bench";
        char* argv[] = {name, nullptr};
        QApplication application(argc, argv);
        auto start = Clock::now();
        qv::QtToolkit toolkit;
        toolkit.onDialogShown = [](QDialog* dialog, int) {
            if (auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("control1"))) {
                ok->click();
            }
        };
        toolkit.onMainWindowShown = [&] { shown = Since(start); };
        qv::CQuorvexApp app(toolkit, *platform, guard);
        if (!app.InitInstance()) {
            return 1;
        }
        // Filled: the view knows every line and can scroll to the last one.
        auto* view = toolkit.MainWindow()->findChild<QListView*>(QStringLiteral("control1006"));
        QApplication::processEvents();
        view->scrollToBottom();
        QApplication::processEvents();
        filled = Since(start);
        if (view == nullptr || view->model()->rowCount() != static_cast<int>(kLines) ||
            view->verticalScrollBar()->value() == 0) {
            return 1;
        }
        toolkit.DestroyMainWindow();
    }
    std::printf("%f %f %ld\n", shown, filled, PeakRssKb());
    return 0;
}

struct Run {
    double shown = 0;
    double filled = 0;
    long rssKb = 0;
};

bool RunChild(const char* self, const std::string& mode, const fs::path& root, Run& run) {
    std::string command = std::string(self) + " " + mode + " '" + root.string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return false;
    }
    int fields = std::fscanf(pipe, "%lf %lf %ld", &run.shown, &run.filled, &run.rssKb);
    return pclose(pipe) == 0 && fields == 3;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3) {
        return Child(argv[1], argv[2]);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    fs::path root = fs::temp_directory_path() / "quorvex-bench-desktop";
    fs::remove_all(root);
    size_t fileBytes = Prepare(root);
    fs::path settings = root / "var/lib/quorvex/Quorvex.ini";
    std::string settingsBytes;
    {
        std::ifstream in(settings, std::ios::binary);
        settingsBytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::vector<Run> headless;
    std::vector<Run> desktop;
    for (int i = 0; i < 3; ++i) {
        for (const char* mode : {"headless", "qt"}) {
            // Each start ends by scrambling the settings file; put the plain one back.
            fs::remove(root / "var/lib/quorvex/Quorvex.cpt");
            std::ofstream(settings, std::ios::binary) << settingsBytes;
            Run run;
            if (!RunChild(argv[0], mode, root, run)) {
                std::printf("desktop benchmark: the %s start failed\n", mode);
                return 1;
            }
            (std::strcmp(mode, "qt") == 0 ? desktop : headless).push_back(run);
        }
    }
    fs::remove_all(root);
    auto median = [](std::vector<Run> runs, double Run::*field) {
        std::sort(runs.begin(), runs.end(),
                  [field](const Run& a, const Run& b) { return a.*field < b.*field; });
        return runs[runs.size() / 2].*field;
    };
    double base = median(headless, &Run::filled);
    double shown = median(desktop, &Run::shown);
    double filled = median(desktop, &Run::filled);
    long rss = 0;
    for (const Run& r : desktop) {
        rss = std::max(rss, r.rssKb);
    }
    double memory = rss * 1024.0 / static_cast<double>(fileBytes);
    std::printf(
        "  1,000,000 lines (%.1f MB): headless start %.0f ms; desktop start to window shown "
        "%.0f ms, to list filled %.0f ms; desktop peak RSS %.0f MB\n",
        fileBytes / 1e6, base * 1e3, shown * 1e3, filled * 1e3, rss / 1e3);
    bool met = qv::bench::Report("desktop start to window shown, 1,000,000 lines",
                                 qv::bench::Format("%.2fx headless start", shown / base),
                                 "at most 1.5x", shown / base <= 1.5);
    met &= qv::bench::Report("desktop start to list filled, 1,000,000 lines",
                             qv::bench::Format("%.2fx headless start", filled / base),
                             "at most 1.5x", filled / base <= 1.5);
    met &= qv::bench::Report("desktop peak memory, 1,000,000 lines",
                             qv::bench::Format("%.2fx file size", memory), "at most 4x",
                             memory <= 4.0);
    return met ? 0 : 1;
}
