// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers

#include "ui/lang/language.h"

#include <QCoreApplication>
#include <QTranslator>

#include <memory>

namespace kelvara::ui {

namespace {

struct Spoken {
    Language language;
    const char* code;    // BCP 47 primary tag; also names the translation
    const char* ownName; // UTF-8
    QLocale::Language locale;
    QLocale::Territory territory;
};

constexpr Spoken kSpoken[] = {
    {Language::Russian, "ru", "Русский", QLocale::Russian, QLocale::Russia},
    {Language::English, "en", "English", QLocale::English, QLocale::UnitedStates},
};

const Spoken& Of(Language language) {
    for (const Spoken& s : kSpoken) {
        if (s.language == language) {
            return s;
        }
    }
    return kSpoken[0];
}

Language& Current() {
    static Language current = Language::Russian;
    return current;
}

// The translation installed now; none for Russian.
std::unique_ptr<QTranslator>& Installed() {
    static std::unique_ptr<QTranslator> installed;
    return installed;
}

} // namespace

QString OwnName(Language language) {
    return QString::fromUtf8(Of(language).ownName);
}

Language CurrentLanguage() {
    return Current();
}

bool SetLanguage(Language language) {
    if (language == Current()) {
        return true;
    }
    std::unique_ptr<QTranslator> next;
    if (language != Language::Russian) {
        next = std::make_unique<QTranslator>();
        const QString file =
            QStringLiteral(":/kelvara/i18n/kelvara_%1.qm").arg(QLatin1String(Of(language).code));
        if (!next->load(file)) {
            return false;
        }
    }
    if (Installed()) {
        QCoreApplication::removeTranslator(Installed().get());
    }
    // Installing or removing a translation sends every widget a
    // LanguageChange; the language is current before it arrives.
    Installed() = std::move(next);
    Current() = language;
    if (Installed()) {
        QCoreApplication::installTranslator(Installed().get());
    }
    return true;
}

Language NextLanguage(Language language) {
    for (std::size_t i = 0; i < kLanguages.size(); ++i) {
        if (kLanguages[i] == language) {
            return kLanguages[(i + 1) % kLanguages.size()];
        }
    }
    return kLanguages[0];
}

Language PreferredLanguage(const QStringList& uiLanguages) {
    for (const QString& name : uiLanguages) {
        const QString primary = name.section(QLatin1Char('-'), 0, 0).toLower();
        for (const Spoken& s : kSpoken) {
            if (primary == QLatin1String(s.code)) {
                return s.language;
            }
        }
    }
    return Language::Russian;
}

QLocale NumberLocale() {
    const Spoken& s = Of(Current());
    return {s.locale, s.territory};
}

} // namespace kelvara::ui
