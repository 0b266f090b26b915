// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/form1.h"

#include "sim/errors.h"
#include "ui/accessibility.h"
#include "ui/box.h"
#include "ui/colours.h"
#include "ui/fonts.h"
#include "ui/marker.h"
#include "ui/pictures.h"
#include "ui/presenter.h"
#include "ui/scaled_style.h"
#include "ui/twips.h"
#include "ui/value_slider.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSlider>

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace kelvara::ui {

namespace {

constexpr const char* kSliderNames[] = {"sldW", "sldU", "sldR"};
constexpr const char* kLabelNames[] = {"Label11", "Label12"};
constexpr const char* kImageNames[] = {"imgU", "imgI", "imgP"};

QColor ButtonFace() {
    return QGuiApplication::palette().color(QPalette::Button);
}

// A push button that Enter clicks as Space does, once per press.
class CommandButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->accept();
            if (!event->isAutoRepeat()) {
                click();
            }
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

// Room that the desktop's frame around a window takes, allowed for before
// the window is first shown and the real frame is known.
constexpr QSize kFrameAllowance(16, 48);

} // namespace

Form1::Form1(QWidget* parent) : QWidget(parent), surface_(this) {
    InstallAccessibility();
    setWindowTitle(QStringLiteral("Kelvara"));
    setAccessibleName(QStringLiteral("Kelvara"));
    setWindowIcon(QIcon(QPixmap::fromImage(MakeIcon())));
    // The margins around the centred drawing show the window's face.
    SetBackground(this, ButtonFace());
    setAutoFillBackground(true);
    surface_.SetMap(map_, Twips::NaturalSize());
    resize(Twips::NaturalSize());
    // Below half its size the drawing can no longer be read.
    setMinimumSize(Twips::NaturalSize().width() / 2, Twips::NaturalSize().height() / 2);

    for (const Element& e : FormLayout()) {
        Build(e);
    }

    // Tab order from the layout's tab indices.
    std::vector<std::pair<int, QWidget*>> tabStops;
    for (const Element& e : FormLayout()) {
        if (e.tabIndex >= 0) {
            tabStops.emplace_back(e.tabIndex, controls_.value(FullName(e)));
        }
    }
    std::sort(tabStops.begin(), tabStops.end());
    for (std::size_t i = 1; i < tabStops.size(); ++i) {
        QWidget::setTabOrder(tabStops[i - 1].second, tabStops[i].second);
    }

    for (int k = 0; k < kPictokCount; ++k) {
        pictok_[static_cast<std::size_t>(k)] = BoxNamed(QStringLiteral("pictok(%1)").arg(k));
    }
    for (int k = 0; k < kTokCount; ++k) {
        tok_[static_cast<std::size_t>(k)] =
            qobject_cast<SignMarker*>(Control(QStringLiteral("tok(%1)").arg(k)));
    }
    for (std::size_t i = 0; i < sliders_.size(); ++i) {
        sliders_[i] = qobject_cast<QSlider*>(Control(QString::fromLatin1(kSliderNames[i])));
    }
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        labels_[i] = surface_.Find(QString::fromLatin1(kLabelNames[i]));
    }
    for (std::size_t i = 0; i < images_.size(); ++i) {
        images_[i] = surface_.Find(QString::fromLatin1(kImageNames[i]));
    }
    command1_ = qobject_cast<QPushButton*>(Control(QStringLiteral("Command1")));
    command4_ = qobject_cast<QPushButton*>(Control(QStringLiteral("Command4")));
    picOn_ = BoxNamed(QStringLiteral("picOn"));
    picShirma_ = BoxNamed(QStringLiteral("picShirma"));
    picR_ = BoxNamed(QStringLiteral("picR"));
    picvolt_ = BoxNamed(QStringLiteral("picvolt"));
    picamp_ = BoxNamed(QStringLiteral("picamp"));

    connect(picOn_, &PictureBox::clicked, this, &Form1::picOnClicked);
    connect(command1_, &QPushButton::clicked, this, &Form1::command1Clicked);
    connect(command4_, &QPushButton::clicked, this, &Form1::command4Clicked);

    if (const int title = surface_.Find(QStringLiteral("Label2")); title >= 0) {
        setAccessibleDescription(surface_.Caption(title));
    }

    // The window opens with the focus on the switch, so that the first key
    // a presenter's remote sends starts the demonstration; on the first tab
    // stop, Exit, one Space would end the program.
    picOn_->setFocus();

    // The window's own keys (Ctrl+Q, F11, Escape, and what a teacher uses
    // beyond the demonstration), its context menu, help and readouts.
    presenter_ = new Presenter(*this);
    SetClockSource([] {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    });
}

Form1::~Form1() = default;

void Form1::Build(const Element& e) {
    const QString name = FullName(e);
    QWidget* parent = this;
    DrawingSurface* surface = &surface_;
    QColor ground = ButtonFace(); // the colour the element sits on
    if (qstrcmp(e.container, "Form1") != 0) {
        PictureBox* box = boxes_.value(QString::fromLatin1(e.container));
        Q_ASSERT_X(box != nullptr, "Form1", "a container must precede its contents");
        parent = box->Client();
        surface = &box->Client()->Surface();
        ground = box->BackColor();
    }

    QWidget* w = nullptr;
    switch (e.kind) {
    case Kind::Box: {
        auto* box = new PictureBox(e, parent, ContainerMap(e));
        boxes_.insert(name, box);
        w = box;
        break;
    }
    case Kind::Button: {
        auto* button = new CommandButton(QString::fromUtf8(e.caption), parent);
        button->setAutoFillBackground(true);
        w = button;
        break;
    }
    case Kind::Slider: {
        auto* slider = new ValueSlider(Qt::Horizontal, e.valueDivisor, parent);
        slider->setRange(e.minimum, e.maximum);
        slider->setValue(e.value);
        slider->setSingleStep(1);
        slider->setPageStep(5);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setTickInterval(1);
        // A window of its own: it covers whatever is drawn under it.
        slider->setAutoFillBackground(true);
        w = slider;
        break;
    }
    case Kind::Plus:
    case Kind::Minus: {
        auto* marker = new SignMarker(
            e.kind == Kind::Plus ? SignMarker::Sign::Plus : SignMarker::Sign::Minus, e, parent);
        // One with no colour of its own takes that of the surface under
        // it, so that only its sign stands out.
        marker->SetBackColor(Resolve(e.back, ground));
        w = marker;
        break;
    }
    default:
        surface->Add(e);
        return;
    }

    w->setObjectName(name);
    if (e.hint != nullptr) {
        w->setToolTip(QString::fromUtf8(e.hint));
        w->setAccessibleDescription(QString::fromUtf8(e.hint));
    }
    if (e.accessibleName != nullptr) {
        w->setAccessibleName(QString::fromUtf8(e.accessibleName));
    }
    w->setFocusPolicy(e.tabIndex >= 0 ? Qt::StrongFocus : Qt::NoFocus);
    controls_.insert(name, w);
    placed_.push_back({&e, w});
    Place(placed_.back());
}

const Twips& Form1::ContainerMap(const Element& e) const {
    if (qstrcmp(e.container, "Form1") == 0) {
        return map_;
    }
    return boxes_.value(QString::fromLatin1(e.container))->Client()->Surface().Map();
}

// Geometry and font of a child window for the current scale. A box places
// its own client and drawing.
void Form1::Place(const Placed& p) {
    const Element& e = *p.e;
    const Twips& map = ContainerMap(e);
    if (e.kind == Kind::Box) {
        qobject_cast<PictureBox*>(p.w)->SetMap(map);
        return;
    }
    p.w->setGeometry(map.Rect(e.left, e.top, e.width, e.height));
    if (e.kind == Kind::Button) {
        p.w->setFont(MakeFont(e.font, map));
    }
    if (e.kind == Kind::Slider) {
        // The desktop's style with its measures scaled (as they are at the
        // natural size), shared by the three sliders.
        if (sliderStyle_ == nullptr) {
            sliderStyle_ = new ScaledStyle;
            sliderStyle_->setParent(this);
        }
        if (p.w->style() != sliderStyle_) {
            p.w->setStyle(sliderStyle_);
        }
        sliderStyle_->SetScale(map.Scale());
        p.w->update();
    }
}

void Form1::ApplyScale() {
    const double scale = Twips::FitScale(size());
    const QSize drawing = Twips(scale).Size(kFormWidthTwips, kFormHeightTwips);
    const QPoint origin((width() - drawing.width()) / 2, (height() - drawing.height()) / 2);
    if (scale == map_.Scale() && origin == map_.Origin()) {
        return;
    }
    map_ = Twips(scale, origin);
    surface_.SetMap(map_, drawing);
    if (presenter_ != nullptr) {
        presenter_->SetMap(map_);
    }
    // Containers come before their contents, so each child finds its box
    // already placed.
    for (const Placed& p : placed_) {
        Place(p);
    }
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
    resize(Twips(scale).Size(kFormWidthTwips, kFormHeightTwips));
    move(s->availableGeometry().topLeft());
}

void Form1::ToggleFullScreen() {
    setWindowState(windowState() ^ Qt::WindowFullScreen);
}

void Form1::SetProjectorView(bool on) {
    if (on == ProjectorView()) {
        return;
    }
    look_ = Look(on ? Look::View::Projector : Look::View::Default);
    surface_.SetLook(look_);
    for (const Placed& p : placed_) {
        if (auto* box = qobject_cast<PictureBox*>(p.w); box != nullptr) {
            box->SetLook(look_);
        } else if (auto* marker = qobject_cast<SignMarker*>(p.w); marker != nullptr) {
            marker->SetLook(look_);
        }
    }
    presenter_->Refresh();
    emit projectorViewChanged(on);
}

void Form1::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    surface_.Paint(p, event->rect());
    presenter_->Paint(p, event->rect());
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

// --- Lookup -----------------------------------------------------------------

QWidget* Form1::Control(const QString& fullName) const {
    return controls_.value(fullName);
}

PictureBox* Form1::BoxNamed(const QString& fullName) const {
    return boxes_.value(fullName);
}

std::size_t Form1::CheckedIndex(int k, int count, const char* what) {
    if (k < 0 || k >= count) {
        throw IndexError(std::string(what) + "(" + std::to_string(k) +
                         ") does not exist: indices are 0 to " + std::to_string(count - 1));
    }
    return static_cast<std::size_t>(k);
}

PictureBox* Form1::Pictok(int k) const {
    return pictok_[CheckedIndex(k, kPictokCount, "pictok")];
}

SignMarker* Form1::Tok(int k) const {
    return tok_[CheckedIndex(k, kTokCount, "tok")];
}

QWidget* Form1::SurfaceWidget(Surface s) const {
    switch (s) {
    case Surface::picvolt:
        return picvolt_->Client();
    case Surface::picamp:
        return picamp_->Client();
    case Surface::Form1:
        break;
    }
    return const_cast<Form1*>(this);
}

DrawingSurface& Form1::SurfaceOf(Surface s) {
    switch (s) {
    case Surface::picvolt:
        return picvolt_->Client()->Surface();
    case Surface::picamp:
        return picamp_->Client()->Surface();
    case Surface::Form1:
        break;
    }
    return surface_;
}

const RetainedLayer& Form1::Layer(Surface s) const {
    return const_cast<Form1*>(this)->SurfaceOf(s).Layer();
}

QPoint Form1::ImagePosition(Image i) const {
    return surface_.Rect(images_[Index(i)]).topLeft();
}

QString Form1::Caption(Label l) const {
    return surface_.Caption(labels_[Index(l)]);
}

bool Form1::ShirmaVisible() const {
    return !picShirma_->isHidden();
}

void Form1::SetShirmaVisible(bool visible) {
    picShirma_->setVisible(visible);
}

void Form1::RequestEnd(int exitCode) {
    ending_ = true;
    exitCode_ = exitCode;
    hide();
    QCoreApplication::exit(exitCode);
}

void Form1::RestartClock() {
    clock_.Restart();
    readingBefore_ = -1;
}

void Form1::SetClockSource(ClockSource monotonicNanoseconds) {
    clock_.SetSource(std::move(monotonicNanoseconds));
    readingBefore_ = -1;
}

bool Form1::ToggleFreeze() {
    if (clock_.Frozen()) {
        clock_.Resume();
    } else if (state_.Running == 1 && !ending_) {
        clock_.Freeze();
    } else {
        return false;
    }
    FreezeChanged();
    return true;
}

bool Form1::StepFrozen() {
    if (!clock_.Frozen()) {
        return false;
    }
    clock_.Step();
    return true;
}

void Form1::EndFreeze() {
    if (clock_.Frozen()) {
        clock_.Resume();
        FreezeChanged();
    }
}

void Form1::FreezeChanged() {
    if (const int title = surface_.Find(QStringLiteral("Label2")); title >= 0) {
        const QString caption = surface_.Caption(title);
        setAccessibleDescription(clock_.Frozen() ? caption + QStringLiteral(". Пауза") : caption);
    }
    presenter_->Refresh();
}

// Frozen, a pass that would draw the instant already on the screen with the
// sliders it was drawn with draws nothing new.
bool Form1::NothingToDraw() const {
    if (ending_ || !clock_.Frozen() || state_.Running != 1) {
        return false;
    }
    const std::int64_t reading = clock_.LastReading();
    if (reading != readingBefore_ || reading != clock_.HeldAt()) {
        return false;
    }
    for (std::size_t i = 0; i < sliders_.size(); ++i) {
        if (sliders_[i]->value() != slidersRead_[i]) {
            return false;
        }
    }
    return true;
}

// --- Controls -----------------------------------------------------------------

void Form1::DrawLine(Surface s, double x1, double y1, double x2, double y2, Colour c) {
    const QRect dirty = SurfaceOf(s).Layer().DrawLine(x1, y1, x2, y2, ToQColor(c));
    SurfaceWidget(s)->update(dirty);
}

void Form1::Cls(Surface s) {
    if (SurfaceOf(s).Layer().Clear()) {
        SurfaceWidget(s)->update();
    }
}

void Form1::SetDrawWidth(Surface s, int pixels) {
    SurfaceOf(s).Layer().SetPenWidth(pixels);
}

void Form1::SetBackColor(Box b, int index, Colour c) {
    const QColor colour = ToQColor(c);
    switch (b) {
    case Box::pictok:
        Pictok(index)->SetBackColor(colour);
        return;
    case Box::picR:
        picR_->SetBackColor(colour);
        return;
    case Box::picOn:
        picOn_->SetBackColor(colour);
        return;
    }
}

std::int16_t Form1::Appearance(Box b) {
    switch (b) {
    case Box::pictok:
        return pictok_[0]->Appearance();
    case Box::picR:
        return picR_->Appearance();
    case Box::picOn:
        break;
    }
    return picOn_->Appearance();
}

void Form1::SetAppearance(Box b, std::int16_t appearance) {
    switch (b) {
    case Box::pictok:
        for (PictureBox* strip : pictok_) {
            strip->SetAppearance(appearance);
        }
        return;
    case Box::picR:
        picR_->SetAppearance(appearance);
        return;
    case Box::picOn:
        picOn_->SetAppearance(appearance);
        if (appearance == kAppearance3D) {
            // A run is about to start: its first pass must reach the screen
            // without waiting for a frame slot.
            pacer_.SkipNextWait();
        }
        passStarted_ = false;
        passOnScreen_ = false;
        presenter_->Refresh();
        return;
    }
}

void Form1::SetTokVisible(int k, bool visible) {
    SignMarker* marker = Tok(k);
    if (marker->isHidden() == visible) {
        marker->setVisible(visible);
    }
}

void Form1::SetTokBackColor(int k, Colour c) {
    Tok(k)->SetBackColor(ToQColor(c));
}

void Form1::SetCaption(Label l, std::string_view text) {
    surface_.SetCaption(labels_[Index(l)],
                        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void Form1::SetImageLeft(Image i, double twips) {
    surface_.MoveImageLeft(images_[Index(i)], twips);
}

void Form1::SetImageTop(Image i, double twips) {
    surface_.MoveImageTop(images_[Index(i)], twips);
}

int Form1::SliderValue(Slider s) {
    const int value = sliders_[Index(s)]->value();
    slidersRead_[Index(s)] = value;
    return value;
}

float Form1::Timer() {
    readingBefore_ = clock_.LastReading();
    return static_cast<float>(static_cast<double>(clock_.Read()) / 1e9);
}

bool Form1::DoEvents() {
    // The pass before this one is on the screen now: its values with it.
    passOnScreen_ = passStarted_;
    passStarted_ = true;
    presenter_->Refresh();
    QCoreApplication::processEvents();
    if (clock_.Frozen()) {
        // Frozen: no frames, only events, until one of them asks for a pass.
        while (NothingToDraw()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    } else {
        pacer_.WaitForNextFrame(ending_);
    }
    return !ending_;
}

} // namespace kelvara::ui
