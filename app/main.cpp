// Kelvara: alternating current through a resistor, as a classroom window.
#include "display/meters.h"
#include "sim/run.h"
#include "sim/state.h"
#include "ui/fonts.h"
#include "ui/form1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    kelvara::ui::PinFontSubstitutes();

    kelvara::ui::Form1 form;
    kelvara::SimState& state = form.State();
    kelvara::Form_Load(state, form);

    // Minimal wiring of the three handled clicks.
    QObject::connect(&form, &kelvara::ui::Form1::picOnClicked,
                     [&] { kelvara::picOn_Click(state, form); });
    QObject::connect(&form, &kelvara::ui::Form1::command1Clicked, [&] { form.RequestEnd(0); });
    QObject::connect(&form, &kelvara::ui::Form1::command4Clicked,
                     [&] { form.SetShirmaVisible(!form.ShirmaVisible()); });
    // Closing the window ends any run in progress too.
    QObject::connect(&app, &QGuiApplication::lastWindowClosed, [&] { form.RequestEnd(0); });

    form.show();
    kelvara::picvolt_Paint(form);
    kelvara::picamp_Paint(form);
    return app.exec();
}
