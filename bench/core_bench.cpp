// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Speed, heap allocations and resident memory of the simulation core.
//
// The run loop is driven against a window that does nothing, so the figures
// are those of the core itself: the loop, the phase, the colours and the
// display procedures, with one virtual call per control operation. The clock
// is fake and advances by a fixed step on every read, so a pass never waits
// and simulated time runs as fast as passes go.
//
// Usage: kelvara_bench_core [--json PATH] [--quick]
//   --quick  fewer passes and repetitions, memory up to 10 minutes only.

#include "alloc_counter.h"
#include "proc_memory.h"
#include "sim/controls.h"
#include "sim/run.h"
#include "sim/state.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

using kelvara::bench::Memory;
using kelvara::bench::MemoryPoint;
using kelvara::bench::ReadMemory;

namespace {

using kelvara::Box;
using kelvara::Colour;
using kelvara::Controls;
using kelvara::Image;
using kelvara::Label;
using kelvara::SimState;
using kelvara::Slider;
using kelvara::Surface;
using Clock = std::chrono::steady_clock;

using SliderPositions = std::array<int, 3>; // sldW, sldU, sldR, as Slider orders them

constexpr double kStep = 1.0 / 3000; // simulated seconds per clock read
constexpr long kPassesPerMinute = 60L * 3000;
constexpr double kCoarseStep = 1.0 / 50;
constexpr double kDaySeconds = 86'400;
constexpr double kPassTargetNs = 1000;

// A window that does nothing. The clock advances by a fixed step on every
// read; the yield counts passes, takes the memory readings due at this pass,
// switches to the coarser step when due and switches the run off after the
// last pass, as a click would.
class BenchControls final : public Controls {
public:
    static constexpr std::size_t kMaxCheckpoints = 2;

    BenchControls(SimState& st, SliderPositions sliders) : st_(st), sliders_(sliders) {}

    // Prepares a run of `passes` passes from a clock at zero advancing by
    // kStep, with memory readings once the given numbers of passes have
    // completed. From pass `coarseFrom` on the clock advances by
    // `coarseStep` instead.
    void Arm(long passes, std::initializer_list<long> checkpoints = {}, long coarseFrom = -1,
             double coarseStep = kStep) {
        limit_ = passes;
        passes_ = 0;
        clock_ = 0;
        step_ = kStep;
        coarseFrom_ = coarseFrom;
        coarseStep_ = coarseStep;
        checkpointCount_ = 0;
        for (long at : checkpoints) {
            checkpointAt_.at(checkpointCount_) = at;
            ++checkpointCount_;
        }
        st_.Running = 1;
    }

    [[nodiscard]] long passes() const { return passes_; }
    [[nodiscard]] double clock() const { return clock_; }
    [[nodiscard]] Memory memoryAt(std::size_t i) const { return memory_.at(i); }
    [[nodiscard]] double clockAt(std::size_t i) const { return clockAt_.at(i); }

    void DrawLine(Surface /*s*/, double /*x1*/, double /*y1*/, double /*x2*/, double /*y2*/,
                  Colour /*c*/) override {}
    void Cls(Surface /*s*/) override {}
    void SetDrawWidth(Surface /*s*/, int /*pixels*/) override {}
    void SetBackColor(Box /*b*/, int /*index*/, Colour /*c*/) override {}
    std::int16_t Appearance(Box /*b*/) override { return kelvara::kAppearanceFlat; }
    void SetAppearance(Box /*b*/, std::int16_t /*appearance*/) override {}
    void SetTokVisible(int /*k*/, bool /*visible*/) override {}
    void SetTokBackColor(int /*k*/, Colour /*c*/) override {}
    void SetCaption(Label /*l*/, std::string_view /*text*/) override {}
    void SetImageLeft(Image /*i*/, double /*twips*/) override {}
    void SetImageTop(Image /*i*/, double /*twips*/) override {}
    int SliderValue(Slider s) override { return sliders_.at(static_cast<std::size_t>(s)); }

    float Timer() override {
        clock_ += step_;
        return static_cast<float>(clock_);
    }

    bool DoEvents() override {
        // `passes_` passes have completed when the next one yields.
        for (std::size_t i = 0; i < checkpointCount_; ++i) {
            if (checkpointAt_.at(i) == passes_) {
                memory_.at(i) = ReadMemory();
                clockAt_.at(i) = clock_;
            }
        }
        if (passes_ == coarseFrom_) {
            step_ = coarseStep_;
        }
        ++passes_;
        if (passes_ >= limit_) {
            st_.Running = 0;
        }
        return true;
    }

private:
    SimState& st_;
    SliderPositions sliders_;
    long limit_ = 0;
    long passes_ = 0;
    double clock_ = 0;
    double step_ = kStep;
    long coarseFrom_ = -1;
    double coarseStep_ = kStep;
    std::array<long, kMaxCheckpoints> checkpointAt_{};
    std::array<Memory, kMaxCheckpoints> memory_{};
    std::array<double, kMaxCheckpoints> clockAt_{};
    std::size_t checkpointCount_ = 0;
};

struct SpeedResult {
    std::string name;
    SliderPositions sliders{};
    long passes = 0; // per repetition
    int repetitions = 0;
    double nsMedian = 0;
    double nsMin = 0;
    double nsMax = 0;
    std::uint64_t allocations = 0; // over every timed repetition
    double allocationsPerPass = 0;
};

SpeedResult MeasureSpeed(const std::string& name, SliderPositions sliders, long passes,
                         int repetitions) {
    SimState st;
    BenchControls ctl(st, sliders);
    kelvara::Form_Load(st, ctl);

    // One untimed run first, so that caches and branch predictors are warm.
    ctl.Arm(passes / 10);
    kelvara::RunSimulation(st, ctl);

    SpeedResult r;
    r.name = name;
    r.sliders = sliders;
    r.passes = passes;
    r.repetitions = repetitions;
    std::vector<double> perPass;
    perPass.reserve(static_cast<std::size_t>(repetitions));
    long totalPasses = 0;
    for (int rep = 0; rep < repetitions; ++rep) {
        ctl.Arm(passes);
        kelvara::alloc::StartCounting();
        const auto t0 = Clock::now();
        kelvara::RunSimulation(st, ctl);
        const auto t1 = Clock::now();
        r.allocations += kelvara::alloc::StopCounting();
        totalPasses += ctl.passes();
        const auto ns = std::chrono::duration<double, std::nano>(t1 - t0).count();
        perPass.push_back(ns / static_cast<double>(ctl.passes()));
    }
    std::sort(perPass.begin(), perPass.end());
    r.nsMin = perPass.front();
    r.nsMax = perPass.back();
    r.nsMedian = perPass[perPass.size() / 2];
    r.allocationsPerPass = static_cast<double>(r.allocations) / static_cast<double>(totalPasses);
    return r;
}

struct MemoryResult {
    std::vector<MemoryPoint> points; // before the run, then one per checkpoint
    std::uint64_t allocations = 0;
    long passes = 0;
    double wallSeconds = 0;
};

// One run at the start-up positions: 10 minutes of simulated clock at
// 1/3000 s per pass, with readings after 1 and 10 minutes, then, if asked,
// on to 24 hours at kCoarseStep per pass (at 1/3000 s the whole day would
// take some 260 million passes; the memory question does not need them) and
// a last reading once the run has returned.
MemoryResult MeasureMemory(bool wholeDay) {
    SimState st;
    BenchControls ctl(st, {5, 5, 1});
    kelvara::Form_Load(st, ctl);

    MemoryResult r;
    r.points.push_back({"before the run", 0, 0, ReadMemory()});

    const long oneMinute = kPassesPerMinute;
    const long tenMinutes = 10 * kPassesPerMinute;
    const long total =
        wholeDay ? tenMinutes + std::lround((kDaySeconds - 600) / kCoarseStep) + 1 : tenMinutes;
    ctl.Arm(total, {oneMinute, tenMinutes}, tenMinutes, kCoarseStep);
    kelvara::alloc::StartCounting();
    const auto t0 = Clock::now();
    kelvara::RunSimulation(st, ctl);
    const auto t1 = Clock::now();
    r.allocations = kelvara::alloc::StopCounting();
    r.wallSeconds = std::chrono::duration<double>(t1 - t0).count();
    r.passes = ctl.passes();

    r.points.push_back({"1 min", ctl.clockAt(0), oneMinute, ctl.memoryAt(0)});
    if (wholeDay) {
        r.points.push_back({"10 min", ctl.clockAt(1), tenMinutes, ctl.memoryAt(1)});
        r.points.push_back({"24 h", ctl.clock(), ctl.passes(), ReadMemory()});
    } else {
        r.points.push_back({"10 min", ctl.clock(), ctl.passes(), ReadMemory()});
    }
    return r;
}

const MemoryPoint* FindPoint(const MemoryResult& m, std::string_view label) {
    for (const MemoryPoint& p : m.points) {
        if (p.label == label) {
            return &p;
        }
    }
    return nullptr;
}

void PrintReport(const std::vector<SpeedResult>& speed, const MemoryResult& mem) {
    std::printf("Kelvara core benchmark: RunSimulation against a do-nothing window\n");
    std::printf("fake clock: +%.6f s per read (1/3000 s)\n\n", kStep);
    std::printf("%-34s %10s %5s %11s %11s %11s %14s\n", "setting (sldW/sldU/sldR)", "passes",
                "reps", "ns/pass p50", "ns/pass min", "ns/pass max", "allocs/pass");
    for (const SpeedResult& r : speed) {
        const std::string setting = r.name + " (" + std::to_string(r.sliders[0]) + "/" +
                                    std::to_string(r.sliders[1]) + "/" +
                                    std::to_string(r.sliders[2]) + ")";
        std::printf("%-34s %10ld %5d %11.1f %11.1f %11.1f %14.6f\n", setting.c_str(), r.passes,
                    r.repetitions, r.nsMedian, r.nsMin, r.nsMax, r.allocationsPerPass);
    }
    bool speedMet = true;
    for (const SpeedResult& r : speed) {
        speedMet = speedMet && r.nsMedian <= kPassTargetNs && r.allocations == 0;
    }
    std::printf("target: <= %.0f ns per pass and 0 allocations: %s\n\n", kPassTargetNs,
                speedMet ? "met" : "MISSED");

    std::printf("Resident memory, one run at 5/5/1, clock fed as fast as passes go\n");
    std::printf("(+1/3000 s per read up to 10 min, then +1/50 s per read)\n");
    std::printf("%-16s %14s %14s %12s %12s\n", "reading", "passes", "clock seconds", "VmRSS kB",
                "VmHWM kB");
    for (const MemoryPoint& p : mem.points) {
        std::printf("%-16s %14ld %14.1f %12ld %12ld\n", p.label.c_str(), p.passes,
                    p.simulatedSeconds, p.memory.rssKb, p.memory.hwmKb);
    }
    std::printf("allocations during the run: %llu; wall time %.1f s (%.1f ns per pass)\n",
                static_cast<unsigned long long>(mem.allocations), mem.wallSeconds,
                mem.wallSeconds * 1e9 / static_cast<double>(mem.passes));
    const MemoryPoint* one = FindPoint(mem, "1 min");
    const MemoryPoint* ten = FindPoint(mem, "10 min");
    if (one != nullptr && ten != nullptr) {
        const long growth = ten->memory.rssKb - one->memory.rssKb;
        std::printf("growth of VmRSS from 1 to 10 min: %ld kB; target 0: %s\n", growth,
                    growth <= 0 && mem.allocations == 0 ? "met" : "MISSED");
    }
}

bool WriteJson(const std::string& path, const std::vector<SpeedResult>& speed,
               const MemoryResult& mem) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (f == nullptr) {
        return false;
    }
    std::fprintf(f, "{\n  \"benchmark\": \"core\",\n  \"clock_step_s\": %.9f,\n", kStep);
    std::fprintf(f, "  \"pass_target_ns\": %.0f,\n  \"speed\": [\n", kPassTargetNs);
    for (std::size_t i = 0; i < speed.size(); ++i) {
        const SpeedResult& r = speed[i];
        std::fprintf(f,
                     "    {\"setting\": \"%s\", \"sldW\": %d, \"sldU\": %d, \"sldR\": %d, "
                     "\"passes\": %ld, \"repetitions\": %d, \"ns_per_pass_median\": %.2f, "
                     "\"ns_per_pass_min\": %.2f, \"ns_per_pass_max\": %.2f, "
                     "\"allocations\": %llu, \"allocations_per_pass\": %.6f}%s\n",
                     r.name.c_str(), r.sliders[0], r.sliders[1], r.sliders[2], r.passes,
                     r.repetitions, r.nsMedian, r.nsMin, r.nsMax,
                     static_cast<unsigned long long>(r.allocations), r.allocationsPerPass,
                     i + 1 < speed.size() ? "," : "");
    }
    std::fprintf(f, "  ],\n  \"memory\": {\n    \"allocations\": %llu,\n",
                 static_cast<unsigned long long>(mem.allocations));
    std::fprintf(f, "    \"passes\": %ld,\n    \"wall_seconds\": %.3f,\n    \"points\": [\n",
                 mem.passes, mem.wallSeconds);
    for (std::size_t i = 0; i < mem.points.size(); ++i) {
        const MemoryPoint& p = mem.points[i];
        std::fprintf(f,
                     "      {\"label\": \"%s\", \"simulated_seconds\": %.3f, \"passes\": %ld, "
                     "\"vmrss_kb\": %ld, \"vmhwm_kb\": %ld}%s\n",
                     p.label.c_str(), p.simulatedSeconds, p.passes, p.memory.rssKb, p.memory.hwmKb,
                     i + 1 < mem.points.size() ? "," : "");
    }
    std::fprintf(f, "    ]\n  }\n}\n");
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string jsonPath = KELVARA_BENCH_JSON;
    bool quick = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--json" && i + 1 < argc) {
            jsonPath = argv[++i];
        } else if (arg == "--quick") {
            quick = true;
        } else {
            std::fprintf(stderr, "usage: %s [--json PATH] [--quick]\n", argv[0]);
            return 2;
        }
    }

    const long passes = quick ? 200'000 : 2'000'000;
    const int repetitions = quick ? 3 : 7;
    std::vector<SpeedResult> speed;
    speed.push_back(MeasureSpeed("start-up", {5, 5, 1}, passes, repetitions));
    speed.push_back(MeasureSpeed("strongest", {5, 10, 1}, passes, repetitions));

    const MemoryResult mem = MeasureMemory(!quick);

    PrintReport(speed, mem);
    if (!WriteJson(jsonPath, speed, mem)) {
        std::fprintf(stderr, "cannot write %s\n", jsonPath.c_str());
        return 1;
    }
    std::printf("\nfigures written to %s\n", jsonPath.c_str());
    return 0;
}
