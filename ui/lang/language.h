// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// The language every text of the window is shown in. The texts are written
// in Russian, which needs no translation; another language installs its
// translation, built into the program, and Qt tells every widget so by a
// LanguageChange event, so that the switch is live.
#pragma once

#include <QLocale>
#include <QString>

#include <array>
#include <cstdint>

namespace kelvara::ui {

enum class Language : std::uint8_t { Russian, English };

// Every language the program speaks, in the order L steps through them.
inline constexpr std::array kLanguages = {Language::Russian, Language::English};

// The language's name in itself, as a menu lists it («Русский», "English").
QString OwnName(Language language);

// The language shown now; Russian until another is set.
Language CurrentLanguage();
// Shows every text in `language` from now on. False, and nothing changes,
// where its translation cannot be loaded.
bool SetLanguage(Language language);
// The one after `language`, round to the first.
Language NextLanguage(Language language);

// The first of `uiLanguages` (BCP 47 names, most preferred first) that the
// program speaks, else Russian; by default the system's.
Language PreferredLanguage(const QStringList& uiLanguages = QLocale::system().uiLanguages());

// How numbers are written in the language shown: a decimal comma in
// Russian, a point in English.
QLocale NumberLocale();

} // namespace kelvara::ui
