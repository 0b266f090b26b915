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
    <name>kelvara::ui::FileSaver</name>
    <message>
        <source>Сохранить рисунок</source>
        <translation>Save the picture</translation>
    </message>
    <message>
        <source>Сохранить данные</source>
        <translation>Save the data</translation>
    </message>
    <message>
        <source>Рисунок PNG (*.png)</source>
        <translation>PNG picture (*.png)</translation>
    </message>
    <message>
        <source>Таблица CSV (*.csv)</source>
        <translation>CSV table (*.csv)</translation>
    </message>
    <message>
        <source>Папка:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>Имя файла:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>Тип файла:</source>
        <translation>File type:</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Заменить</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>Файл «%1» уже есть. Заменить его?</source>
        <translation>The file “%1” already exists. Replace it?</translation>
    </message>
    <message>
        <source>Файл «%1» не сохранён.</source>
        <translation>The file “%1” was not saved.</translation>
    </message>
    <message>
        <source>В папку «%1» нельзя записывать.</source>
        <translation>The folder “%1” cannot be written to.</translation>
    </message>
    <message>
        <source>Система не принимает это имя или не даёт писать в папку.</source>
        <translation>The system does not accept this name or does not allow writing to the folder.</translation>
    </message>
    <message>
        <source>Запись не удалась: возможно, на диске нет места.</source>
        <translation>Writing failed: the disk may be full.</translation>
    </message>
</context>
<context>
    <name>kelvara::ui::FormEvents</name>
    <message>
        <source>Работа Kelvara прервана из-за ошибки: %1</source>
        <translation>Kelvara stopped because of an error: %1</translation>
    </message>
</context>
<context>
    <name>kelvara::ui::FormWidgets</name>
    <message>
        <source>Закрыть программу</source>
        <translation>Close the program</translation>
    </message>
    <message>
        <source>Графики показаны</source>
        <translation>Graphs shown</translation>
    </message>
    <message>
        <source>Графики скрыты за экраном</source>
        <translation>Graphs hidden behind the screen</translation>
    </message>
</context>
<context>
    <name>kelvara::ui::GraphOverlay</name>
    <message>
        <source>В</source>
        <translation>V</translation>
    </message>
    <message>
        <source>А</source>
        <translation>A</translation>
    </message>
    <message>
        <source>Вт</source>
        <translation>W</translation>
    </message>
    <message>
        <source> с</source>
        <translation> s</translation>
    </message>
    <message>
        <source>t = %1 с</source>
        <translation>t = %1 s</translation>
    </message>
</context>
<context>
    <name>kelvara::ui::HelpPanel</name>
    <message>
        <source>Клавиши и мышь</source>
        <translation>Keys and mouse</translation>
    </message>
    <message>
        <source>Пробел, Enter</source>
        <translation>Space, Enter</translation>
    </message>
    <message>
        <source>на переключателе: включить или выключить генератор</source>
        <translation>on the switch: turn the generator on or off</translation>
    </message>
    <message>
        <source>к следующему или предыдущему элементу</source>
        <translation>to the next or the previous control</translation>
    </message>
    <message>
        <source>стрелки, Page Up/Down, Home/End</source>
        <translation>arrows, Page Up/Down, Home/End</translation>
    </message>
    <message>
        <source>двигать выбранный ползунок</source>
        <translation>move the focused slider</translation>
    </message>
    <message>
        <source>на «Графики»: поднять или опустить экран; на «Выход»: выйти</source>
        <translation>on “Graphs”: lift or lower the screen; on “Exit”: quit</translation>
    </message>
    <message>
        <source>остановить мгновение во время работы; ещё раз — дальше с того же мгновения</source>
        <translation>freeze the moment during a run; again: go on from that moment</translation>
    </message>
    <message>
        <source>на паузе: шаг вперёд на 1/60 с</source>
        <translation>while paused: one step of 1/60 s forward</translation>
    </message>
    <message>
        <source>значения, действующие значения, уровни и числа на графиках</source>
        <translation>values, effective values, levels and numbers on the graphs</translation>
    </message>
    <message>
        <source>мышь над графиками</source>
        <translation>mouse over the graphs</translation>
    </message>
    <message>
        <source>при значениях: курсор читает t, u, i, p с графиков</source>
        <translation>with the values shown: a cursor reads t, u, i, p off the graphs</translation>
    </message>
    <message>
        <source>заряды: электроны (минусы, против тока) или положительные</source>
        <translation>charges: electrons (minus signs, against the current) or positive carriers</translation>
    </message>
    <message>
        <source>проекторный вид: контрастнее для светлого класса, и обратно</source>
        <translation>projector view: more contrast for a bright room, and back</translation>
    </message>
    <message>
        <source>во весь экран и обратно</source>
        <translation>full screen and back</translation>
    </message>
    <message>
        <source>следующий язык: русский, английский</source>
        <translation>next language: Russian, English</translation>
    </message>
    <message>
        <source>эта справка; %1 или щелчок закрывают её</source>
        <translation>this help; %1 or a click closes it</translation>
    </message>
    <message>
        <source>выход из программы</source>
        <translation>quit the program</translation>
    </message>
    <message>
        <source>правая кнопка мыши, Menu, </source>
        <translation>right mouse button, Menu, </translation>
    </message>
    <message>
        <source>меню всех действий</source>
        <translation>a menu of every action</translation>
    </message>
    <message>
        <source>щелчок мышью</source>
        <translation>mouse click</translation>
    </message>
    <message>
        <source>переключатель, кнопки и ползунки — как клавиши выше</source>
        <translation>the switch, buttons and sliders: as the keys above</translation>
    </message>
    <message>
        <source>Буквы действуют и в русской раскладке: %1.</source>
        <translation>Letters work with a Russian layout too: %1.</translation>
    </message>
    <message>
        <source>копировать рисунок окна, вдвое крупнее, для листа или слайда</source>
        <translation>copy the window’s picture, twice as large, for a worksheet or a slide</translation>
    </message>
    <message>
        <source>сохранить этот рисунок в файл PNG</source>
        <translation>save that picture as a PNG file</translation>
    </message>
    <message>
        <source>сохранить числа развёртки на графиках в файл CSV</source>
        <translation>save the numbers of the sweep on the graphs as a CSV file</translation>
    </message>
</context>
<context>
    <name>kelvara::ui::Narrator</name>
    <message>
        <source>Значения</source>
        <translation>Values</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Paused</translation>
    </message>
    <message>
        <source>Продолжение</source>
        <translation>Going on</translation>
    </message>
    <message>
        <source>Шаг вперёд на 1/60 с</source>
        <translation>Step forward by 1/60 s</translation>
    </message>
    <message>
        <source>Значения показаны</source>
        <translation>Values shown</translation>
    </message>
    <message>
        <source>Значения скрыты</source>
        <translation>Values hidden</translation>
    </message>
    <message>
        <source>Проекторный вид включён</source>
        <translation>Projector view on</translation>
    </message>
    <message>
        <source>Проекторный вид выключен</source>
        <translation>Projector view off</translation>
    </message>
    <message>
        <source>Во весь экран</source>
        <translation>Full screen</translation>
    </message>
    <message>
        <source>Обычное окно</source>
        <translation>Normal window</translation>
    </message>
    <message>
        <source>Рисунок скопирован</source>
        <translation>Picture copied</translation>
    </message>
    <message>
        <source>Сохранено: %1</source>
        <translation>Saved: %1</translation>
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
    <message>
        <source>Электроны</source>
        <translation>Electrons</translation>
    </message>
    <message>
        <source>Копировать рисунок</source>
        <translation>Copy the picture</translation>
    </message>
    <message>
        <source>Сохранить рисунок…</source>
        <translation>Save the picture…</translation>
    </message>
    <message>
        <source>Сохранить данные…</source>
        <translation>Save the data…</translation>
    </message>
    <message>
        <source>Данные не сохранены: на графиках нет развёртки. Включите генератор.</source>
        <translation>No data saved: there is no sweep on the graphs. Switch the generator on.</translation>
    </message>
</context>
<context>
    <name>kelvara::ui::Readouts</name>
    <message>
        <source>Пауза</source>
        <translation>Paused</translation>
    </message>
</context>
<context>
    <name>kelvara::ui::SweepTable</name>
    <message>
        <source>t (с)</source>
        <translation>t (s)</translation>
    </message>
    <message>
        <source>u (В)</source>
        <translation>u (V)</translation>
    </message>
    <message>
        <source>i (А)</source>
        <translation>i (A)</translation>
    </message>
    <message>
        <source>p (Вт)</source>
        <translation>p (W)</translation>
    </message>
</context>
<context>
    <name>kelvara::ui::Switch</name>
    <message>
        <source>Генератор включён</source>
        <translation>Generator on</translation>
    </message>
    <message>
        <source>Генератор выключен</source>
        <translation>Generator off</translation>
    </message>
</context>
<context>
    <name>kelvara::ui::ValueLines</name>
    <message>
        <source>ω = %1 рад/с</source>
        <translation>ω = %1 rad/s</translation>
    </message>
    <message>
        <source> / R = %1 А</source>
        <translation> / R = %1 A</translation>
    </message>
    <message>
        <source>Действующие значения:</source>
        <translation>Effective (rms) values:</translation>
    </message>
    <message>
        <source> / √2 = %1 В</source>
        <translation> / √2 = %1 V</translation>
    </message>
    <message>
        <source> / √2 = %1 А</source>
        <translation> / √2 = %1 A</translation>
    </message>
    <message>
        <source>Средняя мощность:</source>
        <translation>Average power:</translation>
    </message>
    <message>
        <source>P = U · I = %1 Вт</source>
        <translation>P = U · I = %1 W</translation>
    </message>
    <message>
        <source>Период T = 1 / f = %1 с</source>
        <translation>Period T = 1 / f = %1 s</translation>
    </message>
    <message>
        <source>u = %1 В</source>
        <translation>u = %1 V</translation>
    </message>
    <message>
        <source>i = %1 А</source>
        <translation>i = %1 A</translation>
    </message>
    <message>
        <source>p = %1 Вт</source>
        <translation>p = %1 W</translation>
    </message>
    <message>
        <source>%1 Гц</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>%1 В</source>
        <translation>%1 V</translation>
    </message>
    <message>
        <source>%1 Ом</source>
        <translation>%1 Ω</translation>
    </message>
</context>
</TS>
