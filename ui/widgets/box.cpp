// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/widgets/box.h"

#include "ui/layout/twips.h"
#include "ui/look/colours.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace kelvara::ui {

BoxClient::BoxClient(QWidget* parent, const Element& box) : QWidget(parent), surface_(this, &box) {
    setAutoFillBackground(true);
}

void BoxClient::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    surface_.Paint(p, event->rect());
    const auto* box = qobject_cast<const PictureBox*>(parentWidget());
    if (box != nullptr && box->ShowsFocus()) {
        // A frame in the desktop's highlight colour just inside the edge:
        // an outline only, so the switch keeps its own colours.
        const int t = surface_.Map().Pixels(1);
        const QColor highlight = palette().color(QPalette::Highlight);
        FillFrame(p, rect().adjusted(t, t, -t, -t), t, highlight);
    }
}

// ---------------------------------------------------------------------------

PictureBox::PictureBox(const Element& e, QWidget* parent, const Twips& map)
    : QWidget(parent), e_(e), border_(e.border), appearance_(e.appearance),
      client_(new BoxClient(this, e)) {
    client_->Surface().Layer().SetPenWidth(e.penWidth);
    client_->Surface().SetPicture(e.picture);
    SetBackColor(Resolve(e.back, palette().color(QPalette::Button)));
    SetMap(map);
}

void PictureBox::SetMap(const Twips& map) {
    map_ = map;
    const QRect rect = map.Rect(e_.left, e_.top, e_.width, e_.height);
    setGeometry(rect);
    // The layer spans the whole box, so changing the edge never loses drawing.
    client_->Surface().SetMap(map.Inside(), rect.size());
    PlaceClient();
    client_->update();
}

void PictureBox::SetBackColor(const QColor& c) {
    back_ = c;
    SetBackground(client_, look_.Background(e_, c));
}

void PictureBox::SetLook(const Look& look) {
    look_ = look;
    SetBackground(client_, look_.Background(e_, back_));
    client_->Surface().SetLook(look);
}

void PictureBox::SetAppearance(std::int16_t appearance) {
    if (appearance == appearance_) {
        return;
    }
    appearance_ = appearance;
    PlaceClient();
    update();
    if (QAccessible::isActive()) {
        // The switch reads as a button checked while its edge is 3D, and
        // says so in its description, which a reader speaks.
        QAccessible::State changed;
        changed.checked = true;
        changed.pressed = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
        QAccessibleEvent description(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&description);
    }
}

int PictureBox::EdgeWidth() const {
    if (border_ == BorderStyle::None) {
        return 0;
    }
    return map_.Pixels(appearance_ == kAppearance3D ? 2 : 1);
}

void PictureBox::PlaceClient() {
    const int edge = EdgeWidth();
    client_->setGeometry(rect().adjusted(edge, edge, -edge, -edge));
}

void PictureBox::resizeEvent(QResizeEvent* /*event*/) {
    PlaceClient();
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
    const int edge = EdgeWidth();
    if (edge == 0) {
        return;
    }
    QPainter p(this);
    const QRect r = rect();
    // One line of the edge: a pixel at the natural size.
    const int t = map_.Pixels(1);
    if (appearance_ != kAppearance3D) {
        FillFrame(p, r, t, Qt::black);
        return;
    }
    // Sunken edge: shadow above and left, light below and right, two lines.
    const QPalette& pal = palette();
    FillFrame(p, r, t, pal.color(QPalette::Dark), pal.color(QPalette::Light));
    FillFrame(p, r.adjusted(t, t, -t, -t), t, pal.color(QPalette::Shadow),
              pal.color(QPalette::Button));
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && pressed_) {
        pressed_ = false;
        event->accept();
        if (rect().contains(mapFromGlobal(event->globalPosition().toPoint()))) {
            emit clicked();
        }
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    if (!keyboardCue_) {
        keyboardCue_ = true;
        client_->update();
    }
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();
        // A held key repeats its press; only the first one is a click.
        if (!event->isAutoRepeat()) {
            Click();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void PictureBox::focusInEvent(QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
        reason == Qt::ShortcutFocusReason) {
        keyboardCue_ = true;
    }
    client_->update();
    QWidget::focusInEvent(event);
}

void PictureBox::focusOutEvent(QFocusEvent* event) {
    client_->update();
    QWidget::focusOutEvent(event);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        // The second click of a quick pair arrives as a double click; its
        // release follows, but it may be missing, so count it now.
        pressed_ = false;
        event->accept();
        emit clicked();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace kelvara::ui
