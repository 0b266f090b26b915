// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// kelvara_grab WINDOW-ID FILE.png: saves the contents of one X11 window.
// Used by tools/screenshot.sh under Xvfb; run with -platform xcb.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: kelvara_grab WINDOW-ID FILE.png\n");
        return 2;
    }
    bool ok = false;
    const WId id = args[1].toULongLong(&ok, 0);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!ok || screen == nullptr) {
        std::fprintf(stderr, "kelvara_grab: bad window id or no screen\n");
        return 2;
    }
    const QPixmap shot = screen->grabWindow(id);
    if (shot.isNull() || !shot.save(args[2], "PNG")) {
        std::fprintf(stderr, "kelvara_grab: could not grab or save\n");
        return 1;
    }
    return 0;
}
