// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/form/form_widgets.h"

#include "sim/errors.h"
#include "ui/look/colours.h"
#include "ui/look/fonts.h"
#include "ui/widgets/accessibility.h"
#include "ui/widgets/box.h"
#include "ui/widgets/command_button.h"
#include "ui/widgets/marker.h"
#include "ui/widgets/scaled_style.h"
#include "ui/widgets/value_slider.h"

#include <QGuiApplication>
#include <QPalette>
#include <QSlider>

#include <algorithm>
#include <string>
#include <utility>

namespace kelvara::ui {

namespace {

constexpr const char* kSliderNames[] = {"sldW", "sldU", "sldR"};
constexpr const char* kLabelNames[] = {"Label11", "Label12"};
constexpr const char* kImageNames[] = {"imgU", "imgI", "imgP"};

// What a screen reader is told of the buttons beyond their captions.

std::size_t CheckedIndex(int k, int count, const char* what) {
    if (k < 0 || k >= count) {
        throw IndexError(std::string(what) + "(" + std::to_string(k) +
                         ") does not exist: indices are 0 to " + std::to_string(count - 1));
    }
    return static_cast<std::size_t>(k);
}

} // namespace

FormWidgets::FormWidgets(QWidget& window) : window_(window), surface_(&window) {
    MarkFrame(window);
    surface_.SetMap(map_, Twips::NaturalSize());
    for (const Element& e : FormLayout()) {
        Build(e);
    }
    SetTabOrder();

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
    command1_->setAccessibleDescription(tr("Закрыть программу"));
    TellGraphsState();
}

FormWidgets::~FormWidgets() = default;

void FormWidgets::Build(const Element& e) {
    const QString name = FullName(e);
    QWidget* parent = &window_;
    DrawingSurface* surface = &surface_;
    // The colour the element sits on.
    QColor ground = QGuiApplication::palette().color(QPalette::Button);
    if (qstrcmp(e.container, "Form1") != 0) {
        PictureBox* box = boxes_.value(QString::fromLatin1(e.container));
        Q_ASSERT_X(box != nullptr, "FormWidgets", "a container must precede its contents");
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
        auto* button = new CommandButton(CaptionText(e), parent);
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
    Name(e, w);
    w->setFocusPolicy(e.tabIndex >= 0 ? Qt::StrongFocus : Qt::NoFocus);
    controls_.insert(name, w);
    placed_.push_back({&e, w});
    Place(placed_.back());
}

// Tooltip, and what a screen reader calls and describes it by.
void FormWidgets::Name(const Element& e, QWidget* w) {
    if (e.hint != nullptr) {
        w->setToolTip(HintText(e));
        w->setAccessibleDescription(HintText(e));
    }
    if (e.accessibleName != nullptr) {
        w->setAccessibleName(AccessibleNameText(e));
    }
}

void FormWidgets::Retranslate() {
    surface_.Retranslate();
    command1_->setAccessibleDescription(tr("Закрыть программу"));
    TellGraphsState();
    for (const Placed& p : placed_) {
        Name(*p.e, p.w);
        if (auto* button = qobject_cast<QPushButton*>(p.w); button != nullptr) {
            button->setText(CaptionText(*p.e));
        } else if (auto* box = qobject_cast<PictureBox*>(p.w); box != nullptr) {
            box->Client()->Surface().Retranslate();
        }
    }
}

// Tab order from the layout's tab indices.
void FormWidgets::SetTabOrder() {
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
}

const Twips& FormWidgets::ContainerMap(const Element& e) const {
    if (qstrcmp(e.container, "Form1") == 0) {
        return map_;
    }
    return boxes_.value(QString::fromLatin1(e.container))->Client()->Surface().Map();
}

// Geometry and font of a child window for the current scale. A box places
// its own client and drawing.
void FormWidgets::Place(const Placed& p) {
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
            sliderStyle_->setParent(&window_);
        }
        if (p.w->style() != sliderStyle_) {
            p.w->setStyle(sliderStyle_);
        }
        sliderStyle_->SetScale(map.Scale());
        p.w->update();
    }
}

void FormWidgets::SetMap(const Twips& map, QSize drawing) {
    map_ = map;
    surface_.SetMap(map_, drawing);
    // Containers come before their contents, so each child finds its box
    // already placed.
    for (const Placed& p : placed_) {
        Place(p);
    }
}

void FormWidgets::SetLook(const Look& look) {
    surface_.SetLook(look);
    for (const Placed& p : placed_) {
        if (auto* box = qobject_cast<PictureBox*>(p.w); box != nullptr) {
            box->SetLook(look);
        } else if (auto* marker = qobject_cast<SignMarker*>(p.w); marker != nullptr) {
            marker->SetLook(look);
        }
    }
}

QWidget* FormWidgets::Control(const QString& fullName) const {
    return controls_.value(fullName);
}

PictureBox* FormWidgets::BoxNamed(const QString& fullName) const {
    return boxes_.value(fullName);
}

PictureBox* FormWidgets::Pictok(int k) const {
    return pictok_[CheckedIndex(k, kPictokCount, "pictok")];
}

SignMarker* FormWidgets::Tok(int k) const {
    return tok_[CheckedIndex(k, kTokCount, "tok")];
}

QWidget* FormWidgets::SurfaceWidget(Surface s) const {
    switch (s) {
    case Surface::picvolt:
        return picvolt_->Client();
    case Surface::picamp:
        return picamp_->Client();
    case Surface::Form1:
        break;
    }
    return &window_;
}

DrawingSurface& FormWidgets::SurfaceOf(Surface s) {
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

const RetainedLayer& FormWidgets::Layer(Surface s) const {
    return const_cast<FormWidgets*>(this)->SurfaceOf(s).Layer();
}

QPoint FormWidgets::ImagePosition(Image i) const {
    return surface_.Rect(ImageItem(i)).topLeft();
}

QString FormWidgets::Caption(Label l) const {
    return surface_.Caption(LabelItem(l));
}

bool FormWidgets::ShirmaVisible() const {
    return !picShirma_->isHidden();
}

void FormWidgets::SetShirmaVisible(bool visible) {
    picShirma_->setVisible(visible);
    TellGraphsState();
}

// «Графики» reads as checked while the graphs show, and says so.
void FormWidgets::TellGraphsState() {
    auto* graphs = qobject_cast<CommandButton*>(command4_);
    const bool shown = !ShirmaVisible();
    graphs->SetToggled(shown);
    graphs->setAccessibleDescription(shown ? tr("Графики показаны")
                                           : tr("Графики скрыты за экраном"));
}

} // namespace kelvara::ui
