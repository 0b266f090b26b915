// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The window at other sizes than its own: what one pass costs when the
// drawing fills a 1920 x 1080 screen against its natural size, how long the
// passes around a resize in a run take, and how large the record of the
// run-time drawing (kept to be drawn again at any scale) grows.
//
// In one process and one window, built as app/main.cpp builds it, paced as
// the program is, with the graphs shown, at the start-up slider positions:
//   1. a run at the natural size, then the same run resized to the screen
//      (fullscreen where a window manager grants it): the processor time of
//      the main thread in each pass, from one yield's return to the next;
//   2. a run resized every 250 ms through sizes from half the natural size
//      to the whole screen: the longest pass, wall time and processor time,
//      among those in which a resize was handled;
//   3. the record: its strokes and bytes for the window's graphs and each
//      dial, at most, over a run of ten minutes on a clock that steps a
//      frame (1/60 s) per pass, and over ten seconds of the real clock with
//      pacing off (as many passes as the machine can draw).
//
// Usage: kelvara_bench_scale [--json PATH] [--seconds S]
#include "proc_stat.h"
#include "sim/controls.h"
#include "stats.h"
#include "ui/box.h"
#include "ui/events.h"
#include "ui/fonts.h"
#include "ui/form1.h"
#include "ui/platform_guard.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace {

using kelvara::Surface;
using kelvara::bench::Histogram;
using kelvara::ui::Form1;
using kelvara::ui::FormEvents;
using Clock = std::chrono::steady_clock;
using Nanos = std::chrono::nanoseconds;

constexpr double kPassCpuP99TargetMs = 2.0;
constexpr double kResizePassTargetMs = 50.0;
constexpr auto kWarmUp = std::chrono::seconds(1);

Nanos ThreadCpu() {
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return std::chrono::seconds(ts.tv_sec) + Nanos(ts.tv_nsec);
}

double Ms(Nanos ns) {
    return std::chrono::duration<double, std::milli>(ns).count();
}

const char* Met(bool ok) {
    return ok ? "met" : "MISSED";
}

// The window with a probe on its yield: each pass from one yield's return
// to the next, its wall and processor time, and whether a resize was
// handled in it.
class ScaleForm final : public Form1 {
public:
    std::function<void()> everyPass;
    Histogram cpu;
    Histogram wall;
    Nanos worstResizeWall{};
    Nanos worstResizeCpu{};
    std::vector<double> resizeWallMs; // each pass in which a resize was handled
    std::vector<double> relayoutMs;   // the window's own work in each resize
    bool measuring = false;

    bool DoEvents() override {
        if (everyPass) {
            everyPass();
        }
        const bool going = Form1::DoEvents();
        const Nanos nowCpu = ThreadCpu();
        const auto now = Clock::now();
        if (measuring && started_) {
            cpu.Add(nowCpu - lastCpu_);
            wall.Add(now - lastWall_);
            if (resized_) {
                resizeWallMs.push_back(Ms(now - lastWall_));
                worstResizeWall = std::max(worstResizeWall, Nanos(now - lastWall_));
                worstResizeCpu = std::max(worstResizeCpu, nowCpu - lastCpu_);
            }
        }
        started_ = true;
        resized_ = false;
        lastCpu_ = nowCpu;
        lastWall_ = now;
        return going;
    }

    void Measure(bool on) {
        measuring = on;
        cpu.Reset();
        wall.Reset();
        worstResizeWall = worstResizeCpu = Nanos::zero();
        resizeWallMs.clear();
        relayoutMs.clear();
    }

    struct Record {
        std::size_t strokes = 0;
        std::size_t bytes = 0;
    };
    // Largest record seen of each surface: the window's graphs, then the dials.
    std::array<Record, 3> most{};
    void NoteRecord() {
        for (std::size_t i = 0; i < most.size(); ++i) {
            const auto& layer = Layer(static_cast<Surface>(i));
            most[i].strokes = std::max(most[i].strokes, layer.StrokeCount());
            most[i].bytes = std::max(most[i].bytes, layer.MemoryBytes());
        }
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        resized_ = true;
        const auto start = Clock::now();
        Form1::resizeEvent(event);
        if (measuring) {
            relayoutMs.push_back(Ms(Clock::now() - start));
        }
    }

private:
    bool started_ = false;
    bool resized_ = false;
    Nanos lastCpu_{};
    Clock::time_point lastWall_{};
};

// Runs `body` inside a run of the window, switched on now and off after
// `seconds` of wall time.
void DuringARun(ScaleForm& form, double seconds, const std::function<void()>& body = {}) {
    const auto until = Clock::now() + std::chrono::duration<double>(seconds);
    form.everyPass = [&] {
        if (body) {
            body();
        }
        if (Clock::now() >= until && form.State().Running == 1) {
            form.everyPass = nullptr;
            form.PicOn()->Click(); // off, from inside the yield
        }
    };
    form.PicOn()->Click(); // on: returns when the run has ended
}

struct PassFigures {
    double p50, p99, max;
    long passes;
};

PassFigures CpuFigures(const ScaleForm& form) {
    return {Ms(form.cpu.Quantile(0.5)), Ms(form.cpu.Quantile(0.99)), Ms(form.cpu.Max()),
            form.cpu.Count()};
}

PassFigures TimedRun(ScaleForm& form, double seconds) {
    bool warm = false;
    const auto start = Clock::now();
    form.Measure(false);
    DuringARun(form, seconds + 1, [&] {
        if (!warm && Clock::now() - start >= kWarmUp) {
            warm = true;
            form.Measure(true);
        }
    });
    form.measuring = false;
    return CpuFigures(form);
}

} // namespace

int main(int argc, char* argv[]) {
    std::string json = std::string(KELVARA_BENCH_DIR) + "/scale_bench.json";
    double seconds = 5;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0 && i + 1 < argc) {
            json = argv[++i];
        } else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--json PATH] [--seconds S]\n", argv[0]);
            return 2;
        }
    }

    kelvara::ui::BeginPlatformGuard();
    QApplication app(argc, argv);
    kelvara::ui::EndPlatformGuard();
    kelvara::ui::PinFontSubstitutes();

    ScaleForm form;
    FormEvents events(form);
    events.Start();
    form.SetShirmaVisible(false);
    const QSize screen = form.screen()->size();

    std::printf("Kelvara at scale: the real window on the \"%s\" platform, paced\n",
                qPrintable(QGuiApplication::platformName()));
    std::printf("machine: %ld cores; load average at the start: %s\n", kelvara::bench::Cores(),
                kelvara::bench::LoadAverage().c_str());
    std::printf("screen %d x %d; each timed run %.0f s after its first second\n\n", screen.width(),
                screen.height(), seconds);

    // 1. One pass's processor time, natural size against the whole screen.
    const PassFigures natural = TimedRun(form, seconds);
    // Fullscreen where a window manager grants it; on a bare X server the
    // same size by hand.
    form.showFullScreen();
    form.setGeometry(QRect(QPoint(0, 0), screen));
    QApplication::processEvents();
    const double scale = form.Map().Scale();
    const PassFigures full = TimedRun(form, seconds);
    std::printf("pass CPU time, ms          passes     p50     p99     max   target p99 <= %.0f\n",
                kPassCpuP99TargetMs);
    std::printf("natural size (1016 x 734) %7ld %7.3f %7.3f %7.3f\n", natural.passes, natural.p50,
                natural.p99, natural.max);
    std::printf("%4d x %-4d (scale %.3f) %7ld %7.3f %7.3f %7.3f   %s\n\n", form.width(),
                form.height(), scale, full.passes, full.p50, full.p99, full.max,
                Met(full.p99 <= kPassCpuP99TargetMs));
    form.showNormal();
    form.resize(1016, 734);
    QApplication::processEvents();

    // 2. The passes around resizes during a run.
    const std::array<QSize, 6> sizes = {QSize(508, 367),  screen,          QSize(1016, 734),
                                        QSize(1400, 900), QSize(700, 600), screen};
    std::size_t next = 0;
    auto lastResize = Clock::now();
    form.Measure(true);
    DuringARun(form, 0.25 * static_cast<double>(sizes.size()) + 0.5, [&] {
        if (next < sizes.size() && Clock::now() - lastResize >= std::chrono::milliseconds(250)) {
            form.resize(sizes[next++]);
            lastResize = Clock::now();
        }
    });
    form.measuring = false;
    const double resizeWall = Ms(form.worstResizeWall);
    const double resizeCpu = Ms(form.worstResizeCpu);
    std::printf("resized %zu times in a run (half size, screen, natural, 1400 x 900, 700 x 600, "
                "screen)\npasses with a resize, ms:",
                sizes.size());
    for (const double ms : form.resizeWallMs) {
        std::printf(" %.1f", ms);
    }
    // The same sizes for a bare widget: what any Qt window costs here.
    std::printf("\nthe window's own relayout in each, ms:");
    for (const double ms : form.relayoutMs) {
        std::printf(" %.1f", ms);
    }
    std::printf("\n(the rest of such a pass: the repaint of the whole window, Qt making its\n"
                " backing store anew for the new size, and the X server)\n");
    {
        QWidget bare;
        bare.setAutoFillBackground(true);
        bare.resize(1016, 734);
        bare.show();
        QApplication::processEvents();
        std::printf("a bare QWidget resized to the same sizes, ms:");
        for (const QSize& size : sizes) {
            const auto start = Clock::now();
            bare.resize(size);
            QApplication::processEvents();
            std::printf(" %.1f", Ms(Clock::now() - start));
        }
    }
    std::printf("\nlongest pass with a resize %.1f ms (CPU %.1f ms), longest of all %.1f ms; "
                "target no pass over %.0f ms: %s\n\n",
                resizeWall, resizeCpu, Ms(form.wall.Max()), kResizePassTargetMs,
                Met(Ms(form.wall.Max()) <= kResizePassTargetMs));
    form.resize(1016, 734);
    QApplication::processEvents();

    // 3. The record of the run-time drawing.
    form.most = {};
    std::int64_t simulated = 0;
    form.SetClockSource([&simulated] { return simulated; });
    form.SetPaced(false);
    long passes = 0;
    form.everyPass = [&] {
        simulated += 1'000'000'000LL / 60;
        form.NoteRecord();
        if (++passes == 10L * 60 * 60) {
            form.everyPass = nullptr;
            form.PicOn()->Click();
        }
    };
    form.PicOn()->Click();
    const auto stepped = form.most;

    form.most = {};
    form.SetClockSource(
        [] { return std::chrono::duration_cast<Nanos>(Clock::now().time_since_epoch()).count(); });
    passes = 0;
    DuringARun(form, 10, [&] {
        ++passes;
        form.NoteRecord();
    });
    const auto flat = form.most;
    const long flatPasses = passes;

    std::printf("record of the run-time drawing, largest seen   strokes      kB\n");
    const char* names[] = {"graphs", "voltmeter", "ammeter"};
    for (std::size_t i = 0; i < 3; ++i) {
        std::printf("10 min at 60 passes a second, %-10s %10zu %7.1f\n", names[i],
                    stepped[i].strokes, static_cast<double>(stepped[i].bytes) / 1024);
    }
    for (std::size_t i = 0; i < 3; ++i) {
        std::printf("10 s unpaced (%6ld passes), %-10s %10zu %7.1f\n", flatPasses, names[i],
                    flat[i].strokes, static_cast<double>(flat[i].bytes) / 1024);
    }
    std::printf("(the graphs are cleared at every 15 s sweep; a dial keeps one stroke per\n"
                " needle position it has shown)\n");

    if (std::FILE* f = std::fopen(json.c_str(), "w"); f != nullptr) {
        std::fprintf(
            f,
            "{\"screen\": [%d, %d], \"scale\": %.4f,\n"
            " \"pass_cpu_ms\": {\"natural\": {\"p50\": %.4f, \"p99\": %.4f, \"max\": "
            "%.4f}, \"screen\": {\"p50\": %.4f, \"p99\": %.4f, \"max\": %.4f}},\n"
            " \"resize\": {\"longest_pass_ms\": %.3f, \"cpu_ms\": %.3f},\n"
            " \"record_kb\": {\"stepped\": [%.1f, %.1f, %.1f], \"unpaced\": [%.1f, "
            "%.1f, %.1f]}}\n",
            screen.width(), screen.height(), scale, natural.p50, natural.p99, natural.max, full.p50,
            full.p99, full.max, resizeWall, resizeCpu, static_cast<double>(stepped[0].bytes) / 1024,
            static_cast<double>(stepped[1].bytes) / 1024,
            static_cast<double>(stepped[2].bytes) / 1024, static_cast<double>(flat[0].bytes) / 1024,
            static_cast<double>(flat[1].bytes) / 1024, static_cast<double>(flat[2].bytes) / 1024);
        std::fclose(f);
        std::printf("\nfigures written to %s\n", json.c_str());
    }
    return 0;
}
