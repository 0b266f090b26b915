// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Numbers as the language shown writes them (a decimal comma in Russian, a
// point in English), as every value the window shows them, with a true
// minus.
#pragma once

#include <QString>

namespace kelvara::ui {

// With exactly `decimals` places: 0,50.
QString Fixed(double v, int decimals);
// Up to `decimals` places, without trailing zeros: 0,5; 0,167; 1.
QString Short(double v, int decimals);
// With its sign, a true minus, so that the figures do not shift as the
// value crosses zero; zero has none.
QString Signed(double v, int decimals);
// Three significant figures, without trailing zeros: 0,354; 0,25; 0,00707.
QString Significant(double v);

} // namespace kelvara::ui
