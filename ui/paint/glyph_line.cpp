// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/paint/glyph_line.h"

#include <QGlyphRun>
#include <QList>
#include <QPainter>
#include <QPointF>

#include <cmath>

namespace kelvara::ui {

GlyphLine::GlyphLine(const QFont& font) : raw_(QRawFont::fromFont(font)) {}

const GlyphLine::Glyph& GlyphLine::Of(QChar c) const {
    auto known = glyphs_.constFind(c.unicode());
    if (known == glyphs_.cend()) {
        Glyph g;
        const QList<quint32> index = raw_.glyphIndexesForString(QString(c));
        if (!index.isEmpty()) {
            g.index = index.front();
            g.advance = raw_.advancesForGlyphIndexes(index).value(0).x();
        }
        known = glyphs_.insert(c.unicode(), g);
    }
    return *known;
}

bool GlyphLine::Sets(const QString& text) const {
    if (!raw_.isValid()) {
        return false;
    }
    for (const QChar c : text) {
        // Glyph 0 is the font's "missing" box; surrogates would need shaping.
        if (c.isSurrogate() || Of(c).index == 0) {
            return false;
        }
    }
    return true;
}

int GlyphLine::Width(const QString& text) const {
    qreal width = 0;
    for (const QChar c : text) {
        width += Of(c).advance;
    }
    return static_cast<int>(std::lround(width));
}

void GlyphLine::Draw(QPainter& p, QPoint origin, const QString& text) const {
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(text.size());
    positions.reserve(text.size());
    qreal x = 0;
    for (const QChar c : text) {
        const Glyph& g = Of(c);
        indexes.push_back(g.index);
        positions.push_back(QPointF(x, 0));
        x += g.advance;
    }
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    p.drawGlyphRun(origin, run);
}

} // namespace kelvara::ui
