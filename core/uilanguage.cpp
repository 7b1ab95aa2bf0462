// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/uilanguage.h"

namespace UiLanguage {

namespace {
QString g_current;
}

QString chooseFrom(const QStringList &languages,
                   const std::function<bool(const QString &)> &available)
{
    for (QString language : languages) {
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        const QString base = language.section(QLatin1Char('_'), 0, 0);
        if (base == QLatin1String("en"))
            return QString();
        if (base.isEmpty() || base == QLatin1String("C") || base == QLatin1String("POSIX"))
            continue;
        if (available(language))
            return language;
        if (base != language && available(base))
            return base;
    }
    return QString();
}

QString choose(const QLocale &locale, const std::function<bool(const QString &)> &available)
{
    if (locale.language() == QLocale::C)
        return QString();
    return chooseFrom(locale.uiLanguages(), available);
}

QString current()
{
    return g_current;
}

void setCurrent(const QString &language)
{
    g_current = language;
}

} // namespace UiLanguage
