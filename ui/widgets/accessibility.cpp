// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/widgets/accessibility.h"

#include "sim/controls.h"
#include "ui/widgets/box.h"
#include "ui/widgets/command_button.h"
#include "ui/widgets/marker.h"
#include "ui/widgets/text_node.h"
#include "ui/widgets/value_slider.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCoreApplication>
#include <QPointer>
#include <QVariant>

namespace kelvara::ui {

namespace {

// What this file says in words of its own.
const QString kSentence = QStringLiteral(". ");

const char* const kFrameProperty = "kelvaraFrame";
const char* const kAnnouncementProperty = "kelvaraAnnouncement";

QString Joined(const QString& first, const QString& second) {
    if (first.isEmpty() || second.isEmpty()) {
        return first + second;
    }
    return first + kSentence + second;
}

// A reader meets a widget with a name of its own, and the texts the window
// writes out; the rest is drawing.
bool Kept(QWidget* w) {
    if (w->isWindow()) {
        return false;
    }
    if (qobject_cast<TextNode*>(w) != nullptr) {
        return true;
    }
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a != nullptr && a->isValid() && !a->text(QAccessible::Name).isEmpty();
}

// A widget whose children are only those a reader meets, and whose
// description carries what was announced on it.
class TreeAccessible : public QAccessibleWidget {
public:
    TreeAccessible(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    int childCount() const override { return static_cast<int>(Children().size()); }

    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> children = Children();
        if (index < 0 || index >= children.size()) {
            return nullptr;
        }
        return QAccessible::queryAccessibleInterface(children.at(index));
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr) {
            return -1;
        }
        return static_cast<int>(Children().indexOf(qobject_cast<QWidget*>(child->object())));
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Description) {
            return WithAnnouncement(*widget(), Description());
        }
        return QAccessibleWidget::text(t);
    }

protected:
    // The description before any announcement.
    virtual QString Description() const {
        return QAccessibleWidget::text(QAccessible::Description);
    }

private:
    QList<QWidget*> Children() const {
        QList<QWidget*> kept;
        for (QObject* o : widget()->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (w != nullptr && Kept(w)) {
                kept.append(w);
            }
        }
        return kept;
    }
};

// Drawing: a wire strip, a charge marker, a terminal sign, a box's client.
// Not valid for a reader, so that no tree lists it and Qt sends none of its
// events (a run shows and hides the charge markers many times a second).
class DrawingAccessible : public QAccessibleWidget {
public:
    explicit DrawingAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::NoRole) {}
    bool isValid() const override { return false; }
};

// A picture box: the switch, a named part of the picture (a meter, the
// resistor, the graphs' screen) or, without a name, drawing. Decided when
// asked, as the name may come after the interface.
class BoxAccessible : public TreeAccessible {
public:
    explicit BoxAccessible(PictureBox* box) : TreeAccessible(box, QAccessible::Graphic), box_(box) {
        addControllingSignal(QStringLiteral("clicked()"));
    }

    bool isValid() const override {
        return QAccessibleWidget::isValid() && !box_->accessibleName().isEmpty();
    }

    QAccessible::Role role() const override {
        return Switch() ? QAccessible::Button : QAccessible::Graphic;
    }

    // The switch is checked (and pressed) while its edge is 3D, which it is
    // exactly while a run is on.
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (Switch()) {
            s.checkable = true;
            s.checked = On();
            s.pressed = On();
        }
        return s;
    }

    QStringList actionNames() const override {
        if (Switch()) {
            return {pressAction(), toggleAction()};
        }
        return QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (Switch() && (action == pressAction() || action == toggleAction())) {
            box_->Click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

protected:
    QString Description() const override {
        if (Switch()) {
            return On() ? QCoreApplication::translate("kelvara::ui::Switch", "Генератор включён")
                        : QCoreApplication::translate("kelvara::ui::Switch", "Генератор выключен");
        }
        return TreeAccessible::Description();
    }

private:
    bool Switch() const { return box_->objectName() == QLatin1String("picOn"); }
    bool On() const { return box_->Appearance() == kAppearance3D; }

    PictureBox* box_;
};

// A slider's value as the demonstration means it, with its unit, as the
// value text and at the head of its description: Qt 6.4's AT-SPI bridge
// gives a reader only the number of the value.
class SliderAccessible : public TreeAccessible, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(ValueSlider* slider)
        : TreeAccessible(slider, QAccessible::Slider), slider_(slider) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            return slider_->ValueText();
        }
        return TreeAccessible::text(t);
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return TreeAccessible::interface_cast(t);
    }

    QVariant currentValue() const override { return slider_->value(); }
    void setCurrentValue(const QVariant& value) override { slider_->setValue(value.toInt()); }
    QVariant maximumValue() const override { return slider_->maximum(); }
    QVariant minimumValue() const override { return slider_->minimum(); }
    QVariant minimumStepSize() const override { return slider_->singleStep(); }

protected:
    QString Description() const override {
        return Joined(slider_->ValueText(), TreeAccessible::Description());
    }

private:
    ValueSlider* slider_;
};

// «Графики» and «Выход»: named by their caption; one that stands for
// something shown is checked while it shows.
class ButtonAccessible : public TreeAccessible {
public:
    explicit ButtonAccessible(CommandButton* button)
        : TreeAccessible(button, QAccessible::Button), button_(button) {
        addControllingSignal(QStringLiteral("clicked(bool)"));
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && button_->accessibleName().isEmpty()) {
            return button_->text();
        }
        return TreeAccessible::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (const std::optional<bool> shown = button_->Toggled(); shown) {
            s.checkable = true;
            s.checked = *shown;
        }
        return s;
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& action) override {
        if (action == pressAction()) {
            button_->click();
        }
    }

private:
    CommandButton* button_;
};

// A text the window writes out, read as static text named by the text.
class TextAccessible : public TreeAccessible {
public:
    explicit TextAccessible(TextNode* node) : TreeAccessible(node, QAccessible::StaticText) {}
};

QAccessibleInterface* Factory(const QString& /*className*/, QObject* object) {
    auto* w = qobject_cast<QWidget*>(object);
    if (w == nullptr) {
        return nullptr;
    }
    if (w->property(kFrameProperty).toBool()) {
        return new TreeAccessible(w, QAccessible::Window);
    }
    if (auto* box = qobject_cast<PictureBox*>(w); box != nullptr) {
        return new BoxAccessible(box);
    }
    if (dynamic_cast<BoxClient*>(w) != nullptr || qobject_cast<SignMarker*>(w) != nullptr) {
        return new DrawingAccessible(w);
    }
    if (auto* slider = qobject_cast<ValueSlider*>(w); slider != nullptr) {
        return new SliderAccessible(slider);
    }
    if (auto* button = qobject_cast<CommandButton*>(w); button != nullptr) {
        return new ButtonAccessible(button);
    }
    if (auto* node = qobject_cast<TextNode*>(w); node != nullptr) {
        return new TextAccessible(node);
    }
    return nullptr;
}

} // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

void MarkFrame(QWidget& window) {
    window.setProperty(kFrameProperty, true);
}

void Announce(QWidget& window, const QString& text) {
    // What was announced belongs to the moment: it goes when the focus does.
    static const bool watching = [] {
        QObject::connect(qApp, &QApplication::focusChanged, qApp, [](QWidget* old, QWidget*) {
            if (old != nullptr) {
                old->setProperty(kAnnouncementProperty, QVariant());
            }
        });
        return true;
    }();
    (void)watching;
    QWidget* at = window.focusWidget() != nullptr ? window.focusWidget() : &window;
    at->setProperty(kAnnouncementProperty, text);
    if (QAccessible::isActive()) {
        QAccessibleEvent event(at, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
}

QString WithAnnouncement(const QWidget& widget, const QString& description) {
    return Joined(widget.property(kAnnouncementProperty).toString(), description);
}

} // namespace kelvara::ui
