// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The program as app/main.cpp starts it, with its run loop reporting on
// stdout, for kelvara_bench_frames to read beside what it sees on the
// screen. Paced as the program is; with --unpaced the run loop's yield
// handles the pending events and returns at once (Form1::SetPaced(false)).
//
// Lines, each flushed as it is written:
//   depth N    the number of switch clicks being handled is now N (noted at
//              each yield of the run loop and after each switch click)
//   run P S T C50 C99 CMAX W50 W99 WMAX
//              a run begun from rest has ended: P yields in S seconds; T
//              passes after its first second and not nested in another run,
//              each from the return of one yield to the return of the next
//              (the drawing calls, the repaint, the flush and the wait):
//              quantiles of their processor time (this thread, C) and of
//              their length in wall time (W), in microseconds
//   end A R    at exit: passes (A) and display resets (R) begun after the
//              program started ending; both should be 0
#include "stats.h"
#include "ui/events.h"
#include "ui/fonts.h"
#include "ui/form1.h"
#include "ui/platform_guard.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

using kelvara::Slider;
using kelvara::Surface;
using kelvara::bench::Histogram;
using kelvara::ui::Form1;
using kelvara::ui::FormEvents;
using Clock = std::chrono::steady_clock;
using Nanos = std::chrono::nanoseconds;

constexpr auto kWarmUp = std::chrono::seconds(1);

Nanos ThreadCpu() {
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return std::chrono::seconds(ts.tv_sec) + Nanos(ts.tv_nsec);
}

double Us(Nanos ns) {
    return std::chrono::duration<double, std::micro>(ns).count();
}

class ProbeForm final : public Form1 {
public:
    const FormEvents* events = nullptr;

    bool DoEvents() override {
        NoteDepth();
        const bool going = Form1::DoEvents();
        AfterYield();
        return going;
    }

    // The head of every pass reads the clock.
    float Timer() override {
        if (Ending()) {
            ++passesAfterEnd_;
        }
        return Form1::Timer();
    }

    // A pass that goes on past its yield reads the frequency slider first.
    int SliderValue(Slider s) override {
        if (Ending() && s == Slider::sldW) {
            ++passesAfterEnd_;
        }
        return Form1::SliderValue(s);
    }

    // Every display reset begins by clearing the window's drawing.
    void Cls(Surface s) override {
        if (Ending() && s == Surface::Form1) {
            ++resetsAfterEnd_;
        }
        Form1::Cls(s);
    }

    // Called after every switch click has been handled.
    void AfterClick() {
        NoteDepth();
        if (events->SwitchDepth() == 0 && inRun_) {
            inRun_ = false;
            std::printf("run %ld %.3f %ld %.1f %.1f %.1f %.1f %.1f %.1f\n", yields_,
                        std::chrono::duration<double>(Clock::now() - runStart_).count(),
                        passCpu_.Count(), Us(passCpu_.Quantile(0.50)), Us(passCpu_.Quantile(0.99)),
                        Us(passCpu_.Max()), Us(passWall_.Quantile(0.50)),
                        Us(passWall_.Quantile(0.99)), Us(passWall_.Max()));
            std::fflush(stdout);
        }
    }

    void ReportEnd() const {
        std::printf("end %ld %ld\n", passesAfterEnd_, resetsAfterEnd_);
        std::fflush(stdout);
    }

private:
    void NoteDepth() {
        const int depth = events->SwitchDepth();
        if (depth != reportedDepth_) {
            reportedDepth_ = depth;
            std::printf("depth %d\n", depth);
            std::fflush(stdout);
        }
    }

    void AfterYield() {
        const Nanos cpu = ThreadCpu();
        const auto now = Clock::now();
        const int depth = events->SwitchDepth();
        if (!inRun_) {
            inRun_ = true;
            runStart_ = now;
            yields_ = 0;
            lastDepth_ = 0;
            passCpu_.Reset();
            passWall_.Reset();
        }
        ++yields_;
        // A yield at depth 1 that follows one at depth 1: one whole pass
        // with no run nested in it.
        if (depth == 1 && lastDepth_ == 1 && now - runStart_ >= kWarmUp) {
            passCpu_.Add(cpu - lastCpu_);
            passWall_.Add(now - lastWall_);
        }
        lastDepth_ = depth;
        lastCpu_ = cpu;
        lastWall_ = now;
    }

    Histogram passCpu_;
    Histogram passWall_;
    bool inRun_ = false;
    Clock::time_point runStart_{};
    long yields_ = 0;
    int lastDepth_ = 0;
    Nanos lastCpu_{};
    Clock::time_point lastWall_{};
    int reportedDepth_ = 0;
    long passesAfterEnd_ = 0;
    long resetsAfterEnd_ = 0;
};

} // namespace

int main(int argc, char* argv[]) {
    bool paced = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--unpaced") == 0) {
            paced = false;
        } else {
            std::fprintf(stderr, "usage: %s [--unpaced]\n", argv[0]);
            return 2;
        }
    }

    kelvara::ui::BeginPlatformGuard();
    QApplication app(argc, argv);
    kelvara::ui::EndPlatformGuard();
    kelvara::ui::PinFontSubstitutes();

    ProbeForm form;
    form.SetPaced(paced);
    FormEvents events(form);
    form.events = &events;
    // Connected after the handler's own connection, so it runs once the
    // click has been handled.
    QObject::connect(&form, &Form1::picOnClicked, &form, [&form] { form.AfterClick(); });
    events.Start();
    if (form.Ending()) {
        return form.ExitCode();
    }
    const int code = QApplication::exec();
    form.ReportEnd();
    return form.Ending() ? form.ExitCode() : code;
}
