// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Drives a real program under Xvfb, as a user would: starts it, finds its
// window, clicks and types with xdotool, and takes screenshots of it. Shared
// by the end-to-end tests of the Linux program and those of the Windows one
// under Wine. The includer defines KELVARA_BINARY, the Linux program.
#pragma once

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QThread>

#include <functional>
#include <utility>

namespace kelvara::e2e {

inline QString RunTool(const QStringList& args, int timeoutMs = 5000) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

inline bool IsRgb(QRgb px, int r, int g, int b) {
    return qRed(px) == r && qGreen(px) == g && qBlue(px) == b;
}

// The program, started afresh for each test and ended if it is still there;
// `env` is added to the test's own environment. It starts in the language
// the system asks for, so the language is set here: the C locale, in which
// it speaks Russian, unless `env` says otherwise.
class Program {
public:
    // `program` and `args`: what is started, the Linux program unless the
    // test runs another build of it (the Windows one, through Wine).
    explicit Program(const QStringList& env = {},
                     const QString& program = QStringLiteral(KELVARA_BINARY),
                     const QStringList& args = {}) {
        proc_.setProcessChannelMode(QProcess::SeparateChannels);
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const char* setting : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) {
            e.remove(QString::fromLatin1(setting));
        }
        e.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        for (const QString& setting : env) {
            e.insert(setting.section('=', 0, 0), setting.section('=', 1));
        }
        proc_.setProcessEnvironment(e);
        proc_.start(program, args);
        proc_.waitForStarted(10000);
    }
    ~Program() {
        if (proc_.state() != QProcess::NotRunning) {
            proc_.kill();
            proc_.waitForFinished(3000);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Waits for the window and notes where its client area lies.
    bool WaitForWindow(int timeoutMs = 10000) {
        QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            const QString ids =
                RunTool({"search", "--onlyvisible", "--pid", QString::number(proc_.processId()),
                         "--name", "^Kelvara$"});
            if (!ids.isEmpty()) {
                window_ = ids.split('\n').first();
                const QRect r = Geometry();
                if (r.isValid()) {
                    origin_ = r.topLeft();
                    QThread::msleep(300); // let the first frame be painted
                    return true;
                }
            }
            QThread::msleep(50);
        }
        return false;
    }

    void Click(QPoint client) {
        const QPoint p = origin_ + client;
        // Moves onto the spot from beside it, so the window sees the pointer
        // arrive even when an earlier program left it there. No --sync: it
        // waits for a motion that may never come.
        const QString x = QString::number(p.x());
        const QString y = QString::number(p.y());
        RunTool({"mousemove", QString::number(p.x() - 6), QString::number(p.y() - 6), "sleep",
                 "0.05", "mousemove", x, y, "sleep", "0.05", "click", "1"});
    }

    // The client area as it is on the screen now.
    QImage Shot() const { return Shot(QRect(0, 0, 1016, 734)); }
    // A rectangle of it, in the screen's pixels.
    QImage Shot(const QRect& client) const {
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, origin_.x() + client.x(), origin_.y() + client.y(), client.width(),
                         client.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    // Polls screenshots until `test` holds or the time is up.
    // The last screenshot is saved where KELVARA_E2E_SHOTS points, if set,
    // so that a failure can be looked at.
    bool Within(int ms, const std::function<bool(const QImage&)>& test) const {
        QDeadlineTimer deadline(ms);
        QImage img;
        do {
            img = Shot();
            if (test(img)) {
                return true;
            }
            QThread::msleep(20);
        } while (!deadline.hasExpired());
        const QString dir = qEnvironmentVariable("KELVARA_E2E_SHOTS");
        if (!dir.isEmpty()) {
            img.save(dir + QStringLiteral("/e2e-failure-%1.png").arg(++failures_));
        }
        return false;
    }

    // Key presses through the X server, as a keyboard or a presenter's
    // remote sends them, to the window that has the input focus.
    void Keys(const QStringList& keys) {
        RunTool(QStringList{"windowfocus", "--sync", window_, "key", "--delay", "80"} + keys);
    }

    QProcess& Process() { return proc_; }
    const QString& Window() const { return window_; }

    // Where the client area lies on the screen now, as the X server says
    // (xwininfo, since xdotool's geometry is off under a window manager's
    // frame).
    QRect Geometry() const {
        QProcess p;
        p.start(QStringLiteral("xwininfo"), {"-id", window_});
        if (!p.waitForFinished(5000)) {
            return {};
        }
        QRect r;
        for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n')) {
            const int value = line.section(':', 1).trimmed().toInt();
            if (line.contains("Absolute upper-left X:")) {
                r.moveLeft(value);
            } else if (line.contains("Absolute upper-left Y:")) {
                r.moveTop(value);
            } else if (line.contains("Width:")) {
                r.setWidth(value);
            } else if (line.contains("Height:")) {
                r.setHeight(value);
            }
        }
        return r;
    }

private:
    QProcess proc_;
    QString window_;
    QPoint origin_;
    mutable int failures_ = 0;
};

// Debian's openbox on the test's X server, for as long as it lives:
// fullscreen is the window manager's to grant.
class WindowManager {
public:
    WindowManager() { proc_.start(QStringLiteral("openbox"), {"--sm-disable"}); }
    ~WindowManager() {
        proc_.terminate();
        if (!proc_.waitForFinished(3000)) {
            proc_.kill();
            proc_.waitForFinished(1000);
        }
    }
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // Whether it has announced itself on the root window.
    bool Ready() {
        QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired()) {
            QProcess xprop;
            xprop.start(QStringLiteral("xprop"), {"-root", "_NET_SUPPORTING_WM_CHECK"});
            xprop.waitForFinished(2000);
            if (xprop.readAllStandardOutput().contains("window id")) {
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    }

private:
    QProcess proc_;
};

// The keyboard layout of the test's X server, for as long as it lives; the
// US layout comes back after it.
class KeyboardLayout {
public:
    explicit KeyboardLayout(QString layouts) : layouts_(std::move(layouts)) {}
    ~KeyboardLayout() { Run(QStringLiteral("us")); }
    KeyboardLayout(const KeyboardLayout&) = delete;
    KeyboardLayout& operator=(const KeyboardLayout&) = delete;

    bool Set() const { return Run(layouts_); }

private:
    static bool Run(const QString& layouts) {
        QProcess p;
        p.start(QStringLiteral("setxkbmap"), {"-layout", layouts});
        return p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit &&
               p.exitCode() == 0;
    }
    QString layouts_;
};

} // namespace kelvara::e2e
