// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// A line of text set glyph by glyph from the font's own advances, with no
// shaping: for a reading written anew with every pass, where shaping each
// line costs more than all the rest of its painting.
#pragma once

#include <QFont>
#include <QHash>
#include <QPoint>
#include <QRawFont>
#include <QString>

class QPainter;

namespace kelvara::ui {

class GlyphLine {
public:
    GlyphLine() = default;
    explicit GlyphLine(const QFont& font);

    // Whether every character of `text` has a glyph in the font: only then
    // do Width and Draw set it; anything else is left to the painter.
    bool Sets(const QString& text) const;
    // The sum of the advances, rounded to whole pixels.
    int Width(const QString& text) const;
    // `text` from its baseline at `origin`, in the painter's pen.
    void Draw(QPainter& p, QPoint origin, const QString& text) const;

private:
    struct Glyph {
        quint32 index = 0;
        qreal advance = 0;
    };
    const Glyph& Of(QChar c) const;

    QRawFont raw_;
    mutable QHash<char16_t, Glyph> glyphs_; // filled as characters are met
};

} // namespace kelvara::ui
