#include "ui/fonts.h"

#include <QStringList>

#include <cmath>

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

} // namespace

void PinFontSubstitutes() {
    for (const Substitute& s : kSubstitutes) {
        QFont::removeSubstitutions(QString::fromLatin1(s.face));
        QFont::insertSubstitution(QString::fromLatin1(s.face), QString::fromLatin1(s.pinned));
    }
}

int PixelsForPoints(double points) {
    return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

QFont MakeFont(const FontSpec& style) {
    const QString face = QString::fromLatin1(style.face);
    QFont font;
    // The pinned substitute first: a font installed under the layout's own
    // name (some packages ship a "Courier") must not win over it.
    font.setFamilies({QFont::substitute(face), face});
    font.setPixelSize(PixelsForPoints(style.points));
    font.setBold(true);
    font.setItalic(style.italic);
    return font;
}

} // namespace kelvara::ui
