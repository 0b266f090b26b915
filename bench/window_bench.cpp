// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Speed and resident memory of the real window, with the run loop unpaced.
//
// The program's own window and handlers are built as app/main.cpp builds
// them, on whatever platform QT_QPA_PLATFORM names, and driven by its own
// switch. Pacing is switched off (Form1::SetPaced(false)): the yield
// handles the pending events and returns, so passes follow one another as
// fast as they go and their number measures the work of a pass, not the
// screen's frame rate. What the paced program costs and shows is measured
// by kelvara_bench_frames. One yield of the run loop is one pass, so a pass
// lasts from one DoEvents entry to the next: the drawing of a pass plus the
// repaint and event handling of the yield that follows it.
//
// In one process and one window:
//   1. runs against the real clock at the start-up slider positions and at
//      the strongest setting: passes per second, and the pass times after
//      the first second (the first second pays for one-off work such as the
//      graph layer's first allocation);
//   2. one run at the start-up positions whose clock advances a fixed step
//      on every read, so simulated time runs as fast as passes go: resident
//      memory after 1 and after 10 minutes of it.
//
// Usage: kelvara_bench_window [--json PATH] [--seconds S] [--minutes M] [--hz H]
//        kelvara_bench_window --fixed PASSES [--hz H]
//   --seconds  length of each timed run (default 10)
//   --minutes  simulated minutes of the memory run (default 10; 0 skips it)
//   --hz       clock reads per simulated second of the fake clock (default
//              60, one pass per frame as the paced program runs: ten
//              minutes are its 36,000 passes, under a minute of wall time
//              under Xvfb here; 1000 takes about ten times as long)
//   --fixed    only one run of PASSES passes at the start-up positions on
//              the fake clock, timed as a whole: a repeatable workload for
//              callgrind

#include "proc_memory.h"
#include "proc_stat.h"
#include "sim/controls.h"
#include "sim/state.h"
#include "stats.h"
#include "ui/events.h"
#include "ui/fonts.h"
#include "ui/form1.h"
#include "ui/platform_guard.h"

#include <sys/resource.h>

#include <QApplication>
#include <QSlider>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using kelvara::bench::Histogram;
using kelvara::bench::LoadAverage;
using kelvara::bench::Memory;
using kelvara::bench::MemoryPoint;
using kelvara::bench::ReadMemory;

namespace {

using kelvara::Slider;
using kelvara::ui::Form1;
using kelvara::ui::FormEvents;
using Clock = std::chrono::steady_clock;
using Nanos = std::chrono::nanoseconds;

constexpr auto kWarmUp = std::chrono::seconds(1);

// Targets on the two-core machine the figures are taken on.
constexpr double kP99TargetMs = 1.0;
constexpr double kMaxTargetMs = 16.0;
constexpr long kPeakRssTargetKb = 60L * 1024;

double Ms(Nanos ns) {
    return std::chrono::duration<double, std::milli>(ns).count();
}

// User and system time of this process so far.
Nanos CpuTime() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    const auto tv = [](const timeval& t) {
        return std::chrono::seconds(t.tv_sec) + std::chrono::microseconds(t.tv_usec);
    };
    return std::chrono::duration_cast<Nanos>(tv(u.ru_utime) + tv(u.ru_stime));
}

// Called at every DoEvents entry, before the yield itself, and again when
// the yield returns.
class PassProbe {
public:
    PassProbe() = default;
    PassProbe(const PassProbe&) = delete;
    PassProbe& operator=(const PassProbe&) = delete;
    PassProbe(PassProbe&&) = delete;
    PassProbe& operator=(PassProbe&&) = delete;
    virtual ~PassProbe() = default;
    virtual void OnPass() = 0;
    virtual void AfterYield() {}
};

// The real window with a probe on the run loop's yield and, when asked, a
// clock that advances by a fixed step on every read instead of the real one.
class BenchForm final : public Form1 {
public:
    PassProbe* probe = nullptr;
    bool fakeClock = false;
    long fakeReads = 0;
    double fakeStep = 1.0 / 60;

    [[nodiscard]] double FakeSeconds() const { return static_cast<double>(fakeReads) * fakeStep; }

    float Timer() override {
        if (!fakeClock) {
            return Form1::Timer();
        }
        ++fakeReads;
        return static_cast<float>(FakeSeconds());
    }

    // One run from the switch to its end with `watch` on every pass and the
    // clock stepping 1/hz s per read; returns the wall time it took.
    std::chrono::duration<double> RunWithFakeClock(FormEvents& events, PassProbe& watch,
                                                   double hz) {
        fakeReads = 0;
        fakeStep = 1.0 / hz;
        fakeClock = true;
        probe = &watch;
        const auto t0 = Clock::now();
        events.picOn_Click();
        const auto t1 = Clock::now();
        probe = nullptr;
        fakeClock = false;
        return t1 - t0;
    }

    bool DoEvents() override {
        if (probe != nullptr) {
            probe->OnPass();
        }
        const bool going = Form1::DoEvents();
        if (probe != nullptr) {
            probe->AfterYield();
        }
        return going;
    }
};

// A run against the real clock that the switch ends after `length`.
class TimedRun final : public PassProbe {
public:
    TimedRun(FormEvents& events, Histogram& hist, Nanos length)
        : events_(events), hist_(hist), length_(length) {}

    void OnPass() override {
        const auto now = Clock::now();
        if (entries_ == 0) {
            start_ = now;
        } else if (prev_ - start_ >= kWarmUp) {
            hist_.Add(now - prev_);
            yieldTime_ += yieldEnd_ - prev_;
            drawTime_ += now - yieldEnd_;
        }
        prev_ = now;
        ++entries_;
        if (!stopped_ && now - start_ >= length_) {
            // The switch-off click, as if it had arrived in this yield.
            stopped_ = true;
            end_ = now;
            events_.picOn_Click();
        }
    }

    void AfterYield() override { yieldEnd_ = Clock::now(); }

    // Passes completed between the first yield and the one that stopped
    // the run.
    [[nodiscard]] long Passes() const { return entries_ - 1; }
    [[nodiscard]] Nanos Elapsed() const { return end_ - start_; }
    // Summed over the timed passes: the yield (events, repaint, flush to
    // the screen) and the rest of the pass (simulation and drawing calls).
    [[nodiscard]] Nanos YieldTime() const { return yieldTime_; }
    [[nodiscard]] Nanos DrawTime() const { return drawTime_; }

private:
    FormEvents& events_;
    Histogram& hist_;
    Nanos length_;
    Clock::time_point start_{};
    Clock::time_point prev_{};
    Clock::time_point end_{};
    Clock::time_point yieldEnd_{};
    Nanos yieldTime_{};
    Nanos drawTime_{};
    long entries_ = 0;
    bool stopped_ = false;
};

// A run on the fake clock, with a memory reading at every whole minute of
// it and the switch-off after the last.
class MemoryRun final : public PassProbe {
public:
    struct Reading {
        double clock = 0;
        long passes = 0;
        Memory memory;
    };

    MemoryRun(FormEvents& events, BenchForm& form, long readsPerMinute, long minutes)
        : events_(events), form_(form), readsPerMinute_(readsPerMinute),
          readings_(static_cast<std::size_t>(minutes)) {}

    // The clock has just been read for this pass; `passes_` passes are done.
    void OnPass() override {
        if (form_.fakeReads % readsPerMinute_ == 0 && next_ < readings_.size()) {
            readings_[next_] = {form_.FakeSeconds(), passes_, ReadMemory()};
            if (++next_ == readings_.size()) {
                events_.picOn_Click();
            }
        }
        ++passes_;
    }

    [[nodiscard]] long Passes() const { return passes_; }
    // One per minute, from the first.
    [[nodiscard]] const std::vector<Reading>& Readings() const { return readings_; }

private:
    FormEvents& events_;
    BenchForm& form_;
    long readsPerMinute_;
    std::vector<Reading> readings_; // allocated before the run
    std::size_t next_ = 0;
    long passes_ = 0;
};

// A run of a fixed number of passes, for instruction counts that do not
// depend on how fast the machine is (run it under callgrind).
class FixedRun final : public PassProbe {
public:
    FixedRun(FormEvents& events, long passes) : events_(events), limit_(passes) {}

    void OnPass() override {
        if (++passes_ == limit_) {
            events_.picOn_Click();
        }
    }

    [[nodiscard]] long Passes() const { return passes_; }

private:
    FormEvents& events_;
    long limit_;
    long passes_ = 0;
};

struct Setting {
    const char* name;
    int sldW;
    int sldU;
    int sldR;
};

constexpr Setting kSettings[] = {
    {"start-up", 5, 5, 1},
    {"strongest", 5, 10, 1},
};

struct LoopResult {
    std::string name;
    long passes = 0;
    double seconds = 0;
    double perSecond = 0;
    long timed = 0; // pass times after the first second
    double p50Ms = 0;
    double p99Ms = 0;
    double maxMs = 0;
    long over16ms = 0;
    double yieldUs = 0; // mean per timed pass
    double drawUs = 0;
    double cpuUs = 0; // processor time of this process per pass, whole loop
};

LoopResult Summarise(const std::string& name, long passes, Nanos elapsed, const Histogram& h) {
    LoopResult r;
    r.name = name;
    r.passes = passes;
    r.seconds = std::chrono::duration<double>(elapsed).count();
    r.perSecond = r.seconds > 0 ? static_cast<double>(passes) / r.seconds : 0;
    r.timed = h.Count();
    r.p50Ms = Ms(h.Quantile(0.50));
    r.p99Ms = Ms(h.Quantile(0.99));
    r.maxMs = Ms(h.Max());
    r.over16ms = h.Over16ms();
    return r;
}

LoopResult Run(BenchForm& form, FormEvents& events, Histogram& hist, const Setting& s,
               Nanos length) {
    form.SliderControl(Slider::sldW)->setValue(s.sldW);
    form.SliderControl(Slider::sldU)->setValue(s.sldU);
    form.SliderControl(Slider::sldR)->setValue(s.sldR);
    QCoreApplication::processEvents();
    hist.Reset();
    TimedRun run(events, hist, length);
    form.probe = &run;
    const Nanos cpu0 = CpuTime();
    events.picOn_Click(); // returns when the run has ended
    const Nanos cpu = CpuTime() - cpu0;
    form.probe = nullptr;
    const std::string name = std::string(s.name) + " (" + std::to_string(s.sldW) + "/" +
                             std::to_string(s.sldU) + "/" + std::to_string(s.sldR) + ")";
    LoopResult r = Summarise(name, run.Passes(), run.Elapsed(), hist);
    const auto perPass = [&r](Nanos total) {
        return r.timed > 0 ? std::chrono::duration<double, std::micro>(total).count() /
                                 static_cast<double>(r.timed)
                           : 0;
    };
    r.yieldUs = perPass(run.YieldTime());
    r.drawUs = perPass(run.DrawTime());
    r.cpuUs = std::chrono::duration<double, std::micro>(cpu).count() /
              static_cast<double>(std::max(run.Passes(), 1L));
    return r;
}

struct MemoryResult {
    // Two readings before the memory run, one per minute of it, one after.
    std::vector<MemoryPoint> points;
    double hz = 0;
    long minutes = 0;
    long passes = 0;
    double wallSeconds = 0;
};

void MeasureMemory(BenchForm& form, FormEvents& events, MemoryResult& r) {
    form.SliderControl(Slider::sldW)->setValue(5);
    form.SliderControl(Slider::sldU)->setValue(5);
    form.SliderControl(Slider::sldR)->setValue(1);
    QCoreApplication::processEvents();

    const auto readsPerMinute = static_cast<long>(60 * r.hz);
    MemoryRun run(events, form, readsPerMinute, r.minutes);
    r.wallSeconds = form.RunWithFakeClock(events, run, r.hz).count();
    r.passes = run.Passes();
    long minute = 0;
    for (const MemoryRun::Reading& m : run.Readings()) {
        r.points.push_back({std::to_string(++minute) + " min", m.clock, m.passes, m.memory});
    }
    r.points.push_back({"after the run", form.FakeSeconds(), r.passes, ReadMemory()});
}

const char* Verdict(bool met) {
    return met ? "met" : "MISSED";
}

void PrintReport(const std::string& platform, const std::string& load, double seconds,
                 const std::vector<LoopResult>& loops, const MemoryResult& mem) {
    std::printf("Kelvara window benchmark: the real window on the \"%s\" platform, unpaced\n",
                platform.c_str());
    std::printf("load average at the start: %s\n", load.c_str());
    std::printf(
        "each run %.0f s with pacing off; a pass runs from one yield of the run loop to the\n"
        "next; pass times after the first second; yield us / draw us: mean time of a pass\n"
        "spent in the yield (events, repaint, flush) and in the rest (simulation, drawing\n"
        "calls); cpu us: processor time of this process per pass (the rest is waiting)\n\n",
        seconds);
    std::printf("%-20s %8s %9s %8s %8s %8s %6s %9s %8s %7s\n", "run (sldW/sldU/sldR)", "passes",
                "passes/s", "p50 ms", "p99 ms", "max ms", ">16ms", "yield us", "draw us", "cpu us");
    for (const LoopResult& r : loops) {
        std::printf("%-20s %8ld %9.0f %8.4f %8.4f %8.3f %6ld %9.2f %8.2f %7.2f\n", r.name.c_str(),
                    r.passes, r.perSecond, r.p50Ms, r.p99Ms, r.maxMs, r.over16ms, r.yieldUs,
                    r.drawUs, r.cpuUs);
    }
    for (const LoopResult& r : loops) {
        std::printf("%-22s pass p99 <= %.0f ms: %s; none > %.0f ms: %s\n", r.name.c_str(),
                    kP99TargetMs, Verdict(r.p99Ms <= kP99TargetMs), kMaxTargetMs,
                    Verdict(r.maxMs <= kMaxTargetMs));
    }

    std::printf("\nResident memory of this process");
    if (mem.minutes > 0) {
        std::printf("; then one run at 5/5/1 in the same window, clock +1/%.0f s per read", mem.hz);
    }
    std::printf("\n%-16s %10s %10s %10s %10s %10s %10s %10s\n", "reading", "passes", "clock s",
                "VmRSS kB", "VmHWM kB", "anon kB", "file kB", "heap kB");
    for (const MemoryPoint& p : mem.points) {
        std::printf("%-16s %10ld %10.1f %10ld %10ld %10ld %10ld %10ld\n", p.label.c_str(), p.passes,
                    p.simulatedSeconds, p.memory.rssKb, p.memory.hwmKb, p.memory.anonKb,
                    p.memory.fileKb, p.memory.heapKb);
    }
    std::printf("(anon, file: the anonymous and file-backed parts of VmRSS; heap: bytes in use\n"
                "from malloc)\n");
    const long peak = mem.points.back().memory.hwmKb;
    std::printf("peak VmHWM %ld kB, target <= %ld kB: %s\n", peak, kPeakRssTargetKb,
                Verdict(peak <= kPeakRssTargetKb));
    if (mem.minutes == 0) {
        return;
    }
    std::printf("wall time of the run %.1f s (%.1f us per pass)\n", mem.wallSeconds,
                mem.wallSeconds * 1e6 / static_cast<double>(std::max(mem.passes, 1L)));
    const MemoryPoint& one = mem.points.at(2);
    const MemoryPoint& last = mem.points.at(mem.points.size() - 2);
    std::printf("growth of VmRSS from 1 min to %s: %ld kB (anon %+ld, file %+ld), target 0: %s\n",
                last.label.c_str(), last.memory.rssKb - one.memory.rssKb,
                last.memory.anonKb - one.memory.anonKb, last.memory.fileKb - one.memory.fileKb,
                Verdict(last.memory.rssKb <= one.memory.rssKb));
    // Pages of the heap touched for the first time can raise VmRSS while the
    // bytes held stay the same; a leak raises both. What a pass has in flight
    // when it yields varies by a few kB, so the change is shown per pass.
    const long heapGrowthKb = last.memory.heapKb - one.memory.heapKb;
    const long passes = last.passes - one.passes;
    std::printf("change of the heap in use from 1 min to %s: %+ld kB over %ld passes "
                "(%+.4f bytes per pass)\n",
                last.label.c_str(), heapGrowthKb, passes,
                static_cast<double>(heapGrowthKb) * 1024 /
                    static_cast<double>(std::max(passes, 1L)));
}

void JsonLoop(std::FILE* f, const LoopResult& r, bool last) {
    std::fprintf(f,
                 "    {\"loop\": \"%s\", \"passes\": %ld, \"seconds\": %.3f, "
                 "\"passes_per_second\": %.1f, \"timed_passes\": %ld, \"p50_ms\": %.4f, "
                 "\"p99_ms\": %.4f, \"max_ms\": %.4f, \"over_16ms\": %ld, "
                 "\"yield_us_mean\": %.3f, "
                 "\"draw_us_mean\": %.3f, \"cpu_us_per_pass\": %.3f}%s\n",
                 r.name.c_str(), r.passes, r.seconds, r.perSecond, r.timed, r.p50Ms, r.p99Ms,
                 r.maxMs, r.over16ms, r.yieldUs, r.drawUs, r.cpuUs, last ? "" : ",");
}

bool WriteJson(const std::string& path, const std::string& platform, double seconds,
               const std::string& load, const std::vector<LoopResult>& loops,
               const MemoryResult& mem) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (f == nullptr) {
        return false;
    }
    std::fprintf(f, "{\n  \"benchmark\": \"window\",\n  \"platform\": \"%s\",\n", platform.c_str());
    std::fprintf(f, "  \"load_average_at_start\": \"%s\",\n", load.c_str());
    std::fprintf(f, "  \"paced\": false,\n  \"loop_seconds\": %.1f,\n  \"loops\": [\n", seconds);
    for (std::size_t i = 0; i < loops.size(); ++i) {
        JsonLoop(f, loops[i], i + 1 == loops.size());
    }
    std::fprintf(f, "  ],\n  \"memory\": {\n    \"clock_step_s\": %.9f,\n",
                 mem.minutes > 0 ? 1 / mem.hz : 0);
    std::fprintf(f, "    \"minutes\": %ld,\n    \"passes\": %ld,\n    \"wall_seconds\": %.3f,\n",
                 mem.minutes, mem.passes, mem.wallSeconds);
    std::fprintf(f, "    \"peak_vmhwm_kb\": %ld,\n    \"points\": [\n",
                 mem.points.back().memory.hwmKb);
    for (std::size_t i = 0; i < mem.points.size(); ++i) {
        const MemoryPoint& p = mem.points[i];
        std::fprintf(f,
                     "      {\"label\": \"%s\", \"simulated_seconds\": %.3f, \"passes\": %ld, "
                     "\"vmrss_kb\": %ld, \"vmhwm_kb\": %ld, \"rss_anon_kb\": %ld, "
                     "\"rss_file_kb\": %ld, \"heap_in_use_kb\": %ld}%s\n",
                     p.label.c_str(), p.simulatedSeconds, p.passes, p.memory.rssKb, p.memory.hwmKb,
                     p.memory.anonKb, p.memory.fileKb, p.memory.heapKb,
                     i + 1 < mem.points.size() ? "," : "");
    }
    std::fprintf(f, "    ]\n  }\n}\n");
    return std::fclose(f) == 0;
}

// --fixed: one run of `passes` passes at the start-up positions, the clock
// advancing 1/hz s per read, as passes at `hz` per second would see it.
int FixedOnly(BenchForm& form, FormEvents& events, long passes, double hz) {
    FixedRun run(events, passes);
    const double us = form.RunWithFakeClock(events, run, hz).count() * 1e6;
    std::printf("fixed run: %ld passes, clock +1/%.0f s per read, %.1f us per pass\n", run.Passes(),
                hz, us / static_cast<double>(std::max(run.Passes(), 1L)));
    return 0;
}

// Lets the window reach the screen and finish its first paints.
void Settle(Form1& form) {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < deadline &&
           (form.windowHandle() == nullptr || !form.windowHandle()->isExposed())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    const auto quiet = Clock::now() + std::chrono::milliseconds(300);
    while (Clock::now() < quiet) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

} // namespace

int main(int argc, char** argv) {
    std::string jsonPath;
    double seconds = 10;
    long minutes = 10;
    long fixed = 0;
    double hz = 60;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--json" && i + 1 < argc) {
            jsonPath = argv[++i];
        } else if (arg == "--seconds" && i + 1 < argc) {
            seconds = std::strtod(argv[++i], nullptr);
        } else if (arg == "--minutes" && i + 1 < argc) {
            minutes = std::strtol(argv[++i], nullptr, 10);
        } else if (arg == "--fixed" && i + 1 < argc) {
            fixed = std::strtol(argv[++i], nullptr, 10);
        } else if (arg == "--hz" && i + 1 < argc) {
            hz = std::strtod(argv[++i], nullptr);
        } else {
            std::fprintf(stderr,
                         "usage: %s [--json PATH] [--seconds S] [--minutes M] [--hz H]\n"
                         "       %s --fixed PASSES [--hz H]\n",
                         argv[0], argv[0]);
            return 2;
        }
    }
    if (seconds <= 1 || minutes < 0 || (minutes > 0 && minutes < 2) || fixed < 0 || hz <= 0) {
        std::fprintf(stderr, "--seconds must exceed 1 and --minutes be 0 or at least 2\n");
        return 2;
    }

    kelvara::ui::BeginPlatformGuard();
    QApplication app(argc, argv);
    kelvara::ui::EndPlatformGuard();
    kelvara::ui::PinFontSubstitutes();
    const std::string platform = QGuiApplication::platformName().toStdString();
    if (jsonPath.empty()) {
        jsonPath = std::string(KELVARA_BENCH_DIR) + "/window_bench." + platform + ".json";
    }

    BenchForm form;
    // Every figure here counts passes: one pass per frame slot would count
    // the screen's refresh rate instead.
    form.SetPaced(false);
    bool failed = false;
    FormEvents events(form, [&failed](const QString& message) {
        failed = true;
        std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    events.Start();
    Settle(form);
    if (fixed > 0) {
        return FixedOnly(form, events, fixed, hz);
    }
    const std::string load = LoadAverage();
    MemoryResult mem;
    mem.hz = hz;
    mem.minutes = minutes;
    mem.points.push_back({"window shown", 0, 0, ReadMemory()});

    const auto length = std::chrono::duration_cast<Nanos>(std::chrono::duration<double>(seconds));
    Histogram hist;
    std::vector<LoopResult> loops;
    for (const Setting& s : kSettings) {
        loops.push_back(Run(form, events, hist, s, length));
    }
    mem.points.push_back({"after the loops", 0, 0, ReadMemory()});
    if (minutes > 0) {
        MeasureMemory(form, events, mem);
    }
    if (failed || form.Ending()) {
        std::fprintf(stderr, "the window failed during the benchmark\n");
        return 1;
    }

    PrintReport(platform, load, seconds, loops, mem);
    if (!WriteJson(jsonPath, platform, seconds, load, loops, mem)) {
        std::fprintf(stderr, "cannot write %s\n", jsonPath.c_str());
        return 1;
    }
    std::printf("\nfigures written to %s\n", jsonPath.c_str());
    return 0;
}
