<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ru_RU">
<context>
    <name>Layout</name>
    <message>
        <source>Генератор</source>
        <translation>Generator</translation>
    </message>
    <message>
        <source>Вольтметр</source>
        <translation>Voltmeter</translation>
    </message>
    <message>
        <source>Частота</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>Изменить частоту</source>
        <translation>Change the frequency</translation>
    </message>
    <message>
        <source>Амплитуда(U</source>
        <translation>Amplitude (U</translation>
    </message>
    <message>
        <source>Изменить амплитуду колебаний</source>
        <translation>Change the amplitude of the oscillations</translation>
    </message>
    <message>
        <source>Амплитуда (Uₘ)</source>
        <translation>Amplitude (Uₘ)</translation>
    </message>
    <message>
        <source>Вкл./Выкл. генератора</source>
        <translation>Generator on/off</translation>
    </message>
    <message>
        <source>Вкл.\Выкл.</source>
        <translation>On/Off</translation>
    </message>
    <message>
        <source>Резистор(активное сопротивление) в цепи переменного тока</source>
        <translation>A resistor (active resistance) in an AC circuit</translation>
    </message>
    <message>
        <source>Амперметр</source>
        <translation>Ammeter</translation>
    </message>
    <message>
        <source>Резистор(активное сопротивление)</source>
        <translation>Resistor (active resistance)</translation>
    </message>
    <message>
        <source>Резистор</source>
        <translation>Resistor</translation>
    </message>
    <message>
        <source>Изменить сопротивление резистора</source>
        <translation>Change the resistance of the resistor</translation>
    </message>
    <message>
        <source>Сопротивление (R)</source>
        <translation>Resistance (R)</translation>
    </message>
    <message>
        <source>Графики</source>
        <translation>Graphs</translation>
    </message>
    <message>
        <source>Экран графиков</source>
        <translation>Graphs screen</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>kelvara::ui::Presenter</name>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Шаг вперёд на 1/60 с</source>
        <translation>Step forward by 1/60 s</translation>
    </message>
    <message>
        <source>Значения</source>
        <translation>Values</translation>
    </message>
    <message>
        <source>Проекторный вид</source>
        <translation>Projector view</translation>
    </message>
    <message>
        <source>Во весь экран</source>
        <translation>Full screen</translation>
    </message>
    <message>
        <source>Язык</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Действия</source>
        <translation>Actions</translation>
    </message>
    <message>
        <source>. Пауза</source>
        <translation>. Paused</translation>
    </message>
</context>
</TS>
