#include "ui/box.h"

#include "ui/colours.h"
#include "ui/twips.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace kelvara::ui {

BoxClient::BoxClient(QWidget* parent, QSize logicalSize)
    : QWidget(parent), surface_(this, logicalSize) {
    setAutoFillBackground(true);
}

void BoxClient::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    surface_.Paint(p, event->rect());
}

// ---------------------------------------------------------------------------

PictureBox::PictureBox(const Element& e, QWidget* parent)
    : QWidget(parent), border_(e.border), appearance_(e.appearance) {
    const QRect rect = Twips::Rect(e.left, e.top, e.width, e.height);
    setGeometry(rect);
    // The layer spans the whole box, so changing the edge never loses drawing.
    client_ = new BoxClient(this, rect.size());
    client_->Surface().Layer().SetPenWidth(e.penWidth);
    SetBackColor(Resolve(e.back, palette().color(QPalette::Button)));
    PlaceClient();
}

QColor PictureBox::BackColor() const {
    return Background(client_);
}

void PictureBox::SetBackColor(const QColor& c) {
    SetBackground(client_, c);
}

void PictureBox::SetAppearance(std::int16_t appearance) {
    if (appearance == appearance_) {
        return;
    }
    appearance_ = appearance;
    PlaceClient();
    update();
}

int PictureBox::EdgeWidth() const {
    if (border_ == BorderStyle::None) {
        return 0;
    }
    return appearance_ == kAppearance3D ? 2 : 1;
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
    if (edge == 1) {
        p.setPen(Qt::black);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        return;
    }
    // Sunken edge: shadow above and left, light below and right, two pixels.
    const QPalette& pal = palette();
    const auto frame = [&](QRect box, const QColor& topLeft, const QColor& bottomRight) {
        p.fillRect(QRect(box.left(), box.top(), box.width() - 1, 1), topLeft);
        p.fillRect(QRect(box.left(), box.top(), 1, box.height() - 1), topLeft);
        p.fillRect(QRect(box.left(), box.bottom(), box.width(), 1), bottomRight);
        p.fillRect(QRect(box.right(), box.top(), 1, box.height()), bottomRight);
    };
    frame(r, pal.color(QPalette::Dark), pal.color(QPalette::Light));
    frame(r.adjusted(1, 1, -1, -1), pal.color(QPalette::Shadow), pal.color(QPalette::Button));
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
