#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace qv::bench {

// The median wall time of `runs` calls of `work`, in seconds.
template <typename Work>
double MedianSeconds(int runs, Work&& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// One line per target, as scripts/bench prints them.
inline bool Report(const std::string& name, const std::string& figure, const std::string& target,
                   bool met) {
    std::printf("%s: %s (target: %s) %s\n", name.c_str(), figure.c_str(), target.c_str(),
                met ? "met" : "missed");
    std::fflush(stdout);
    return met;
}

inline std::string Format(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}  // namespace qv::bench
