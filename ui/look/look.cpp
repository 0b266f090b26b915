// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/look/look.h"

#include "ui/look/colours.h"

#include "display/graphs.h"
#include "sim/colours.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace kelvara::ui {

namespace {

constexpr double kTextContrast = 4.5;
constexpr double kMarkContrast = 3.0;

// The projector view's own colours.
const QColor kSwitchOffProjected(128, 128, 128); // 3.7:1 from the switch's yellow
const QColor kHatchProjected(210, 210, 255);     // 1.5:1 from the panel: a faint grid
const QColor kTraceRedProjected(204, 0, 0);      // 4:1 from the faint grid
const QColor kMarkerRing(255, 255, 0);

double ToLinear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int FromLinear(double l) {
    l = std::clamp(l, 0.0, 1.0);
    const double c = l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
    return static_cast<int>(std::lround(c * 255));
}

// How a heat colour glows in the projector view: from white through a
// saturated tint, then darker to the colour of the hottest heat. The
// contrast with the cold colour grows as a power of the heat level below 1,
// on a logarithmic scale, so that a small current already shows and a large
// one still darkens further; every channel only falls as the heat rises, so
// more heat is never lighter.
struct Glow {
    QColor tint;
    QColor hottest;
    double exponent = 1;
};

// The wire stays light enough at its hottest for the charges' black signs
// (4.7:1).
constexpr int kHeatLevels = 256;
const Glow kWireGlow{QColor(255, 0, 0), QColor(240, 0, 0), 0.35};
// Yellow cannot stand out from white: the resistor glows orange.
const Glow kResistorGlow{QColor(255, 140, 0), QColor(170, 91, 0), 0.4};

QColor Glowing(const Glow& g, int heat) {
    const std::array<QColor, 3> path{QColor(Qt::white), g.tint, g.hottest};
    const double hottest = Look::Luminance(g.hottest);
    const double most = 1.05 / (hottest + 0.05);
    const double t = static_cast<double>(heat) / (kHeatLevels - 1);
    const double target = 1.05 / std::pow(most, std::pow(t, g.exponent)) - 0.05;
    // Along the path in linear light, where the luminance falls evenly.
    std::size_t leg = 0;
    if (target < Look::Luminance(g.tint)) {
        leg = 1;
    }
    const QColor& from = path[leg];
    const QColor& to = path[leg + 1];
    const double lFrom = Look::Luminance(from);
    const double lTo = Look::Luminance(to);
    const double w = lFrom == lTo ? 1.0 : std::clamp((lFrom - target) / (lFrom - lTo), 0.0, 1.0);
    const auto mix = [w](int a, int b) {
        return FromLinear(ToLinear(a) + (ToLinear(b) - ToLinear(a)) * w);
    };
    return {mix(from.red(), to.red()), mix(from.green(), to.green()), mix(from.blue(), to.blue())};
}

using GlowTable = std::array<QRgb, kHeatLevels>;

GlowTable MakeTable(const Glow& g) {
    GlowTable table{};
    for (int h = 0; h < kHeatLevels; ++h) {
        table[static_cast<std::size_t>(h)] = Glowing(g, h).rgb();
    }
    return table;
}

QColor FromTable(const GlowTable& table, int heat) {
    return QColor::fromRgb(table[static_cast<std::size_t>(heat)]);
}

// The heat colours the program gives, read back by the inverse of the run
// loop's own; anything else is shown as it is.
QColor WireGlow(const QColor& c) {
    const std::optional<int> heat = HeatOfColour(Heated::Wire, ToColour(c));
    if (!heat) {
        return c;
    }
    static const GlowTable table = MakeTable(kWireGlow);
    return FromTable(table, *heat);
}

QColor ResistorGlow(const QColor& c) {
    const std::optional<int> heat = HeatOfColour(Heated::Resistor, ToColour(c));
    if (!heat) {
        return c;
    }
    static const GlowTable table = MakeTable(kResistorGlow);
    return FromTable(table, *heat);
}

bool Named(const Element& e, const char* name) {
    return qstrcmp(e.name, name) == 0;
}

bool IsDial(const Element& e) {
    return Named(e, "picvolt") || Named(e, "picamp");
}

// The dial an element lies in, or nullptr.
const Element* DialHolding(const Element& e) {
    if (qstrcmp(e.container, "picvolt") != 0 && qstrcmp(e.container, "picamp") != 0) {
        return nullptr;
    }
    return FindElement(QString::fromLatin1(e.container));
}

QColor Face(const Element& dial) {
    return Resolve(dial.back, Qt::white);
}

QColor Legible(const QColor& natural, const QColor& behind, double ratio) {
    if (Look::Contrast(natural, behind) >= ratio) {
        return natural;
    }
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return Look::Contrast(black, behind) >= Look::Contrast(white, behind) ? black : white;
}

} // namespace

double Look::Luminance(const QColor& c) {
    return 0.2126 * ToLinear(c.red()) + 0.7152 * ToLinear(c.green()) + 0.0722 * ToLinear(c.blue());
}

double Look::Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Look::Text(const QColor& natural, const QColor& behind) const {
    return Projector() ? Legible(natural, behind, kTextContrast) : natural;
}

QColor Look::Graphic(const QColor& natural, const QColor& behind) const {
    return Projector() ? Legible(natural, behind, kMarkContrast) : natural;
}

QColor Look::Fore(const Element& e, const QColor& natural) const {
    if (!Projector()) {
        return natural;
    }
    // The scale, zero and unit of a dial in its ink, so that the face does
    // not read as an empty box.
    if (const Element* dial = DialHolding(e); dial != nullptr) {
        return e.kind == Kind::Label ? Text(natural, Face(*dial)) : Graphic(natural, Face(*dial));
    }
    return natural;
}

QColor Look::Hatch(const Element& /*e*/, const QColor& natural) const {
    // Faint, so that the traces stand out from it.
    return Projector() ? kHatchProjected : natural;
}

QColor Look::Background(const Element& e, const QColor& natural) const {
    if (!Projector()) {
        return natural;
    }
    if (Named(e, "pictok") || Named(e, "tok")) {
        return WireGlow(natural);
    }
    if (Named(e, "picR")) {
        return ResistorGlow(natural);
    }
    if (Named(e, "picOn")) {
        return natural == ToQColor(kSwitchOffColour) ? kSwitchOffProjected : natural;
    }
    if (e.kind == Kind::Plus || e.kind == Kind::Minus) {
        // A dial's sign markers all on its face, whatever colour they keep.
        if (const Element* dial = DialHolding(e); dial != nullptr) {
            return Face(*dial);
        }
    }
    return natural;
}

QColor Look::Sign() const {
    return Qt::black;
}

QColor Look::Stroke(const Element* container, const QColor& natural) const {
    if (!Projector()) {
        return natural;
    }
    if (container == nullptr) {
        return natural == ToQColor(kCurrentColour) ? kTraceRedProjected : natural;
    }
    if (IsDial(*container)) {
        // The needle; its erase strokes keep the face's own colour.
        const QColor face = Face(*container);
        return natural == face ? face : Graphic(natural, face);
    }
    return natural;
}

int Look::StrokePen(int natural) const {
    return Projector() ? 2 * natural : natural;
}

QColor Look::MarkerRing() const {
    return Projector() ? kMarkerRing : QColor();
}

} // namespace kelvara::ui
