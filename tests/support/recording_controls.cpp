// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "recording_controls.h"

#include <charconv>
#include <stdexcept>

namespace kelvara::test {

namespace {

const char* const kSliderNames[] = {"sldW", "sldU", "sldR"};
const char* const kImageNames[] = {"imgU", "imgI", "imgP"};
const char* const kLabelNames[] = {"Label11", "Label12"};

std::string Indexed(const char* name, int k) {
    return std::string(name) + "(" + std::to_string(k) + ")";
}

// "(x, y)". Appended to a string that exists first: a literal + temporary
// string inlines an insert at the front, which GCC 12 at -O3 takes for an
// overlapping copy (a false -Wrestrict).
std::string PointText(double x, double y) {
    std::string text(1, '(');
    text.append(NumberText(x)).append(", ").append(NumberText(y)).append(1, ')');
    return text;
}

void CheckIndex(int k, int count) {
    if (k < 0 || k >= count) {
        throw std::out_of_range("control array index out of range");
    }
}

} // namespace

std::string ColourText(Colour c) {
    return "RGB(" + std::to_string(RedOf(c)) + ", " + std::to_string(GreenOf(c)) + ", " +
           std::to_string(BlueOf(c)) + ")";
}

std::string NumberText(double v) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return {buf, res.ptr};
}

const char* SurfaceName(Surface s) {
    switch (s) {
    case Surface::Form1:
        return "Form1";
    case Surface::picvolt:
        return "picvolt";
    case Surface::picamp:
        return "picamp";
    }
    return "?";
}

RecordingControls::RecordingControls() {
    tokVisible.fill(true); // every marker is visible when the window is created
    tokColour.fill(RGB(255, 255, 255));
    pictokColour.fill(RGB(255, 255, 255));
}

void RecordingControls::ScriptClock(std::vector<float> readings) {
    scripted_ = std::move(readings);
    scriptedNext_ = 0;
    clock = [this] {
        const float v = scripted_.at(scriptedNext_);
        if (scriptedNext_ + 1 < scripted_.size()) {
            ++scriptedNext_;
        }
        return v;
    };
}

int RecordingControls::VisibleTokCount() const {
    int n = 0;
    for (bool v : tokVisible) {
        n += v ? 1 : 0;
    }
    return n;
}

bool RecordingControls::AtRest() const {
    const Colour white = RGB(255, 255, 255);
    const DrawnLine rest{1400, 1600, 1400, 540, RGB(128, 128, 128)};
    if (VisibleTokCount() != 0 || picRColour != white) {
        return false;
    }
    for (Colour c : pictokColour) {
        if (c != white) {
            return false;
        }
    }
    if (!lines[0].empty()) {
        return false;
    }
    for (int d = 1; d <= 2; ++d) {
        if (lines[d].empty()) {
            return false;
        }
        for (const DrawnLine& l : lines[d]) {
            if (!(l == rest)) {
                return false;
            }
        }
    }
    return imageLeft == std::array<double, 3>{8850, 8850, 8850} &&
           imageTop == std::array<double, 3>{2940, 5220, 9420};
}

std::vector<Call> RecordingControls::Calls(const std::string& control, const std::string& property,
                                           std::size_t from) const {
    std::vector<Call> out;
    for (std::size_t i = from; i < log.size(); ++i) {
        if ((control.empty() || log[i].control == control) &&
            (property.empty() || log[i].property == property)) {
            out.push_back(log[i]);
        }
    }
    return out;
}

void RecordingControls::Record(std::string control, std::string property, std::string value) {
    if (record) {
        log.push_back({std::move(control), std::move(property), std::move(value)});
    }
}

void RecordingControls::DrawLine(Surface s, double x1, double y1, double x2, double y2, Colour c) {
    const auto i = static_cast<std::size_t>(s);
    if (keepLines) {
        lines[i].push_back({x1, y1, x2, y2, c});
    }
    if (record) {
        Record(SurfaceName(s), "Line",
               PointText(x1, y1) + "-" + PointText(x2, y2) + " " + ColourText(c));
    }
}

void RecordingControls::Cls(Surface s) {
    const auto i = static_cast<std::size_t>(s);
    lines[i].clear();
    ++clsCount[i];
    Record(SurfaceName(s), "Cls", "");
}

void RecordingControls::SetDrawWidth(Surface s, int pixels) {
    drawWidth[static_cast<std::size_t>(s)] = pixels;
    Record(SurfaceName(s), "DrawWidth", std::to_string(pixels));
}

void RecordingControls::SetBackColor(Box b, int index, Colour c) {
    switch (b) {
    case Box::pictok:
        CheckIndex(index, kPictokCount);
        pictokColour[static_cast<std::size_t>(index)] = c;
        if (record) {
            Record(Indexed("pictok", index), "BackColor", ColourText(c));
        }
        break;
    case Box::picR:
        picRColour = c;
        Record("picR", "BackColor", ColourText(c));
        break;
    case Box::picOn:
        picOnColour = c;
        Record("picOn", "BackColor", ColourText(c));
        break;
    }
}

std::int16_t RecordingControls::Appearance(Box b) {
    if (b != Box::picOn) {
        throw std::invalid_argument("only picOn's appearance is read");
    }
    return picOnAppearance;
}

void RecordingControls::SetAppearance(Box b, std::int16_t appearance) {
    if (b != Box::picOn) {
        throw std::invalid_argument("only picOn's appearance is set");
    }
    picOnAppearance = appearance;
    Record("picOn", "Appearance", std::to_string(appearance));
}

void RecordingControls::SetTokVisible(int k, bool visible) {
    CheckIndex(k, kTokCount);
    tokVisible[static_cast<std::size_t>(k)] = visible;
    if (record) {
        Record(Indexed("tok", k), "Visible", visible ? "True" : "False");
    }
}

void RecordingControls::SetTokBackColor(int k, Colour c) {
    CheckIndex(k, kTokCount);
    tokColour[static_cast<std::size_t>(k)] = c;
    if (record) {
        Record(Indexed("tok", k), "BackColor", ColourText(c));
    }
}

void RecordingControls::SetCaption(Label l, std::string_view text) {
    const auto i = static_cast<std::size_t>(l);
    captions[i] = std::string(text);
    Record(kLabelNames[i], "Caption", std::string(text));
}

void RecordingControls::SetImageLeft(Image i, double twips) {
    const auto n = static_cast<std::size_t>(i);
    imageLeft[n] = twips;
    if (record) {
        Record(kImageNames[n], "Left", NumberText(twips));
    }
}

void RecordingControls::SetImageTop(Image i, double twips) {
    const auto n = static_cast<std::size_t>(i);
    imageTop[n] = twips;
    if (record) {
        Record(kImageNames[n], "Top", NumberText(twips));
    }
}

int RecordingControls::SliderValue(Slider s) {
    const auto n = static_cast<std::size_t>(s);
    if (record) {
        Record(kSliderNames[n], "Value", std::to_string(sliders[n]));
    }
    return sliders[n];
}

float RecordingControls::Timer() {
    ++timerReads;
    const float t = clock ? clock() : now;
    if (record) {
        Record("Timer", "Value", NumberText(t));
    }
    return t;
}

bool RecordingControls::DoEvents() {
    ++yields;
    Record("DoEvents", "", "");
    if (onYield && !ending) {
        ++depth;
        onYield(yields);
        --depth;
    }
    return !ending;
}

} // namespace kelvara::test
