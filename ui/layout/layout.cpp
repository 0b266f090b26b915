// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/layout/layout.h"

#include "display/meters.h"
#include "sim/colours.h"
#include "sim/lesson.h"

#include <QCoreApplication>
#include <QHash>

#include <array>
#include <vector>

namespace kelvara::ui {

namespace {

constexpr Paint kPanelGreen = Rgb(192, 255, 192);
constexpr Paint kVoltDial = Rgb(kVoltmeterFace);
constexpr Paint kAmpDial = Rgb(kAmmeterFace);
constexpr Paint kWhite = Rgb(255, 255, 255);
constexpr Paint kBlack = Rgb(0, 0, 0);
constexpr Paint kGrey = Rgb(128, 128, 128);
constexpr Paint kSwitchOff = Rgb(kSwitchOffColour);
constexpr Paint kScrew = Rgb(128, 64, 0);

constexpr FontSpec Arial(double points) {
    return {"Arial", points, false};
}
constexpr FontSpec SansSerif(double points) {
    return {"MS Sans Serif", points, false};
}

// ---------------------------------------------------------------------------
// Bottom of the window: the graph panel's background, then the generator
// panel with its labels, dial, sliders and switch.

// clang-format off
const Element kPanels[] = {
    {.name = "Shape4", .kind = Kind::Shape, .left = 8460, .top = 1740, .width = 6765,
     .height = 8145, .back = kWindowBackground, .opaque = true, .penWidth = 1,
     .shape = ShapeType::Rectangle, .hatch = Rgb(128, 128, 255)},
    {.name = "Shape1", .kind = Kind::Shape, .left = 540, .top = 1890, .width = 7815, .height = 2985,
     .back = kPanelGreen, .opaque = true, .penWidth = 2},
    {.name = "Label13", .kind = Kind::Label, .left = 1200, .top = 1920, .width = 2625,
     .height = 495, .back = kPanelGreen, .fore = kWindowText, .opaque = true, .font = Arial(20.25),
     .caption = QT_TRANSLATE_NOOP("Layout", "Генератор")},
    {.name = "picvolt", .kind = Kind::Box, .left = 1110, .top = 2430, .width = 2900, .height = 1600,
     .back = kVoltDial, .hint = QT_TRANSLATE_NOOP("Layout", "Вольтметр"),
     .accessibleName = QT_TRANSLATE_NOOP("Layout", "Вольтметр"), .border = BorderStyle::Single,
     .appearance = kAppearance3D, .penWidth = 3},
};
// clang-format on

// Face of a dial: the scale marks on an arc around the needle pivot.
struct ScaleMark {
    int x1, y1, x2, y2;
};
constexpr ScaleMark kScaleMarks[] = {
    {1380, 270, 1380, 420}, {780, 510, 810, 570},   {2010, 510, 1980, 570},
    {240, 900, 390, 990},   {2550, 900, 2400, 990},
};

struct DialFace {
    const char* dial;
    const char* scale; // name of the array of scale marks
    const char* zeroLabel;
    const char* unitLabel;
    const char* unit;
};

void AddDialFace(std::vector<Element>& out, const DialFace& f) {
    int i = 0;
    for (const ScaleMark& m : kScaleMarks) {
        out.push_back({.name = f.scale,
                       .index = i++,
                       .kind = Kind::Line,
                       .container = f.dial,
                       .x1 = m.x1,
                       .y1 = m.y1,
                       .x2 = m.x2,
                       .y2 = m.y2,
                       .fore = kWhite,
                       .penWidth = 3});
    }
    out.push_back({.name = f.zeroLabel,
                   .kind = Kind::Label,
                   .container = f.dial,
                   .left = 1320,
                   .top = 0,
                   .width = 195,
                   .height = 375,
                   .fore = kWhite,
                   .font = Arial(12),
                   .caption = "0"});
    out.push_back({.name = f.unitLabel,
                   .kind = Kind::Label,
                   .container = f.dial,
                   .left = 2460,
                   .top = 30,
                   .width = 315,
                   .height = 435,
                   .fore = Rgb(64, 64, 64),
                   .font = Arial(20.25),
                   .caption = f.unit});
}

// clang-format off
const Element kVoltDialMarkers[] = {
    {.name = "Plus1", .kind = Kind::Plus, .container = "picvolt", .left = 0, .top = 720,
     .width = 255, .height = 255, .back = kVoltDial},
    {.name = "Minus2", .kind = Kind::Minus, .container = "picvolt", .left = 2580, .top = 720,
     .width = 225, .height = 285},
};
// clang-format on

// clang-format off
const Element kGenerator[] = {
    {.name = "Label3", .kind = Kind::Label, .left = 5820, .top = 2040, .width = 915, .height = 225,
     .back = kPanelGreen, .fore = kWindowText, .opaque = true, .font = SansSerif(9.75),
     .caption = QT_TRANSLATE_NOOP("Layout", "Частота")},
    {.name = "sldW", .kind = Kind::Slider, .left = 4470, .top = 2340, .width = 3615, .height = 675,
     .hint = QT_TRANSLATE_NOOP("Layout", "Изменить частоту"), .accessibleName = QT_TRANSLATE_NOOP("Layout", "Частота"), .minimum = 1, .maximum = 9, .value = 5, .tabIndex = 1},
    {.name = "Label4", .kind = Kind::Label, .left = 5670, .top = 3120, .width = 1485, .height = 255,
     .back = kPanelGreen, .fore = kWindowText, .opaque = true, .font = SansSerif(9.75),
     .caption = QT_TRANSLATE_NOOP("Layout", "Амплитуда(U")},
    {.name = "Label5", .kind = Kind::Label, .left = 7110, .top = 3150, .width = 195, .height = 255,
     .back = kPanelGreen, .fore = kWindowText, .opaque = true, .font = SansSerif(8.25),
     .caption = "m", .follows = "Label4"},
    {.name = "Label7", .kind = Kind::Label, .left = 7230, .top = 3120, .width = 225, .height = 225,
     .back = kPanelGreen, .fore = kWindowText, .opaque = true, .font = SansSerif(9.75),
     .caption = ")", .follows = "Label5"},
    {.name = "sldU", .kind = Kind::Slider, .left = 4470, .top = 3390, .width = 3615, .height = 645,
     .hint = QT_TRANSLATE_NOOP("Layout", "Изменить амплитуду колебаний"),
     .accessibleName = QT_TRANSLATE_NOOP("Layout", "Амплитуда (Uₘ)"), .minimum = 1, .maximum = 10, .value = 5,
     .valueDivisor = 10,
     .tabIndex = 2},
    {.name = "Label11", .kind = Kind::Label, .left = 4740, .top = 4260, .width = 195, .height = 315,
     .back = kPanelGreen, .fore = kWindowText, .opaque = true, .font = SansSerif(18),
     .caption = "+"},
    {.name = "Label12", .kind = Kind::Label, .left = 6270, .top = 4260, .width = 225, .height = 315,
     .back = kPanelGreen, .fore = kWindowText, .opaque = true, .font = SansSerif(18),
     .caption = "-"},
    {.name = "picOn", .kind = Kind::Box, .left = 7320, .top = 4170, .width = 375, .height = 375,
     .back = kSwitchOff, .accessibleName = QT_TRANSLATE_NOOP("Layout", "Вкл./Выкл. генератора"), .border = BorderStyle::Single, .appearance = kAppearanceFlat,
     .tabIndex = 3},
    // The power symbol on the switch.
    {.name = "Shape8", .kind = Kind::Shape, .container = "picOn", .left = 60, .top = 90,
     .width = 225, .height = 195, .penWidth = 2, .shape = ShapeType::Circle},
    {.name = "Line53", .kind = Kind::Line, .container = "picOn", .x1 = 165, .y1 = 30, .x2 = 165,
     .y2 = 180, .fore = kBlack, .penWidth = 2},
    {.name = "Label1", .kind = Kind::Label, .left = 7050, .top = 4590, .width = 1035, .height = 195,
     .back = kPanelGreen, .fore = kWindowText, .opaque = true, .font = SansSerif(8.25),
     .caption = QT_TRANSLATE_NOOP("Layout", "Вкл.\\Выкл.")},
};
// clang-format on

// ---------------------------------------------------------------------------
// The conductor's outlines and the drop shadows; clamps lie above them.

struct Segment {
    const char* name;
    int x1, y1, x2, y2, width;
};

constexpr Segment kOutlinesAndShadows[] = {
    // Each strip runs between two of these.
    {"Line15", 5160, 4980, 5160, 5970, 1},
    {"Line24", 5370, 4980, 5370, 6180, 2},
    {"Line16", 5160, 5970, 4320, 5970, 1},
    {"Line25", 4320, 6210, 5370, 6210, 2},
    {"Line17", 780, 5970, 390, 5970, 1},
    {"Line26", 780, 6180, 600, 6180, 2},
    {"Line18", 390, 5970, 390, 9390, 1},
    {"Line27", 600, 6180, 600, 9210, 2},
    {"Line19", 390, 9390, 2370, 9390, 2},
    {"Line29", 600, 9180, 2400, 9180, 1},
    {"Line20", 5790, 9390, 7890, 9390, 2},
    {"Line30", 5790, 9180, 7710, 9180, 1},
    {"Line21", 7890, 9360, 7890, 5970, 2},
    {"Line31", 7680, 9150, 7680, 6150, 1},
    {"Line22", 6030, 5970, 7890, 5970, 1},
    {"Line32", 7680, 6180, 5820, 6180, 2},
    {"Line23", 6030, 4980, 6030, 5970, 2},
    {"Line33", 5820, 4980, 5820, 6180, 1},
    // Shadows of the generator panel, the ammeter and the resistor.
    {"Line49", 600, 4890, 8340, 4890, 3},
    {"Line50", 8370, 1920, 8370, 4890, 2},
    {"Line35", 1110, 6930, 4020, 6930, 3},
    {"Line36", 4050, 5340, 4050, 6300, 3},
    {"Line46", 4050, 6270, 4050, 6930, 3},
    {"Line34", 2730, 9690, 5550, 9690, 3},
    {"Line47", 5550, 8940, 5550, 9120, 2},
    {"Line48", 5550, 9360, 5550, 9720, 2},
};

struct Clamp {
    int index, left, top, width, height;
};
constexpr Clamp kClamps[] = {
    {0, 5100, 4710, 315, 285}, {1, 5790, 4710, 315, 285}, {2, 4050, 5910, 315, 405},
    {5, 780, 5880, 315, 435},  {4, 2370, 9120, 315, 345}, {3, 5520, 9120, 315, 345},
};

// The generator's output terminals: bodies, screw heads above them, slots on top.
// clang-format off
const Element kTerminals[] = {
    {.name = "Shape2", .kind = Kind::Shape, .left = 5010, .top = 4260, .width = 495, .height = 495,
     .back = kGrey, .opaque = true, .penWidth = 2, .shape = ShapeType::Circle},
    {.name = "Shape3", .kind = Kind::Shape, .left = 5580, .top = 4260, .width = 735, .height = 495,
     .back = kGrey, .opaque = true, .penWidth = 2, .shape = ShapeType::Circle},
    {.name = "Shape6", .kind = Kind::Shape, .left = 5160, .top = 4410, .width = 195, .height = 225,
     .back = kScrew, .opaque = true, .penWidth = 2, .shape = ShapeType::Circle},
    {.name = "Shape7", .kind = Kind::Shape, .left = 5850, .top = 4410, .width = 195, .height = 225,
     .back = kScrew, .opaque = true, .penWidth = 2, .shape = ShapeType::Circle},
    {.name = "Line51", .kind = Kind::Line, .x1 = 5310, .y1 = 4470, .x2 = 5190, .y2 = 4560,
     .fore = kBlack, .penWidth = 2},
    {.name = "Line52", .kind = Kind::Line, .x1 = 5880, .y1 = 4440, .x2 = 6000, .y2 = 4590,
     .fore = kBlack, .penWidth = 2},
};
// clang-format on

// ---------------------------------------------------------------------------
// Title strip.

// clang-format off
const Element kTitle[] = {
    {.name = "Label2", .kind = Kind::Label, .left = 2220, .top = 240, .width = 12165, .height = 615,
     .fore = kButtonText, .font = Arial(20.25),
     .caption = QT_TRANSLATE_NOOP("Layout", "Резистор(активное сопротивление) в цепи переменного тока")},
    {.name = "Picture1", .kind = Kind::Box, .left = 480, .top = 360, .width = 495, .height = 495,
     .back = kButtonFace, .picture = PictureId::Logo},
    {.name = "Picture2", .kind = Kind::Box, .left = 1200, .top = 360, .width = 465, .height = 465,
     .back = kWindowBackground, .picture = PictureId::Icon},
};
// clang-format on

// ---------------------------------------------------------------------------
// Conductor loop: the nine white strips in the order a charge follows them.

struct Strip {
    int left, top, width, height;
};
constexpr Strip kStrips[kPictokCount] = {
    {5190, 5010, 165, 1155}, {4380, 6000, 945, 165},  {570, 6000, 195, 165},
    {420, 6000, 165, 3255},  {420, 9210, 1935, 165},  {5850, 9210, 2025, 165},
    {7710, 6000, 165, 3225}, {5970, 6000, 1755, 165}, {5850, 5010, 165, 1155},
};

// clang-format off
const Element kAmmeter[] = {
    {.name = "picamp", .kind = Kind::Box, .left = 1080, .top = 5310, .width = 2955, .height = 1600,
     .back = kAmpDial, .hint = QT_TRANSLATE_NOOP("Layout", "Амперметр"),
     .accessibleName = QT_TRANSLATE_NOOP("Layout", "Амперметр"), .border = BorderStyle::Single,
     .appearance = kAppearance3D, .penWidth = 3},
};
// clang-format on

// clang-format off
const Element kAmpDialMarkers[] = {
    {.name = "Plus5", .kind = Kind::Plus, .container = "picamp", .left = 30, .top = 750,
     .width = 165, .height = 255},
    {.name = "Minus4", .kind = Kind::Minus, .container = "picamp", .left = 2610, .top = 750,
     .width = 225, .height = 285, .back = kAmpDial},
};
// clang-format on

// clang-format off
const Element kResistor[] = {
    {.name = "picR", .kind = Kind::Box, .left = 2670, .top = 8910, .width = 2865, .height = 765,
     .back = kWindowBackground, .hint = QT_TRANSLATE_NOOP("Layout", "Резистор(активное сопротивление)"),
     .accessibleName = QT_TRANSLATE_NOOP("Layout", "Резистор"), .border = BorderStyle::Single, .appearance = kAppearanceFlat},
    {.name = "Label14", .kind = Kind::Label, .left = 3930, .top = 8280, .width = 465, .height = 525,
     .fore = kWindowText, .font = {"Courier New", 24, false},
    .caption = "R"},
    {.name = "sldR", .kind = Kind::Slider, .left = 2700, .top = 9870, .width = 2805, .height = 675,
     .hint = QT_TRANSLATE_NOOP("Layout", "Изменить сопротивление резистора"),
     .accessibleName = QT_TRANSLATE_NOOP("Layout", "Сопротивление (R)"), .minimum = 1, .maximum = 10, .value = 1,
     .tabIndex = 5},
};
// clang-format on

// Charge markers tok(0..38): container and position within it. All are
// 165 x 225 and clipped by their strip, except tok(4), a child of the window.
struct Tok {
    int strip; // -1: the window itself
    int left, top;
};
constexpr Tok kToks[kTokCount] = {
    {0, 0, 60},     {0, 0, 420},  {0, 0, 810},    {1, 300, 0},  {-1, 4980, 6000}, {1, 30, -30},
    {2, 0, 0},      {3, 0, 330},  {3, 0, 750},    {3, 0, 1230}, {3, 0, 1680},     {3, 0, 2100},
    {3, 0, 2550},   {3, 0, 2970}, {4, 210, 0},    {4, 570, 0},  {4, 930, -30},    {4, 1290, 0},
    {4, 1680, -30}, {5, 90, 0},   {5, 480, -30},  {5, 870, 0},  {5, 1230, 0},     {5, 1650, 0},
    {6, 0, 3000},   {6, 0, 2550}, {6, -30, 2130}, {6, 0, 1680}, {6, 0, 1230},     {6, 0, 810},
    {6, 0, 390},    {6, 0, 0},    {7, 1350, 0},   {7, 930, 0},  {7, 480, -30},    {7, 0, 0},
    {8, 0, 750},    {8, 0, 450},  {8, 0, 60},
};
constexpr const char* kPictokNames[kPictokCount] = {
    "pictok(0)", "pictok(1)", "pictok(2)", "pictok(3)", "pictok(4)",
    "pictok(5)", "pictok(6)", "pictok(7)", "pictok(8)",
};

// ---------------------------------------------------------------------------
// Graph panel: axes, arrowheads, letter bars, ticks, letters, image markers.

// The axes meet where the graphs put time 0 and their zero lines.
// clang-format off
constexpr Segment kAxes[] = {
    {"UAxis", kGraphX0, 1860, kGraphX0, 3990, 2},
    {"UTimeAxis", 8760, kVoltGraphY0, 15150, kVoltGraphY0, 1},
    {"IAxis", kGraphX0, 4230, kGraphX0, 6780, 2},
    {"ITimeAxis", 8610, kCurrentGraphY0, 14970, kCurrentGraphY0, 1},
    {"PAxis", kGraphX0, 6960, kGraphX0, 9570, 2},
    {"PTimeAxis", 8730, kPowerGraphY0, 15090, kPowerGraphY0, 1},
    {"Line4", 8820, 1800, 8730, 1920, 4},    {"Line7", 8850, 1800, 8940, 1920, 4},
    {"Line9", 15030, 2910, 14880, 2820, 4},  {"Line10", 15030, 2970, 14910, 3090, 4},
    {"Line11", 8850, 4140, 8760, 4260, 4},   {"Line12", 8820, 4140, 8940, 4260, 4},
    {"Line13", 14970, 5190, 14820, 5100, 4}, {"Line14", 14970, 5220, 14850, 5340, 4},
    {"Line57", 8820, 6930, 8730, 7050, 4},   {"Line56", 8850, 6930, 8940, 7050, 4},
    {"Line55", 15030, 9390, 14880, 9300, 4}, {"Line54", 15030, 9420, 14910, 9540, 4},
};
// clang-format on

constexpr Segment kLetterBars[] = {
    {"Line62", 8520, 4200, 8670, 4200, 2},
    {"Line61", 8520, 4470, 8670, 4470, 2},
};

// Time-axis ticks Line6(0..71): 24 per axis, 240 apart, 60 long, centred on
// the zero line; each run of indices is laid out left to right.
struct TickRun {
    int zeroY, firstX;
    std::array<int, 2> firstIndices; // two ranges of consecutive indices
    std::array<int, 2> counts;
};
constexpr TickRun kTimeTicks[] = {
    {kVoltGraphY0, 9150, {0, 19}, {18, 6}},
    {kCurrentGraphY0, 9000, {18, 25}, {1, 23}},
    {kPowerGraphY0, 9120, {48, 0}, {24, 0}},
};

// Value-axis ticks: Line5 (0..25 without 21) and Line60.
struct ValueTick {
    const char* name;
    int index, y, left, right;
};
// clang-format off
constexpr ValueTick kValueTicks[] = {
    {"Line5", 0, 1980, 8760, 8890},   {"Line5", 1, 2220, 8790, 8890},
    {"Line5", 2, 2460, 8790, 8890},   {"Line5", 3, 2700, 8790, 8890},
    {"Line5", 4, kVoltGraphY0, kGraphX0, 8970},   {"Line5", 5, 3150, 8790, 8890},
    {"Line5", 6, 3390, 8790, 8890},   {"Line5", 7, 3660, 8790, 8890},
    {"Line5", 8, 4470, 8760, 8890},   {"Line5", 9, 4710, 8760, 8890},
    {"Line5", 10, 4950, 8760, 8890},  {"Line5", 11, kCurrentGraphY0, kGraphX0, 8970},
    {"Line5", 12, 5460, 8790, 8890},  {"Line5", 13, 5700, 8790, 8890},
    {"Line5", 14, 5940, 8790, 8890},  {"Line5", 15, 6150, 8790, 8890},
    {"Line60", -1, 6390, 8790, 8890}, {"Line5", 16, 6630, 8760, 8890},
    {"Line5", 17, 7230, 8760, 8890},  {"Line5", 18, 7620, 8760, 8890},
    {"Line5", 19, 7980, 8760, 8925},  {"Line5", 20, 8310, 8760, 8880},
    {"Line5", 22, 8670, 8760, 8910},  {"Line5", 23, 9060, 8760, 8880},
    {"Line5", 24, kPowerGraphY0, kGraphX0, 8970},  {"Line5", 25, kPowerGraphY0, 8970, 9090},
};
// clang-format on

// clang-format off
const Element kGraphLetters[] = {
    {.name = "Label18", .kind = Kind::Label, .left = 8490, .top = 1740, .width = 285, .height = 375,
     .fore = kButtonText, .font = SansSerif(13.5), .caption = "U"},
    {.name = "Label17", .kind = Kind::Label, .left = 8550, .top = 4110, .width = 165, .height = 345,
     .fore = kButtonText, .font = SansSerif(18), .caption = "I"},
    {.name = "Label15", .kind = Kind::Label, .left = 8520, .top = 6870, .width = 225, .height = 285,
     .fore = kButtonText, .font = SansSerif(13.5), .caption = "P"},
    {.name = "Label19", .index = 0, .kind = Kind::Label, .left = 14940, .top = 3060, .width = 135,
     .height = 375, .fore = kButtonText, .font = SansSerif(18), .caption = "t"},
    {.name = "Label19", .index = 1, .kind = Kind::Label, .left = 14940, .top = 5310, .width = 135,
     .height = 375, .fore = kButtonText, .font = SansSerif(18), .caption = "t"},
    {.name = "Label19", .index = 2, .kind = Kind::Label, .left = 15000, .top = 9420, .width = 135,
     .height = 375, .fore = kButtonText, .font = SansSerif(18), .caption = "t"},
    {.name = "imgU", .kind = Kind::Image, .left = kGraphX0, .top = kVoltGraphY0, .width = 120,
     .height = 120, .picture = PictureId::MarkerU},
    {.name = "imgI", .kind = Kind::Image, .left = kGraphX0, .top = kCurrentGraphY0, .width = 120,
     .height = 120, .picture = PictureId::MarkerI},
    {.name = "imgP", .kind = Kind::Image, .left = kGraphX0, .top = kPowerGraphY0, .width = 120,
     .height = 120, .picture = PictureId::MarkerP},
    {.name = "Command4", .kind = Kind::Button, .left = 8460, .top = 1290, .width = 6735,
     .height = 315, .font = {"Courier", 9.75, true},
    .caption = QT_TRANSLATE_NOOP("Layout", "Графики"), .tabIndex = 4},
    {.name = "picShirma", .kind = Kind::Box, .left = 8430, .top = 1710, .width = 6825,
     .height = 8235, .back = kButtonFace, .accessibleName = QT_TRANSLATE_NOOP("Layout", "Экран графиков")},
    {.name = "Command1", .kind = Kind::Button, .left = 10770, .top = 10110, .width = 2355,
     .height = 375, .font = {"Courier New", 11.25, true},
    .caption = QT_TRANSLATE_NOOP("Layout", "Выход"), .tabIndex = 0},
};
// clang-format on

// ---------------------------------------------------------------------------

Element LineOf(const Segment& s, Paint colour) {
    return {.name = s.name,
            .kind = Kind::Line,
            .x1 = s.x1,
            .y1 = s.y1,
            .x2 = s.x2,
            .y2 = s.y2,
            .fore = colour,
            .penWidth = s.width};
}

template <typename Range> void Append(std::vector<Element>& out, const Range& rows) {
    out.insert(out.end(), std::begin(rows), std::end(rows));
}

std::vector<Element> BuildLayout() {
    std::vector<Element> out;
    Append(out, kPanels);
    AddDialFace(out, {"picvolt", "VoltScale", "Label8", "Label6", "V"});
    Append(out, kVoltDialMarkers);
    Append(out, kGenerator);

    for (const Segment& s : kOutlinesAndShadows) {
        out.push_back(LineOf(s, kBlack));
    }
    for (const Clamp& c : kClamps) {
        out.push_back({.name = "Shape5",
                       .index = c.index,
                       .kind = Kind::Shape,
                       .left = c.left,
                       .top = c.top,
                       .width = c.width,
                       .height = c.height,
                       .back = kGrey,
                       .opaque = true,
                       .penWidth = 1,
                       .shape = ShapeType::RoundedRectangle});
    }
    Append(out, kTerminals);
    Append(out, kTitle);

    for (int k = 0; k < kPictokCount; ++k) {
        const Strip& s = kStrips[k];
        out.push_back({.name = "pictok",
                       .index = k,
                       .kind = Kind::Box,
                       .left = s.left,
                       .top = s.top,
                       .width = s.width,
                       .height = s.height,
                       .back = kWhite});
    }
    Append(out, kAmmeter);
    AddDialFace(out, {"picamp", "AmpScale", "Label9", "Label10", "A"});
    Append(out, kAmpDialMarkers);
    Append(out, kResistor);

    for (int k = 0; k < kTokCount; ++k) {
        const Tok& t = kToks[k];
        const bool onWindow = t.strip < 0;
        out.push_back({.name = "tok",
                       .index = k,
                       .kind = Kind::Plus,
                       .container = onWindow ? "Form1" : kPictokNames[t.strip],
                       .left = t.left,
                       .top = t.top,
                       .width = onWindow ? 195 : 165,
                       .height = onWindow ? 165 : 225});
    }

    for (const Segment& s : kAxes) {
        out.push_back(LineOf(s, kGrey));
    }
    for (const Segment& s : kLetterBars) {
        out.push_back(LineOf(s, kBlack));
    }
    for (const TickRun& run : kTimeTicks) {
        int x = run.firstX;
        for (std::size_t r = 0; r < run.counts.size(); ++r) {
            for (int i = 0; i < run.counts[r]; ++i, x += 240) {
                out.push_back({.name = "Line6",
                               .index = run.firstIndices[r] + i,
                               .kind = Kind::Line,
                               .x1 = x,
                               .y1 = run.zeroY - 30,
                               .x2 = x,
                               .y2 = run.zeroY + 30,
                               .fore = kBlack,
                               .penWidth = 1});
            }
        }
    }
    for (const ValueTick& t : kValueTicks) {
        out.push_back({.name = t.name,
                       .index = t.index,
                       .kind = Kind::Line,
                       .x1 = t.left,
                       .y1 = t.y,
                       .x2 = t.right,
                       .y2 = t.y,
                       .fore = kBlack,
                       .penWidth = 1});
    }
    Append(out, kGraphLetters);
    return out;
}

const std::vector<Element>& Layout() {
    static const std::vector<Element> layout = BuildLayout();
    return layout;
}

} // namespace

std::span<const Element> FormLayout() {
    return Layout();
}

QString FullName(const Element& e) {
    const QString name = QString::fromLatin1(e.name);
    return e.index < 0 ? name : QStringLiteral("%1(%2)").arg(name).arg(e.index);
}

namespace {

// The layout's texts are marked for translation where they are written; a
// text with no translation comes back as written.
QString Translated(const char* text) {
    return text == nullptr ? QString() : QCoreApplication::translate("Layout", text);
}

} // namespace

QString CaptionText(const Element& e) {
    return Translated(e.caption);
}

QString HintText(const Element& e) {
    return Translated(e.hint);
}

QString AccessibleNameText(const Element& e) {
    return Translated(e.accessibleName);
}

const Element* FindElement(const QString& fullName) {
    static const QHash<QString, const Element*> byName = [] {
        QHash<QString, const Element*> h;
        for (const Element& e : Layout()) {
            h.insert(FullName(e), &e);
        }
        return h;
    }();
    return byName.value(fullName, nullptr);
}

} // namespace kelvara::ui
