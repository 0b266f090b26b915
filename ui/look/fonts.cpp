// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/look/fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStringList>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace kelvara::ui {

namespace {

struct Substitute {
    const char* face;
    const char* pinned;
};

// Metric-compatible replacements, so captions fit their boxes as laid out.
constexpr Substitute kSubstitutes[] = {
    {"Arial", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans"},
    {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
};

// The faces the window uses, built into the program (ui/CMakeLists.txt) so
// that it looks the same whatever fonts a machine has, or with none at all.
// Registered after the system's fonts, they take the place of installed
// copies of the same families. Regular Sans serves the default font.
constexpr const char* kEmbeddedFonts[] = {
    ":/kelvara/fonts/LiberationSans-Bold.ttf",
    ":/kelvara/fonts/LiberationSans-Regular.ttf",
    ":/kelvara/fonts/LiberationMono-Bold.ttf",
    ":/kelvara/fonts/LiberationMono-BoldItalic.ttf",
};

// Glyph rendering that fontconfig would otherwise choose per machine (with
// no configuration at all it hints fully): vertical-only hinting, what
// Debian's default configuration gives, and no subpixel colour fringes.
void PinRendering(QFont& font) {
    font.setHintingPreference(QFont::PreferVerticalHinting);
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
}

void AddEmbeddedFonts() {
    static const bool added = [] {
#if defined(__SANITIZE_ADDRESS__)
        // What fontconfig allocates for these fonts (its configuration, their
        // patterns) is released only when the application object is torn
        // down; when the X connection is lost, Qt exits from inside the event
        // loop without that. The leak checker passes over exactly these
        // allocations, and still reports any other fontconfig leak.
        const __lsan::ScopedDisabler registration;
#endif
        for (const char* file : kEmbeddedFonts) {
            QFontDatabase::addApplicationFont(QString::fromLatin1(file));
        }
        return true;
    }();
    (void)added;
}

} // namespace

void PinFontSubstitutes() {
    AddEmbeddedFonts();
    for (const Substitute& s : kSubstitutes) {
        QFont::removeSubstitutions(QString::fromLatin1(s.face));
        QFont::insertSubstitution(QString::fromLatin1(s.face), QString::fromLatin1(s.pinned));
    }
    // Hint texts and anything else in the default font: the embedded Sans at
    // the desktop's size.
    QFont base = QApplication::font();
    base.setFamilies({QStringLiteral("Liberation Sans")});
    PinRendering(base);
    QApplication::setFont(base);
}

QFont MakeFont(const FontSpec& style, const Twips& map) {
    const QString face = QString::fromLatin1(style.face);
    QFont font;
    // The pinned substitute first: a font installed under the layout's own
    // name (some packages ship a "Courier") must not win over it.
    font.setFamilies({QFont::substitute(face), face});
    font.setPixelSize(map.FontPixels(style.points));
    font.setBold(true);
    font.setItalic(style.italic);
    PinRendering(font);
    return font;
}

} // namespace kelvara::ui
