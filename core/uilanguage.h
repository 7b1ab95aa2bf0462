// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>

// The one language the program speaks, chosen once at start: its own texts,
// Qt's texts and the help page all follow it.
namespace UiLanguage {

// The first of languages (the user's, in the order they prefer them: "de-AT",
// "en_GB", ...) that is English, which the program's own texts are, or for
// which available() holds. A regional language is tried as itself, then as
// its language alone ("de_AT", then "de"); the result is the name that
// available() accepted. Empty: the program's own texts.
QString chooseFrom(const QStringList &languages,
                   const std::function<bool(const QString &)> &available);

// The same for a locale's languages. A C or POSIX locale keeps the
// program's own texts whatever LANGUAGE says, as gettext does.
QString choose(const QLocale &locale, const std::function<bool(const QString &)> &available);

// The language the program speaks (empty: its own texts), once chosen.
QString current();
void setCurrent(const QString &language);

} // namespace UiLanguage
