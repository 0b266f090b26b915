// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The probe: the program's start-up as app/main.cpp does it, reporting from
// inside, and what must be measured in the program's own process; a figure a
// line, "fig KEY VALUE", for bench.cpp. Without a mode, or --unpaced: the
// start-up in ms from KELVARA_LAUNCH_NS, then "first-frame"; "depth N" when
// the number of switch clicks being handled changes; each run begun from
// rest once it has ended, then "ran"; at exit, passes and display resets
// begun after the end. Modes: core, window [MINUTES], scale [--screen-only].
// A pass runs from one yield's return to the next; passes are timed after
// the first second of a run, if no run is nested in them.
#include "alloc_counter.h"
#include "sim/run.h"
#include "stats.h"
#include "ui/look/fonts.h"
#include "ui/widgets/box.h"
#include "ui/window/events.h"
#include "ui/window/form1.h"
#include "ui/window/platform_guard.h"

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QScreen>
#include <QSlider>
#include <QWindow>

#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

namespace {

using namespace kelvara;
using bench::ClockNs;
using bench::Ms;
using ui::Form1;

// The amplitude slider of the two settings timed, the others at start-up.
constexpr std::pair<const char*, int> kSettings[] = {{"start-up.", 5}, {"strongest.", 10}};

void Fig(const std::string& key, double value) {
    std::printf("fig %s %.10g\n", key.c_str(), value);
}

struct Memory {
    double rss, hwm, anon, file, heap; // kB; heap: held from malloc
};

// Read without allocating, so that a reading may fall inside a run.
Memory ReadMemory() {
    std::array<char, 4096> buf{};
    const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    const ssize_t n = fd < 0 ? 0 : ::read(fd, buf.data(), buf.size() - 1);
    ::close(fd);
    buf.at(static_cast<std::size_t>(std::max<ssize_t>(n, 0))) = '\0';
    const auto field = [&buf](const char* name) {
        const char* p = std::strstr(buf.data(), name);
        return p == nullptr ? std::nan("") : std::atof(p + std::strlen(name));
    };
    const struct mallinfo2 heap = ::mallinfo2();
    return {field("VmRSS:"), field("VmHWM:"), field("RssAnon:"), field("RssFile:"),
            static_cast<double>(heap.uordblks + heap.hblkhd) / 1024};
}

void FigMemory(const std::string& when, const Memory& m) {
    const std::pair<const char*, double> parts[] = {
        {"rss.", m.rss}, {"hwm.", m.hwm}, {"anon.", m.anon}, {"file.", m.file}, {"heap.", m.heap}};
    for (const auto& [name, kb] : parts) {
        Fig(name + when, kb);
    }
}

// A window that does nothing: its clock steps 1/3000 s a read, 1/50 s from
// pass `coarseFrom` on; its yield takes the memory readings due and ends
// the run after `limit` passes, as a click would.
class NullWindow final : public Controls {
public:
    NullWindow(SimState& st, int amplitude) : st_(st), amplitude_(amplitude) {}

    long passes = 0, coarseFrom = -1;
    std::array<long, 2> readAt{-1, -1};
    std::array<Memory, 2> readings{};

    // A run of `limit` passes: its ns a pass and the allocations in it.
    std::pair<double, double> Run(long limit) {
        limit_ = limit;
        passes = 0;
        clock_ = 0;
        st_.Running = 1;
        alloc::StartCounting();
        const std::int64_t t0 = ClockNs();
        RunSimulation(st_, *this);
        const auto ns = static_cast<double>(ClockNs() - t0);
        return {ns / static_cast<double>(passes), static_cast<double>(alloc::StopCounting())};
    }

    void DrawLine(Surface /*s*/, double /*a*/, double /*b*/, double /*c*/, double /*d*/,
                  Colour /*k*/) override {}
    void Cls(Surface /*s*/) override {}
    void SetDrawWidth(Surface /*s*/, int /*p*/) override {}
    void SetBackColor(Box /*b*/, int /*i*/, Colour /*c*/) override {}
    std::int16_t Appearance(Box /*b*/) override { return kAppearanceFlat; }
    void SetAppearance(Box /*b*/, std::int16_t /*a*/) override {}
    void SetTokVisible(int /*k*/, bool /*v*/) override {}
    void SetTokBackColor(int /*k*/, Colour /*c*/) override {}
    void SetCaption(Label /*l*/, std::string_view /*t*/) override {}
    void SetImageLeft(Image /*i*/, double /*t*/) override {}
    void SetImageTop(Image /*i*/, double /*t*/) override {}
    int SliderValue(Slider s) override {
        return s == Slider::sldU ? amplitude_ : s == Slider::sldW ? 5 : 1;
    }
    float Timer() override {
        return static_cast<float>(clock_ +=
                                  coarseFrom >= 0 && passes >= coarseFrom ? 1.0 / 50 : 1.0 / 3000);
    }

    bool DoEvents() override {
        for (std::size_t i = 0; i < readAt.size(); ++i) {
            readings.at(i) = readAt.at(i) == passes ? ReadMemory() : readings.at(i);
        }
        if (++passes >= limit_) {
            st_.Running = 0;
        }
        return true;
    }

private:
    SimState& st_;
    int amplitude_;
    long limit_ = 0;
    double clock_ = 0;
};

void Core() {
    for (const auto& [name, amplitude] : kSettings) {
        SimState st;
        NullWindow w(st, amplitude);
        Form_Load(st, w);
        w.Run(200'000); // untimed: caches and branch predictors warm
        const auto [ns, allocations] = w.Run(2'000'000);
        Fig(name + std::string("ns_per_pass"), ns);
        Fig(name + std::string("allocs_per_pass"), allocations / 2e6);
    }
    // Ten minutes of clock at 1/3000 s a pass, then on to a whole day at 1/50 s
    // a pass: the day at 1/3000 s would be 260 million passes for nothing more.
    SimState st;
    NullWindow w(st, 5);
    Form_Load(st, w);
    const Memory before = ReadMemory();
    const long minute = 60L * 3000;
    w.readAt = {minute, 10 * minute};
    w.coarseFrom = 10 * minute;
    const auto [ns, allocations] = w.Run(10 * minute + (86'400L - 600) * 50 + 1);
    Fig("memory.ns_per_pass", ns);
    Fig("memory.allocations", allocations);
    const Memory day = ReadMemory();
    Fig("memory.rss_before", before.rss);
    Fig("memory.rss_1min", w.readings[0].rss);
    Fig("memory.rss_10min", w.readings[1].rss);
    Fig("memory.rss_24h", day.rss);
    Fig("memory.hwm_24h", day.hwm);
    Fig("memory.growth_kb", w.readings[1].rss - w.readings[0].rss);
}

class ProbeForm final : public Form1 {
public:
    ui::FormEvents* events = nullptr;
    bool report = false;           // print the depths and each run as it ends
    std::function<void()> onYield; // the runs in this process are driven from here
    std::int64_t warmUpNs = 1'000'000'000;
    bench::Histogram cpu, wall; // of the timed passes: this thread's processor time, wall time
    std::int64_t yieldNs = 0,
                 drawNs = 0; // and summed, in the yield (events, repaint, flush) and the rest
    long yields = 0;
    int step = -1; // the resize under way
    std::array<double, 6> resizePassMs{}, relayoutMs{};
    double resizeCpuMs = 0;
    long passesAfterEnd = 0, resetsAfterEnd = 0;
    std::int64_t paintNs = 0; // of the first paint event

    // The controls the handlers drive: the window's own, watched. Every
    // pass yields once; the head of every pass reads the clock; one that
    // goes on past its yield reads the frequency slider first; a display
    // reset clears the window's drawing.
    class Watched final : public ui::WindowControls {
    public:
        explicit Watched(ProbeForm& form) : WindowControls(form.Widgets(), form.Run()), f_(form) {}

        bool DoEvents() override {
            const std::int64_t entered = ClockNs();
            if (f_.onYield) {
                f_.onYield();
            }
            f_.NoteDepth();
            const bool going = WindowControls::DoEvents();
            f_.AfterYield(entered);
            return going;
        }
        float Timer() override {
            f_.passesAfterEnd += f_.Ending() ? 1 : 0;
            return WindowControls::Timer();
        }
        int SliderValue(Slider s) override {
            f_.passesAfterEnd += f_.Ending() && s == Slider::sldW ? 1 : 0;
            return WindowControls::SliderValue(s);
        }
        void Cls(Surface s) override {
            f_.resetsAfterEnd += f_.Ending() && s == Surface::Form1 ? 1 : 0;
            WindowControls::Cls(s);
        }

    private:
        ProbeForm& f_;
    } watched{*this};

    // After every switch click has been handled.
    void AfterClick() {
        NoteDepth();
        if (events->SwitchDepth() == 0 && inRun_ && report) {
            Report("");
            std::puts("ran");
        }
        inRun_ = inRun_ && events->SwitchDepth() > 0;
    }

    void Report(const std::string& p) const {
        const auto timed = static_cast<double>(std::max(wall.Count(), 1L));
        Fig(p + "passes", static_cast<double>(yields));
        Fig(p + "timed_passes", static_cast<double>(wall.Count()));
        Fig(p + "passes_per_s", static_cast<double>(yields) * 1e3 / Ms(lastWall_ - runStartNs_));
        for (const auto& [name, h] : {std::pair{"wall", &wall}, std::pair{"cpu", &cpu}}) {
            Fig(p + name + "_p50_ms", Ms(h->Quantile(0.5)));
            Fig(p + name + "_p99_ms", Ms(h->Quantile(0.99)));
            Fig(p + name + "_max_ms", Ms(h->Max()));
        }
        Fig(p + "over_16ms", static_cast<double>(wall.Over16ms()));
        Fig(p + "yield_us", static_cast<double>(yieldNs) / 1e3 / timed);
        Fig(p + "draw_us", static_cast<double>(drawNs) / 1e3 / timed);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        paintNs = paintNs != 0 ? paintNs : ClockNs();
        Form1::paintEvent(event);
    }
    void resizeEvent(QResizeEvent* event) override {
        resized_ = true;
        const std::int64_t start = ClockNs();
        Form1::resizeEvent(event);
        if (step >= 0) {
            double& worst = relayoutMs.at(static_cast<std::size_t>(step));
            worst = std::max(worst, Ms(ClockNs() - start));
        }
    }

private:
    void NoteDepth() {
        if (report && events->SwitchDepth() != reportedDepth_) {
            std::printf("depth %d\n", reportedDepth_ = events->SwitchDepth());
        }
    }

    void AfterYield(std::int64_t entered) {
        const std::int64_t now = ClockNs();
        const std::int64_t cpuNow = ClockNs(CLOCK_THREAD_CPUTIME_ID);
        if (!inRun_) {
            inRun_ = true;
            runStartNs_ = now;
            yields = lastDepth_ = 0;
            yieldNs = drawNs = 0;
            cpu = wall = {}; // once a run, not a pass
        }
        ++yields;
        const int depth = events->SwitchDepth();
        if (depth == 1 && lastDepth_ == 1 && now - runStartNs_ >= warmUpNs) {
            cpu.Add(cpuNow - lastCpu_);
            wall.Add(now - lastWall_);
            yieldNs += now - entered;
            drawNs += entered - lastWall_;
            if (resized_ && step >= 0) {
                double& worst = resizePassMs.at(static_cast<std::size_t>(step));
                worst = std::max(worst, Ms(now - lastWall_));
                resizeCpuMs = std::max(resizeCpuMs, Ms(cpuNow - lastCpu_));
            }
        }
        resized_ = false;
        lastDepth_ = depth;
        lastCpu_ = cpuNow;
        lastWall_ = now;
    }

    bool inRun_ = false, resized_ = false;
    int lastDepth_ = 0, reportedDepth_ = 0;
    std::int64_t runStartNs_ = 0, lastCpu_ = 0, lastWall_ = 0;
};

// A run switched on now, and off from its yield after `seconds` or once
// `body`, called at each yield, says so.
void Run(
    ProbeForm& form, double seconds, const std::function<bool()>& body = [] { return false; }) {
    const std::int64_t until = ClockNs() + static_cast<std::int64_t>(seconds * 1e9);
    bool stopped = false;
    form.onYield = [&] {
        if ((body() || ClockNs() >= until) && !stopped) {
            stopped = true;
            form.Widgets().PicOn()->Click();
        }
    };
    form.Widgets().PicOn()->Click(); // returns when the run has ended
    form.onYield = nullptr;
}

// Lets the window reach the screen and finish its first paints.
void Settle(Form1& form) {
    for (const std::int64_t start = ClockNs();
         ClockNs() < start + 300'000'000 ||
         (!form.windowHandle()->isExposed() && ClockNs() < start + 5'000'000'000);) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

// A run of six seconds: its passes, and the window's size.
void Timed(ProbeForm& form, const std::string& p) {
    const std::int64_t cpu0 = ClockNs(CLOCK_PROCESS_CPUTIME_ID);
    Run(form, 6);
    form.Report(p);
    Fig(p + "cpu_us",
        Ms(ClockNs(CLOCK_PROCESS_CPUTIME_ID) - cpu0) * 1e3 / static_cast<double>(form.yields));
    Fig(p + "width", form.width());
    Fig(p + "height", form.height());
    Fig(p + "view_scale", form.Map().Scale());
}

// An unpaced run of `passes` passes whose clock steps a frame (1/60 s) a
// pass, as the paced program's does; `body` after each step.
void Stepped(ProbeForm& form, long passes, const std::function<void(long)>& body) {
    std::int64_t simulated = 0;
    long n = 0;
    form.Run().SetPaced(false);
    form.Run().SetClockSource([&simulated] { return simulated; });
    Run(form, 1e6, [&] {
        simulated += 1'000'000'000 / 60;
        body(++n);
        return n == passes;
    });
    form.Run().SetClockSource([] { return ClockNs(); });
}

// Unpaced, so that the number of passes measures the work of a pass, not
// the screen's frame rate.
void Window(ProbeForm& form, int minutes) {
    form.Run().SetPaced(false);
    Settle(form);
    FigMemory("shown", ReadMemory());
    for (const auto& [name, amplitude] : kSettings) {
        form.Widgets().SliderControl(Slider::sldU)->setValue(amplitude);
        QCoreApplication::processEvents();
        Timed(form, name);
    }
    form.Widgets().SliderControl(Slider::sldU)->setValue(5);
    FigMemory("loops", ReadMemory());
    if (minutes > 0) {
        std::array<Memory, 10> minute{}; // filled inside the run: no allocation there
        const std::int64_t t0 = ClockNs();
        Stepped(form, 3600L * minutes, [&minute](long n) {
            if (n % 3600 == 0) {
                minute.at(static_cast<std::size_t>(n / 3600 - 1)) = ReadMemory();
            }
        });
        Fig("wall_us_per_pass", Ms(ClockNs() - t0) * 1e3 / (3600.0 * minutes));
        for (std::size_t i = 0; i < static_cast<std::size_t>(minutes); ++i) {
            FigMemory(std::to_string(i + 1) + "min", minute.at(i));
        }
        FigMemory("after", ReadMemory());
        // Pages touched for the first time can raise VmRSS while the bytes
        // held stay the same; a leak raises both.
        const Memory& last = minute.at(static_cast<std::size_t>(minutes - 1));
        Fig("growth_kb", last.rss - minute[0].rss);
        Fig("heap_bytes_per_pass",
            (last.heap - minute[0].heap) * 1024 / std::max(3600.0 * (minutes - 1), 1.0));
    }
    Fig("peak_hwm_kb", ReadMemory().hwm);
}

// Paced as the program is, with the graphs shown.
void Scale(ProbeForm& form, bool screenOnly) {
    form.Widgets().SetShirmaVisible(false);
    Settle(form);
    const QSize natural = form.size();
    const QSize screen = form.screen()->size();
    if (!screenOnly) {
        Timed(form, "natural.");
    }
    // Fullscreen where a window manager grants it; on a bare X server the
    // same size by hand.
    form.showFullScreen();
    form.setGeometry(QRect(QPoint(0, 0), screen));
    Settle(form);
    Timed(form, "screen.");
    if (screenOnly) {
        return;
    }
    form.showNormal();
    form.resize(natural);
    Settle(form);

    // Six resizes in a run, 250 ms apart, every pass timed.
    const std::array<QSize, 6> sizes = {natural / 2,      screen,          natural,
                                        QSize(1400, 900), QSize(700, 600), screen};
    form.warmUpNs = 0;
    const std::int64_t start = ClockNs();
    Run(form, 10, [&] {
        const auto due = static_cast<int>((ClockNs() - start) / 250'000'000) - 1;
        if (due > form.step && form.step + 1 < static_cast<int>(sizes.size())) {
            form.resize(sizes.at(static_cast<std::size_t>(++form.step)));
        }
        return due >= 8;
    });
    form.step = -1;
    form.warmUpNs = 1'000'000'000;
    Fig("resize_longest_ms", *std::max_element(form.resizePassMs.begin(), form.resizePassMs.end()));
    Fig("resize_longest_cpu_ms", form.resizeCpuMs);
    Fig("longest_ms", Ms(form.wall.Max()));
    QWidget bare; // what any Qt window costs here at the same sizes
    bare.setAutoFillBackground(true);
    bare.resize(natural);
    bare.show();
    Settle(form);
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const std::string r = ".r" + std::to_string(i + 1);
        Fig("pass_ms" + r, form.resizePassMs.at(i));
        Fig("relayout_ms" + r, form.relayoutMs.at(i));
        const std::int64_t t0 = ClockNs();
        bare.resize(sizes.at(i));
        QCoreApplication::processEvents();
        Fig("bare_ms" + r, Ms(ClockNs() - t0));
    }
    bare.hide();
    form.resize(natural);
    Settle(form);

    // The record of run-time drawing, the largest seen of each surface: ten
    // minutes at 60 passes a second, then ten seconds of the real clock
    // unpaced.
    std::array<std::size_t, 12> most{}; // strokes then bytes, stepped then unpaced
    const auto note = [&form, &most](std::size_t at) {
        for (std::size_t i = 0; i < 3; ++i) {
            const auto& layer = form.Widgets().Layer(static_cast<Surface>(i));
            most.at(at + i) = std::max(most.at(at + i), layer.StrokeCount());
            most.at(at + i + 3) = std::max(most.at(at + i + 3), layer.MemoryBytes());
        }
    };
    Stepped(form, 36'000, [&note](long /*n*/) { note(0); });
    long passes = 0;
    Run(form, 10, [&] {
        ++passes;
        note(6);
        return false;
    });
    Fig("unpaced_passes", static_cast<double>(passes));
    const char* names[] = {"graphs.", "voltmeter.", "ammeter."};
    for (std::size_t i = 0; i < 3; ++i) {
        Fig(names[i] + std::string("stepped_strokes"), static_cast<double>(most.at(i)));
        Fig(names[i] + std::string("stepped_kb"), static_cast<double>(most.at(i + 3)) / 1024);
        Fig(names[i] + std::string("unpaced_strokes"), static_cast<double>(most.at(i + 6)));
        Fig(names[i] + std::string("unpaced_kb"), static_cast<double>(most.at(i + 9)) / 1024);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    const std::int64_t mainNs = ClockNs();
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each line reaches the harness as written
    const std::string mode = argc > 1 ? argv[1] : "";
    const std::string option = argc > 2 ? argv[2] : "";
    if (mode == "core") {
        Core();
        return 0;
    }
    const char* launch = std::getenv("KELVARA_LAUNCH_NS");
    const std::int64_t launchNs = launch != nullptr ? std::atoll(launch) : mainNs;

    ui::BeginPlatformGuard();
    QApplication app(argc, argv);
    ui::EndPlatformGuard();
    ui::PinFontSubstitutes();
    const std::int64_t appNs = ClockNs();
    ProbeForm form;
    form.Run().SetPaced(mode != "--unpaced");
    ui::FormEvents events(form, {}, &form.watched);
    form.events = &events;
    form.report = mode.empty() || mode == "--unpaced";
    // Connected after the handler's own connection: runs once a click is handled.
    QObject::connect(&form, &Form1::picOnClicked, &form, [&form] { form.AfterClick(); });
    const std::int64_t builtNs = ClockNs();
    events.Start();
    const std::int64_t shownNs = ClockNs();
    if (form.Ending()) {
        return form.ExitCode();
    }
    if (mode == "window" || mode == "scale") {
        mode == "window" ? Window(form, option.empty() ? 10 : std::clamp(std::stoi(option), 0, 10))
                         : Scale(form, option == "--screen-only");
        return 0;
    }
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &app, [&, reported = false]() mutable {
                         // Idle after the first paint: that frame has been flushed.
                         if (reported || form.paintNs == 0) {
                             return;
                         }
                         reported = true;
                         const std::pair<const char*, std::int64_t> steps[] = {
                             {"main_ms", mainNs},        {"app_ms", appNs},
                             {"built_ms", builtNs},      {"shown_ms", shownNs},
                             {"paint_ms", form.paintNs}, {"flushed_ms", ClockNs()}};
                         for (const auto& [name, ns] : steps) {
                             Fig(name, Ms(ns - launchNs));
                         }
                         std::puts("first-frame");
                     });
    const int code = QApplication::exec();
    Fig("passes_after", static_cast<double>(form.passesAfterEnd));
    Fig("resets_after", static_cast<double>(form.resetsAfterEnd));
    return form.Ending() ? form.ExitCode() : code;
}
