// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The program's start-up exactly as app/main.cpp does it, with timestamps.
//
// Prints one line to stdout once the first frame of the window has been
// painted and handed to the window system: the milliseconds from the
// launcher's spawn (KELVARA_LAUNCH_NS, CLOCK_MONOTONIC nanoseconds) to the
// entry of main, the application object, the window built, the window shown
// with its needles at rest, the first paint event of the window, and the
// return of the event that painted and flushed that first frame. Then it
// runs like the program until it is killed.
#include "ui/events.h"
#include "ui/fonts.h"
#include "ui/form1.h"
#include "ui/platform_guard.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEvent>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

std::int64_t MonotonicNs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

std::int64_t launchNs = 0;

double SinceLaunchMs(std::int64_t ns) {
    return static_cast<double>(ns - launchNs) / 1e6;
}

// Notes the first paint event that reaches the window and the moment the
// outermost event around it returns: by then the repaint manager has
// painted and flushed the frame.
class TimedApplication final : public QApplication {
public:
    TimedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    QWidget* watched = nullptr;
    std::int64_t firstPaintNs = 0;
    std::int64_t firstFrameNs = 0;

    bool notify(QObject* receiver, QEvent* event) override {
        if (firstPaintNs == 0 && watched != nullptr && receiver == watched &&
            event->type() == QEvent::Paint) {
            firstPaintNs = MonotonicNs();
        }
        ++depth_;
        const bool handled = QApplication::notify(receiver, event);
        --depth_;
        if (depth_ == 0 && firstPaintNs != 0 && firstFrameNs == 0) {
            firstFrameNs = MonotonicNs();
            reported_ = true;
        }
        return handled;
    }

    // True once, right after the first frame.
    bool TakeReport() {
        const bool r = reported_;
        reported_ = false;
        return r;
    }

private:
    int depth_ = 0;
    bool reported_ = false;
};

} // namespace

int main(int argc, char* argv[]) {
    const std::int64_t mainNs = MonotonicNs();
    const char* launch = std::getenv("KELVARA_LAUNCH_NS");
    launchNs = launch != nullptr ? std::strtoll(launch, nullptr, 10) : mainNs;

    kelvara::ui::BeginPlatformGuard();
    TimedApplication app(argc, argv);
    kelvara::ui::EndPlatformGuard();
    kelvara::ui::PinFontSubstitutes();
    const std::int64_t appNs = MonotonicNs();

    kelvara::ui::Form1 form;
    app.watched = &form;
    kelvara::ui::FormEvents events(form);
    const std::int64_t builtNs = MonotonicNs();
    events.Start();
    const std::int64_t shownNs = MonotonicNs();
    if (form.Ending()) {
        return form.ExitCode();
    }
    // The report goes out from the event loop, right after the frame.
    QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &app, [&] {
            if (app.TakeReport()) {
                std::printf("main %.2f app %.2f built %.2f shown %.2f paint %.2f frame %.2f\n",
                            SinceLaunchMs(mainNs), SinceLaunchMs(appNs), SinceLaunchMs(builtNs),
                            SinceLaunchMs(shownNs), SinceLaunchMs(app.firstPaintNs),
                            SinceLaunchMs(app.firstFrameNs));
                std::fflush(stdout);
            }
        });
    const int code = QApplication::exec();
    return form.Ending() ? form.ExitCode() : code;
}
