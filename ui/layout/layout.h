// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The window's layout and its circuit drawing, as data.
//
// One record per element, in twips, in stacking order: within a container a
// later record lies above an earlier one of the same sort (drawn elements
// among drawn elements, child windows among child windows; child windows
// always cover drawn elements). A record's container comes before it.
// FormWidgets turns these records into widgets and painted elements
// generically.
#pragma once

#include "sim/controls.h"

#include <QPalette>
#include <QString>

#include <cstdint>
#include <span>

namespace kelvara::ui {

enum class Kind : std::uint8_t {
    Box,    // child window with a background, border and drawing surface
    Label,  // drawn text
    Button, // push button
    Line,   // drawn segment
    Shape,  // drawn rectangle, rounded rectangle or circle
    Image,  // drawn bitmap at its top-left corner
    Slider, // horizontal slider
    Plus,   // marker control showing a plus sign
    Minus,  // marker control showing a minus sign
};

enum class BorderStyle : std::uint8_t { None, Single };
enum class ShapeType : std::uint8_t { Rectangle, RoundedRectangle, Circle };
// Pictures the program makes itself (ui/paint/pictures.h).
enum class PictureId : std::uint8_t { None, Logo, Icon, MarkerU, MarkerI, MarkerP };

// A colour as the layout stores it: a fixed RGB value, a desktop colour by
// role, or nothing stored (the control keeps its own default).
struct Paint {
    enum class Source : std::uint8_t { None, Fixed, Role };
    Source source = Source::None;
    Colour rgb = 0;
    QPalette::ColorRole role = QPalette::NoRole;

    constexpr bool Stored() const { return source != Source::None; }
};

constexpr Paint Rgb(Colour c) {
    return {Paint::Source::Fixed, c, QPalette::NoRole};
}
constexpr Paint Rgb(int r, int g, int b) {
    return Rgb(RGB(r, g, b));
}
constexpr Paint DesktopColour(QPalette::ColorRole role) {
    return {Paint::Source::Role, 0, role};
}

// The four desktop colours the window uses.
inline constexpr Paint kWindowBackground = DesktopColour(QPalette::Base);
inline constexpr Paint kWindowText = DesktopColour(QPalette::Text);
inline constexpr Paint kButtonFace = DesktopColour(QPalette::Button);
inline constexpr Paint kButtonText = DesktopColour(QPalette::ButtonText);

// Face name and size in points; every font is bold.
struct FontSpec {
    const char* face = nullptr;
    double points = 0;
    bool italic = false;
};

// The slider captions' size: a caption set smaller to fit its label in
// another language never goes below it.
inline constexpr double kSmallestCaptionPoints = 9.75;

struct Element {
    const char* name = nullptr; // layout name; an array's name for its members
    int index = -1;             // index within its control array, -1 if none
    Kind kind = Kind::Label;
    const char* container = "Form1"; // full name of the containing box
    // Boxes, labels, buttons, shapes, images, sliders, markers (twips).
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    // Lines (twips).
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    Paint back{};        // background or fill colour
    Paint fore{};        // text or line colour
    bool opaque = false; // labels and shapes: filled with `back`
    FontSpec font{};     //
    const char* caption = nullptr;
    // Labels: set straight after the text of this label, so that several
    // labels read as one caption whatever the font's widths.
    const char* follows = nullptr;
    const char* hint = nullptr;           // tooltip; also what a screen reader describes it by
    const char* accessibleName = nullptr; // what a screen reader calls it
    BorderStyle border = BorderStyle::None;
    std::int16_t appearance = kAppearanceFlat; // boxes: flat or sunken 3D edge
    int penWidth = 1; // pixels: line width, shape border, or a box's drawing pen
    ShapeType shape = ShapeType::Rectangle;
    Paint hatch{}; // shapes: colour of a cross-hatch over the fill
    PictureId picture = PictureId::None;
    int minimum = 0; // sliders
    int maximum = 0;
    int value = 0;
    int valueDivisor = 1; // the position read out as a value: 10 reads 5 as 0,5
    int tabIndex = -1;    // place in the tab order, -1 for none
};

// Every element of the window, containers before their contents.
std::span<const Element> FormLayout();

// "tok(3)" for array members, the plain name otherwise.
QString FullName(const Element& e);

// An element's caption, hint and accessible name in the language shown now
// (the layout's own Russian where no translation is installed); empty where
// it has none.
QString CaptionText(const Element& e);
QString HintText(const Element& e);
QString AccessibleNameText(const Element& e);

// The record of an element by full name, or nullptr.
const Element* FindElement(const QString& fullName);

// Child windows are widgets; the rest is painted by its container.
constexpr bool IsChildWindow(Kind k) {
    return k == Kind::Box || k == Kind::Button || k == Kind::Slider || k == Kind::Plus ||
           k == Kind::Minus;
}

} // namespace kelvara::ui
