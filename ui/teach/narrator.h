// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// What a screen reader hears of a teacher's tools: the values as a text of
// their own where they are drawn, and each action (freeze, go on, a step,
// the values, the projector view, fullscreen) spoken as it happens. The
// instantaneous values reach the reader only while the run is frozen: a
// running stream of them would drown everything else.
#pragma once

#include "ui/teach/keys.h"
#include "ui/teach/value_lines.h"

#include <QCoreApplication>
#include <QRect>
#include <QString>

#include <vector>

class QWidget;

namespace kelvara::ui {

class TextNode;

class Narrator {
    Q_DECLARE_TR_FUNCTIONS(kelvara::ui::Narrator)

public:
    // `window`: where the values node lives and whose focused control speaks.
    explicit Narrator(QWidget& window);

    // The values the screen shows now, over `area` of the window: the
    // settings' lines, and the instant line only when `frozen`.
    void SetValues(const std::vector<ValueLines::Line>& lines, const QRect& area);
    // What the values node holds: empty while the values are hidden.
    QString ValuesText() const;

    // Speaks what a command did: `on` is the state it left (frozen, values
    // shown, projector view, fullscreen); `instant` the instant values' line
    // to tell with a step, if shown.
    void Tell(Command command, bool on, const std::vector<ValueLines::Line>& instant = {});
    // A file saved, by its name.
    void Saved(const QString& fileName);

private:
    QWidget& window_;
    TextNode* values_;
    // What the node was last given: a run gives the same values every pass.
    std::vector<ValueLines::Line> lines_;
    QRect area_;
    bool set_ = false;
};

} // namespace kelvara::ui
