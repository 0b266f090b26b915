// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/widgets/accessibility.h"

#include "sim/controls.h"
#include "ui/widgets/box.h"
#include "ui/widgets/value_slider.h"

#include <QAccessibleWidget>

namespace kelvara::ui {

namespace {

// The switch: a button that toggles, checked while its edge is 3D, which it
// is exactly while a run is on.
class SwitchAccessible : public QAccessibleWidget {
public:
    explicit SwitchAccessible(PictureBox* box)
        : QAccessibleWidget(box, QAccessible::Button), box_(box) {
        addControllingSignal(QStringLiteral("clicked()"));
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = box_->Appearance() == kAppearance3D;
        return s;
    }

    QStringList actionNames() const override { return {pressAction(), toggleAction()}; }

    void doAction(const QString& action) override {
        if (action == pressAction() || action == toggleAction()) {
            box_->Click();
        }
    }

private:
    PictureBox* box_;
};

class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(ValueSlider* slider)
        : QAccessibleWidget(slider, QAccessible::Slider), slider_(slider) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            return slider_->ValueText();
        }
        return QAccessibleWidget::text(t);
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(t);
    }

    QVariant currentValue() const override { return slider_->value(); }
    void setCurrentValue(const QVariant& value) override { slider_->setValue(value.toInt()); }
    QVariant maximumValue() const override { return slider_->maximum(); }
    QVariant minimumValue() const override { return slider_->minimum(); }
    QVariant minimumStepSize() const override { return slider_->singleStep(); }

private:
    ValueSlider* slider_;
};

QAccessibleInterface* Factory(const QString& /*className*/, QObject* object) {
    if (auto* box = qobject_cast<PictureBox*>(object);
        box != nullptr && box->objectName() == QLatin1String("picOn")) {
        return new SwitchAccessible(box);
    }
    if (auto* slider = qobject_cast<ValueSlider*>(object); slider != nullptr) {
        return new SliderAccessible(slider);
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

} // namespace kelvara::ui
