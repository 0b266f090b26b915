// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// kelvara_icons OUTPUT-DIR ICON-NAME: writes the application icon into a
// hicolor icon theme tree under OUTPUT-DIR, as PNGs drawn by the window
// icon's own painting and as SVG from the same shapes. Run by the build.
#include "ui/paint/pictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

bool Write(const QString& path, const QByteArray& data) {
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(data) == data.size();
}

// Antialiased at every size: the theme's icons sit among smooth ones. The
// window itself keeps its 32 x 32 icon in the standard colours (MakeIcon).
QImage IconOfSize(int size) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    kelvara::ui::PaintIcon(p, QRectF(0, 0, size, size), true);
    return img;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kelvara_icons OUTPUT-DIR ICON-NAME\n");
        return 2;
    }
    const QString root = QFile::decodeName(argv[1]) + QStringLiteral("/hicolor/");
    const QString name = QFile::decodeName(argv[2]);
    for (const int size : {KELVARA_ICON_SIZES}) {
        const QString path =
            root + QStringLiteral("%1x%1/apps/").arg(size) + name + QStringLiteral(".png");
        if (!QDir().mkpath(QFileInfo(path).path()) || !IconOfSize(size).save(path, "PNG")) {
            std::fprintf(stderr, "kelvara_icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const QString svg = root + QStringLiteral("scalable/apps/") + name + QStringLiteral(".svg");
    if (!Write(svg, kelvara::ui::IconSvg())) {
        std::fprintf(stderr, "kelvara_icons: cannot write %s\n", qPrintable(svg));
        return 1;
    }
    return 0;
}
