// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The sweep on the graphs as numbers for a spreadsheet (CSV, UTF-8): a row
// a pass, t, u, i and p as the graphs were drawn from them, under the
// settings and the effective values as comment lines. Written the way the
// language shown writes numbers, so that its spreadsheets open them as
// numbers: in Russian a decimal comma and «;» between fields, in English a
// point and «,».
#pragma once

#include <QByteArray>
#include <QChar>
#include <QCoreApplication>

namespace kelvara::ui {

class SweepRecord;

class SweepTable {
    Q_DECLARE_TR_FUNCTIONS(kelvara::ui::SweepTable)

public:
    // `omegaBase`: the frequency table's base, as the values use it.
    static QByteArray Csv(const SweepRecord& record, double omegaBase);
    // Between two fields in the language shown.
    static QChar Separator();
};

} // namespace kelvara::ui
