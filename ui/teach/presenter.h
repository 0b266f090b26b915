// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// What a teacher uses beyond the demonstration itself: the window's own
// keys, the context menu that lists every action with its keys, the help
// panel, the values readout and what the values add to the graphs (levels,
// numbered axes, the reading cursor). Freezing belongs to the run's yield, which
// this only asks; the window's own changes (exit, fullscreen, the projector
// view, the charges as electrons) it asks for by signals, so it knows the
// window only as a widget.
#pragma once

#include "sim/controls.h"
#include "ui/files/file_saver.h"
#include "ui/lang/language.h"
#include "ui/layout/twips.h"
#include "ui/look/look.h"
#include "ui/teach/graph_overlay.h"
#include "ui/teach/keys.h"
#include "ui/teach/narrator.h"
#include "ui/teach/readouts.h"
#include "ui/teach/sweep_record.h"
#include "ui/teach/value_lines.h"

#include <QImage>
#include <QObject>
#include <QPoint>

#include <array>
#include <functional>
#include <map>
#include <optional>

class QAction;
class QMenu;
class QPainter;
class QSlider;
class QWidget;

namespace kelvara {
struct SimState;
}

namespace kelvara::ui {

class HelpPanel;
class RunYield;

class Presenter : public QObject {
    Q_OBJECT

public:
    // `window`: the top-level window whose keys it takes and over which its
    // menu, help and readouts show; `sliders`: sldW, sldU, sldR.
    Presenter(QWidget& window, RunYield& run, const SimState& state,
              const std::array<QSlider*, 3>& sliders);

    // Does what a command asks; false where it does nothing now (a step
    // while the run is not frozen, a freeze at rest).
    bool Run(Command command);

    // Brings the readouts up to date with the window: after each pass, a
    // slider moved, the switch, a freeze, the values shown or hidden.
    void Refresh();
    // The window's map and look now.
    void SetMap(const Twips& map);
    void SetLook(const Look& look);
    // Menu, help, values and what a screen reader hears, in the language
    // shown now.
    void Retranslate();
    // The graphs screen: the levels, numbers and cursor show while it is
    // lifted.
    void WatchGraphScreen(QWidget* screen);
    void Paint(QPainter& p, const QRegion& dirty) const;

    // Where the picture of the window comes from (its drawing at twice the
    // natural size); copying and saving it ask for it.
    void SetPictureSource(std::function<QImage()> picture);
    // The window drawn at `map` for a picture, the cursor on the point of
    // the graphs it is on now; EndPicture gives the window its own again.
    void BeginPicture(const Twips& map);
    void EndPicture();

    // Pops the menu up at a point of the screen and returns at once, so a
    // run goes on while it is open.
    void ShowMenu(QPoint global);
    // At the focused control, for the keyboard.
    void ShowMenuAtFocus();

    bool ValuesShown() const { return values_; }
    bool ElectronsShown() const { return electrons_; }
    bool HelpShown() const;
    const ValueLines& ShownValues() const { return lines_; }
    const Readouts& ShownReadouts() const { return readouts_; }
    const GraphOverlay& Graphs() const { return graphs_; }
    const SweepRecord& Record() const { return record_; }
    FileSaver& Saver() { return saver_; }
    const Narrator& Narration() const { return narrator_; }
    QMenu* Menu() const { return menu_; }
    HelpPanel* Help() const { return help_; }

signals:
    void exitRequested();
    void fullScreenRequested();
    void projectorViewRequested(bool on);
    void electronsRequested(bool on);

private:
    void NameActions();
    void UpdateActions();
    void FreezeChanged(bool frozen);
    bool GraphsLifted() const;
    bool KeyPressed(QWidget& w, const QKeyEvent& key);
    void PointerAt(std::optional<QPoint> pointer);
    void PassChanged();
    bool SavePicture();
    bool SaveData();
    // Saves, the run standing still while the user chooses, and says so.
    bool Save(FileSaver::Kind kind, const QByteArray& bytes);

    QWidget& window_;
    RunYield& run_;
    const SimState& state_;
    std::array<QSlider*, 3> sliders_;
    Twips map_;
    Look look_;
    // What a screen reader is told of the window while no run is frozen.
    QString description_;
    // What the values say, drawn by the readouts; what they add to the graphs.
    ValueLines lines_;
    Readouts readouts_;
    GraphOverlay graphs_;
    SweepRecord record_;
    const QWidget* screen_ = nullptr;
    std::optional<QPoint> pointer_;
    Narrator narrator_;
    bool values_ = false;
    bool electrons_ = false;
    // A step was asked for: told once its pass is on the screen.
    bool stepToTell_ = false;
    HelpPanel* help_;
    QMenu* menu_;
    std::map<Command, QAction*> actions_;
    QMenu* languages_ = nullptr;
    std::map<Language, QAction*> languageActions_;
    std::function<QImage()> picture_;
    FileSaver saver_;
    // The window's map and pointer while a picture is drawn at another.
    Twips shownMap_;
    std::optional<QPoint> shownPointer_;
};

} // namespace kelvara::ui
