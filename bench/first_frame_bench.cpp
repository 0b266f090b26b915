// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Launch to first painted frame of the real program, seen from outside.
//
// For each launch the clock (CLOCK_MONOTONIC) is read and the program
// spawned; then, once a millisecond, this asks the X server for the
// program's top-level window (title "Kelvara", _NET_WM_PID the child's) and,
// once that window is viewable, for one pixel of the generator panel at
// window pixel (60, 140). The first frame has been painted when that pixel
// has the panel's colour RGB(192, 255, 192). The program is not changed for
// this and cannot tell that it is watched.
//
// With --probe, kelvara_first_frame_probe (the same start-up, with
// timestamps taken inside) is launched the same way after each launch of
// the program: its pixel is watched as well, and it reports when main()
// was entered, the application made, the window built, shown, first painted
// and flushed, so that the outside figure can be split into its steps.
//
// Usage: kelvara_bench_first_frame APP [--probe PROBE] [--launches N] [--json PATH]
// Needs DISPLAY; run the programs with QT_QPA_PLATFORM=xcb.

#include "child.h"
#include "stats.h"
#include "x_watch.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

using kelvara::bench::Child;
using kelvara::bench::FirstFrame;
using kelvara::bench::kPanelPixelX;
using kelvara::bench::kPanelPixelY;
using kelvara::bench::Median;
using kelvara::bench::MonotonicNs;
using kelvara::bench::SleepNs;
using kelvara::bench::XWatch;

constexpr double kFirstFrameTargetMs = 150;
constexpr std::int64_t kTimeoutNs = 20'000'000'000;
constexpr std::int64_t kPollNs = 1'000'000;
constexpr long kPeakRssTargetKb = 60L * 1024;

struct Launch {
    bool ok = false;
    double mappedMs = 0; // the window found viewable
    double frameMs = 0;  // the panel's colour seen
    long hwmKb = -1;     // 300 ms after the first frame
    long rssKb = -1;
    std::string report; // the probe's own line
};

long StatusField(pid_t pid, const char* name) {
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    std::FILE* f = std::fopen(path.c_str(), "r");
    if (f == nullptr) {
        return -1;
    }
    std::array<char, 256> line{};
    long value = -1;
    while (std::fgets(line.data(), static_cast<int>(line.size()), f) != nullptr) {
        if (std::strncmp(line.data(), name, std::strlen(name)) == 0) {
            value = std::strtol(line.data() + std::strlen(name), nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return value;
}

Launch LaunchOnce(XWatch& x, const std::string& exe, bool probe) {
    Launch r;
    Child child;
    const std::int64_t t0 = MonotonicNs();
    std::vector<std::string> env;
    if (probe) {
        env.push_back("KELVARA_LAUNCH_NS=" + std::to_string(t0));
    }
    if (!child.Start(exe, {}, env, probe)) {
        return r;
    }
    const FirstFrame f = kelvara::bench::WaitForFirstFrame(x, child, t0 + kTimeoutNs);
    if (f.paintedNs != 0) {
        r.ok = true;
        r.mappedMs = static_cast<double>(f.mappedNs - t0) / 1e6;
        r.frameMs = static_cast<double>(f.paintedNs - t0) / 1e6;
    }
    if (r.ok && probe) {
        r.report = child.ReadLine(MonotonicNs() + 3'000'000'000).value_or("");
    }
    if (r.ok && !probe) {
        SleepNs(300'000'000);
        r.hwmKb = StatusField(child.Pid(), "VmHWM:");
        r.rssKb = StatusField(child.Pid(), "VmRSS:");
    }
    child.Stop();
    // The next launch must not find this one's window still on the screen.
    const std::int64_t gone = MonotonicNs() + 2'000'000'000;
    while (f.window != 0 && x.Exists(f.window) && MonotonicNs() < gone) {
        SleepNs(kPollNs);
    }
    return r;
}

// The probe's report: "main A app B built C shown D paint E frame F".
std::vector<double> ParseReport(const std::string& line) {
    std::vector<double> v;
    const char* p = line.c_str();
    while (*p != '\0') {
        while (*p != '\0' && (*p < '0' || *p > '9') && *p != '-') {
            ++p;
        }
        if (*p == '\0') {
            break;
        }
        char* end = nullptr;
        v.push_back(std::strtod(p, &end));
        p = end;
    }
    return v;
}

constexpr std::array<const char*, 6> kSteps = {"main", "app", "built", "shown", "paint", "frame"};

} // namespace

int main(int argc, char** argv) {
    std::string app;
    std::string probe;
    std::string jsonPath = std::string(KELVARA_BENCH_DIR) + "/first_frame.json";
    int launches = 7;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--probe" && i + 1 < argc) {
            probe = argv[++i];
        } else if (arg == "--launches" && i + 1 < argc) {
            launches = std::atoi(argv[++i]);
        } else if (arg == "--json" && i + 1 < argc) {
            jsonPath = argv[++i];
        } else if (app.empty() && !arg.starts_with("--")) {
            app = argv[i];
        } else {
            app.clear();
            break;
        }
    }
    if (app.empty() || launches < 1) {
        std::fprintf(stderr,
                     "usage: %s APP [--probe PROBE] [--launches N] [--json PATH]\n"
                     "needs DISPLAY; run with QT_QPA_PLATFORM=xcb\n",
                     argv[0]);
        return 2;
    }
    XWatch x;
    if (!x.Ok()) {
        std::fprintf(stderr, "cannot reach the X server (DISPLAY=%s)\n",
                     std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "");
        return 1;
    }

    std::vector<Launch> apps;
    std::vector<Launch> probes;
    for (int i = 0; i < launches; ++i) {
        apps.push_back(LaunchOnce(x, app, false));
        if (!probe.empty()) {
            probes.push_back(LaunchOnce(x, probe, true));
        }
    }

    std::printf("Kelvara first frame: launch to first painted frame under X (DISPLAY=%s)\n",
                std::getenv("DISPLAY"));
    std::printf("seen from outside: pixel (%d, %d) of the window turns RGB(192, 255, 192); "
                "polled every 1 ms\n\n",
                kPanelPixelX, kPanelPixelY);
    std::printf("%-7s %12s %12s %11s %11s", "launch", "kelvara ms", "(mapped ms)", "VmHWM kB",
                "VmRSS kB");
    if (!probe.empty()) {
        std::printf(" %10s |", "probe ms");
        for (const char* s : kSteps) {
            std::printf(" %7s", s);
        }
    }
    std::printf("\n");

    std::vector<double> frame;
    std::vector<double> mapped;
    std::vector<double> hwm;
    std::vector<double> rss;
    std::vector<double> probeFrame;
    std::vector<std::vector<double>> steps(kSteps.size());
    bool allOk = true;
    for (int i = 0; i < launches; ++i) {
        const Launch& a = apps[static_cast<std::size_t>(i)];
        allOk = allOk && a.ok;
        if (a.ok) {
            frame.push_back(a.frameMs);
            mapped.push_back(a.mappedMs);
            hwm.push_back(static_cast<double>(a.hwmKb));
            rss.push_back(static_cast<double>(a.rssKb));
            std::printf("%-7d %12.1f %12.1f %11ld %11ld", i + 1, a.frameMs, a.mappedMs, a.hwmKb,
                        a.rssKb);
        } else {
            std::printf("%-7d %12s %12s %11s %11s", i + 1, "failed", "", "", "");
        }
        if (!probe.empty()) {
            const Launch& p = probes[static_cast<std::size_t>(i)];
            const std::vector<double> v = ParseReport(p.report);
            allOk = allOk && p.ok && v.size() == kSteps.size();
            if (p.ok && v.size() == kSteps.size()) {
                probeFrame.push_back(p.frameMs);
                std::printf(" %10.1f |", p.frameMs);
                for (std::size_t s = 0; s < v.size(); ++s) {
                    steps[s].push_back(v[s]);
                    std::printf(" %7.1f", v[s]);
                }
            } else {
                std::printf(" %10s |", "failed");
            }
        }
        std::printf("\n");
    }
    std::printf("%-7s %12.1f %12.1f %11.0f %11.0f", "median", Median(frame), Median(mapped),
                Median(hwm), Median(rss));
    if (!probe.empty()) {
        std::printf(" %10.1f |", Median(probeFrame));
        for (const auto& s : steps) {
            std::printf(" %7.1f", Median(s));
        }
    }
    std::printf("\n");
    const double med = Median(frame);
    std::printf("first frame of kelvara, median of %zu launches: %.1f ms, target <= %.0f ms: %s\n",
                frame.size(), med, kFirstFrameTargetMs,
                allOk && med <= kFirstFrameTargetMs ? "met" : "MISSED");
    std::printf("kelvara at rest 300 ms after its first frame: VmHWM %.0f kB (median), target <= "
                "%ld kB: %s\n",
                Median(hwm), kPeakRssTargetKb,
                allOk && Median(hwm) <= static_cast<double>(kPeakRssTargetKb) ? "met" : "MISSED");
    if (!probe.empty()) {
        std::printf("probe columns: ms from spawn to main() entered, application made, window "
                    "built,\nshown with needles at rest, first paint event, first frame painted "
                    "and flushed\n");
    }

    std::FILE* f = std::fopen(jsonPath.c_str(), "w");
    if (f == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", jsonPath.c_str());
        return 1;
    }
    std::fprintf(f, "{\n  \"benchmark\": \"first_frame\",\n  \"launches\": %d,\n", launches);
    std::fprintf(f, "  \"target_ms\": %.0f,\n  \"kelvara\": [", kFirstFrameTargetMs);
    for (std::size_t i = 0; i < apps.size(); ++i) {
        std::fprintf(f,
                     "%s\n    {\"ok\": %s, \"first_frame_ms\": %.2f, \"mapped_ms\": %.2f, "
                     "\"vmhwm_kb\": %ld, \"vmrss_kb\": %ld}",
                     i == 0 ? "" : ",", apps[i].ok ? "true" : "false", apps[i].frameMs,
                     apps[i].mappedMs, apps[i].hwmKb, apps[i].rssKb);
    }
    std::fprintf(f, "\n  ],\n  \"kelvara_median_ms\": %.2f,\n", med);
    std::fprintf(f, "  \"kelvara_vmhwm_kb_median\": %.0f,\n", Median(hwm));
    std::fprintf(f, "  \"probe\": [");
    for (std::size_t i = 0; i < probes.size(); ++i) {
        const std::vector<double> v = ParseReport(probes[i].report);
        std::fprintf(f, "%s\n    {\"ok\": %s, \"first_frame_ms\": %.2f", i == 0 ? "" : ",",
                     probes[i].ok && v.size() == kSteps.size() ? "true" : "false",
                     probes[i].frameMs);
        for (std::size_t s = 0; s < v.size() && s < kSteps.size(); ++s) {
            std::fprintf(f, ", \"%s_ms\": %.2f", kSteps.at(s), v[s]);
        }
        std::fprintf(f, "}");
    }
    std::fprintf(f, "\n  ]");
    if (!probe.empty()) {
        std::fprintf(f, ",\n  \"probe_median_ms\": {\"outside\": %.2f", Median(probeFrame));
        for (std::size_t s = 0; s < kSteps.size(); ++s) {
            std::fprintf(f, ", \"%s\": %.2f", kSteps.at(s), Median(steps[s]));
        }
        std::fprintf(f, "}");
    }
    std::fprintf(f, "\n}\n");
    if (std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", jsonPath.c_str());
        return 1;
    }
    std::printf("\nfigures written to %s\n", jsonPath.c_str());
    return allOk ? 0 : 1;
}
