#include "ui/accessibility.h"

#include "sim/controls.h"
#include "ui/box.h"

#include <QAccessibleWidget>
#include <QLocale>
#include <QSlider>

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

// How a slider's position reads: the frequency step and the resistance as
// they are, the amplitude in tenths ("0,5").
struct SliderReading {
    const char* name;
    int divisor;
};
constexpr SliderReading kReadings[] = {{"sldW", 1}, {"sldU", 10}, {"sldR", 1}};

class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    SliderAccessible(QSlider* slider, int divisor)
        : QAccessibleWidget(slider, QAccessible::Slider), slider_(slider), divisor_(divisor) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            const QLocale russian(QLocale::Russian, QLocale::Russia);
            if (divisor_ == 1) {
                return russian.toString(slider_->value());
            }
            return russian.toString(static_cast<double>(slider_->value()) / divisor_, 'f', 1);
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
    QSlider* slider_;
    int divisor_;
};

QAccessibleInterface* Factory(const QString& /*className*/, QObject* object) {
    if (auto* box = qobject_cast<PictureBox*>(object);
        box != nullptr && box->objectName() == QLatin1String("picOn")) {
        return new SwitchAccessible(box);
    }
    if (auto* slider = qobject_cast<QSlider*>(object); slider != nullptr) {
        for (const SliderReading& r : kReadings) {
            if (slider->objectName() == QLatin1String(r.name)) {
                return new SliderAccessible(slider, r.divisor);
            }
        }
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
