// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// A picture box: a child window with a background colour, an optional
// border, a drawing surface and children that it clips.
//
// The box itself paints only its border; its client area is a child widget
// inset by the border's width, so children and drawing are clipped to it and
// placed from its top-left corner, as the layout measures them.
#pragma once

#include "ui/layout/layout.h"
#include "ui/layout/twips.h"
#include "ui/look/look.h"
#include "ui/paint/surface.h"

#include <QWidget>

#include <cstdint>

namespace kelvara::ui {

class BoxClient : public QWidget {
public:
    // `box`: the layout record of the box it is the client of.
    BoxClient(QWidget* parent, const Element& box);

    DrawingSurface& Surface() { return surface_; }
    const DrawingSurface& Surface() const { return surface_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DrawingSurface surface_;
};

class PictureBox : public QWidget {
    Q_OBJECT

public:
    // Placed by its container's map.
    PictureBox(const Element& e, QWidget* parent, const Twips& map);

    // Places the box, its edge, its client and the client's drawing for
    // the container's map.
    void SetMap(const Twips& map);

    BoxClient* Client() const { return client_; }

    // What a click does, from the mouse, the keyboard or assistive tools.
    void Click() { emit clicked(); }

    // The background as the layout or the program gives it; the box shows
    // it as its look maps it.
    QColor BackColor() const { return back_; }
    void SetBackColor(const QColor& c);

    // Background, drawing and drawn elements in another look.
    void SetLook(const Look& look);

    // kAppearanceFlat or kAppearance3D; shows only with a single border.
    std::int16_t Appearance() const { return appearance_; }
    void SetAppearance(std::int16_t appearance);

    // Width of the visible edge in pixels: 0, 1 (flat) or 2 (sunken 3D) at
    // the natural size, scaled with the window.
    int EdgeWidth() const;

    // A focus frame shows only while the box has the focus and the keyboard
    // has been used on it, as desktop controls hide focus cues from mouse
    // users: the window opens with the focus here and must look as drawn.
    bool ShowsFocus() const { return hasFocus() && keyboardCue_; }

signals:
    // Left button pressed and released inside the box; the second press of
    // a double click counts as a click of its own.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Space and Enter click a box that takes the focus, once per press.
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void PlaceClient();

    const Element& e_;
    Twips map_;
    Look look_;
    QColor back_;
    BorderStyle border_;
    std::int16_t appearance_;
    BoxClient* client_;
    bool pressed_ = false;
    bool keyboardCue_ = false;
};

} // namespace kelvara::ui
