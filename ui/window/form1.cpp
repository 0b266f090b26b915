// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/window/form1.h"

#include "ui/look/colours.h"
#include "ui/paint/pictures.h"
#include "ui/paint/surface.h"
#include "ui/teach/presenter.h"
#include "ui/widgets/accessibility.h"
#include "ui/widgets/box.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace kelvara::ui {

namespace {

// Room that the desktop's frame around a window takes, allowed for before
// the window is first shown and the real frame is known.
constexpr QSize kFrameAllowance(16, 48);

// The accessibility of the window's own controls must be in place before
// its first widget exists.
QWidget* WithAccessibility(QWidget* parent) {
    InstallAccessibility();
    return parent;
}

} // namespace

Form1::Form1(QWidget* parent)
    : QWidget(WithAccessibility(parent)), widgets_(*this), run_(*this, state_),
      controls_(widgets_, run_) {
    setWindowTitle(QStringLiteral("Kelvara"));
    setAccessibleName(QStringLiteral("Kelvara"));
    setWindowIcon(QIcon(QPixmap::fromImage(MakeIcon())));
    // The margins around the centred drawing show the window's face.
    SetBackground(this, QGuiApplication::palette().color(QPalette::Button));
    setAutoFillBackground(true);
    resize(Twips::NaturalSize());
    // Below half its size the drawing can no longer be read.
    setMinimumSize(Twips::NaturalSize().width() / 2, Twips::NaturalSize().height() / 2);

    connect(widgets_.PicOn(), &PictureBox::clicked, this, &Form1::picOnClicked);
    connect(widgets_.Command1(), &QPushButton::clicked, this, &Form1::command1Clicked);
    connect(widgets_.Command4(), &QPushButton::clicked, this, &Form1::command4Clicked);
    run_.WatchSliders(widgets_.Sliders());

    Describe();

    // The window opens with the focus on the switch, so that the first key
    // a presenter's remote sends starts the demonstration; on the first tab
    // stop, Exit, one Space would end the program.
    widgets_.PicOn()->setFocus();

    // The window's own keys (Ctrl+Q, F11, Escape, and what a teacher uses
    // beyond the demonstration), its context menu, help and readouts. Made
    // here, not with the other parts: it reads the description and focus
    // just set.
    presenter_ = new Presenter(*this, run_, state_, // NOLINT(*-prefer-member-initializer)
                               widgets_.Sliders());
    connect(this, &Form1::mapChanged, presenter_, &Presenter::SetMap);
    connect(this, &Form1::lookChanged, presenter_, &Presenter::SetLook);
    connect(presenter_, &Presenter::exitRequested, this, &Form1::command1Clicked);
    connect(presenter_, &Presenter::fullScreenRequested, this, &Form1::ToggleFullScreen);
    connect(presenter_, &Presenter::projectorViewRequested, this, &Form1::SetProjectorView);
    connect(presenter_, &Presenter::electronsRequested, this,
            [this](bool on) { controls_.SetElectrons(on); });
    presenter_->WatchGraphScreen(widgets_.PicShirma());
    connect(this, &Form1::languageChanged, presenter_, &Presenter::Retranslate);
    presenter_->SetPictureSource([this] { return Picture(); });
}

// A screen reader describes the window by its title.
void Form1::Describe() {
    const DrawingSurface& surface = widgets_.WindowSurface();
    if (const int title = surface.Find(QStringLiteral("Label2")); title >= 0) {
        setAccessibleDescription(surface.Caption(title));
    }
}

// Another language: Qt sends this to every widget when a translation comes
// or goes.
void Form1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        widgets_.Retranslate();
        Describe();
        emit languageChanged();
    }
}

// The presenter watches the window's events, which the window's own
// destruction still sends (its children hide as it closes): it goes first,
// while the run's yield and the widgets it reads are still there.
Form1::~Form1() {
    delete presenter_;
}

void Form1::ApplyScale() {
    const double scale = Twips::FitScale(size());
    const QSize drawing = Twips(scale).FormSize();
    const QPoint origin((width() - drawing.width()) / 2, (height() - drawing.height()) / 2);
    if (scale == Map().Scale() && origin == Map().Origin()) {
        return;
    }
    widgets_.SetMap(Twips(scale, origin), drawing);
    emit mapChanged(Map());
    update();
}

void Form1::resizeEvent(QResizeEvent* /*event*/) {
    ApplyScale();
}

void Form1::showEvent(QShowEvent* /*event*/) {
    if (!shownOnce_) {
        shownOnce_ = true;
        FitToScreen();
    }
}

// Opens at the natural size, unless the screen's free area is smaller: then
// scaled down so that nothing is cut off.
void Form1::FitToScreen() {
    const QScreen* s = screen();
    if (s == nullptr || isFullScreen() || isMaximized()) {
        return;
    }
    const QSize room = s->availableGeometry().size() - kFrameAllowance;
    const QSize natural = Twips::NaturalSize();
    if (room.width() >= natural.width() && room.height() >= natural.height()) {
        return;
    }
    const double scale = std::max(0.5, Twips::FitScale(room));
    resize(Twips(scale).FormSize());
    move(s->availableGeometry().topLeft());
}

// Every part laid out at twice the natural scale for as long as it takes to
// render them, then back: the drawing is made anew, not enlarged, so it
// prints sharp. No event is handled in between, so the screen never shows
// it.
QImage Form1::Picture() {
    const Twips shown = Map();
    const Twips twice(2.0);
    QImage picture(PictureSize(), QImage::Format_RGB32);
    widgets_.SetMap(twice, picture.size());
    presenter_->BeginPicture(twice);
    render(&picture, QPoint(), QRegion(picture.rect()));
    widgets_.SetMap(shown, shown.FormSize());
    presenter_->EndPicture();
    return picture;
}

void Form1::ToggleFullScreen() {
    setWindowState(windowState() ^ Qt::WindowFullScreen);
}

void Form1::SetProjectorView(bool on) {
    if (on == ProjectorView()) {
        return;
    }
    look_ = Look(on ? Look::View::Projector : Look::View::Default);
    widgets_.SetLook(look_);
    emit lookChanged(look_);
    emit projectorViewChanged(on);
}

void Form1::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    // The drawing a rectangle of the region at a time, each its own clip,
    // for the reason FillWithin gives (surface.h).
    for (const QRect& r : JoinedRects(event->region())) {
        p.setClipRect(r);
        widgets_.WindowSurface().Paint(p, r);
    }
    p.setClipRegion(event->region());
    presenter_->Paint(p, event->region());
}

// A right click anywhere on the drawing, or the Menu key: the controls
// leave the event to the window.
void Form1::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        presenter_->ShowMenuAtFocus();
    } else {
        presenter_->ShowMenu(event->globalPos());
    }
}

void Form1::RequestEnd(int exitCode) {
    run_.End();
    exitCode_ = exitCode;
    hide();
    QCoreApplication::exit(exitCode);
}

} // namespace kelvara::ui
