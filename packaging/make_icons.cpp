// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// kelvara_icons OUTPUT-DIR ICON-NAME: writes the application icon into a
// hicolor icon theme tree under OUTPUT-DIR, as PNGs drawn by the window
// icon's own painting and as SVG from the same shapes, and the same PNGs as
// one Windows icon, OUTPUT-DIR/kelvara.ico. Run by the build.
#include "ui/paint/pictures.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPair>

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

// A Windows .ico of the given PNGs, one entry each (Windows reads PNG
// entries at every size since Vista).
QByteArray Ico(const QList<QPair<int, QByteArray>>& pngs) {
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    constexpr quint32 kHeader = 6;
    constexpr quint32 kEntry = 16;
    s << quint16(0) << quint16(1) << quint16(pngs.size());
    quint32 offset = kHeader + kEntry * quint32(pngs.size());
    for (const auto& [size, png] : pngs) {
        const auto side = quint8(size >= 256 ? 0 : size); // 0 stands for 256
        s << side << side << quint8(0) << quint8(0) << quint16(1) << quint16(32)
          << quint32(png.size()) << offset;
        offset += quint32(png.size());
    }
    for (const auto& entry : pngs) {
        s.writeRawData(entry.second.constData(), int(entry.second.size()));
    }
    return out;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kelvara_icons OUTPUT-DIR ICON-NAME\n");
        return 2;
    }
    const QString root = QFile::decodeName(argv[1]) + QStringLiteral("/hicolor/");
    const QString name = QFile::decodeName(argv[2]);
    QList<QPair<int, QByteArray>> pngs;
    for (const int size : {KELVARA_ICON_SIZES}) {
        const QString path =
            root + QStringLiteral("%1x%1/apps/").arg(size) + name + QStringLiteral(".png");
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !IconOfSize(size).save(&buffer, "PNG") ||
            !Write(path, png)) {
            std::fprintf(stderr, "kelvara_icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
        pngs.append({size, png});
    }
    const QString ico = QFile::decodeName(argv[1]) + QStringLiteral("/kelvara.ico");
    if (!Write(ico, Ico(pngs))) {
        std::fprintf(stderr, "kelvara_icons: cannot write %s\n", qPrintable(ico));
        return 1;
    }
    const QString svg = root + QStringLiteral("scalable/apps/") + name + QStringLiteral(".svg");
    if (!Write(svg, kelvara::ui::IconSvg())) {
        std::fprintf(stderr, "kelvara_icons: cannot write %s\n", qPrintable(svg));
        return 1;
    }
    return 0;
}
