// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

// The program's translations and Qt's own, for the language of the user's
// locale (LANGUAGE, LC_ALL, LC_MESSAGES, LANG; pkexec keeps them).
namespace Translations {

// Where the program's .qm files are, relative to the program itself: beside
// an installed program (../share/zel-admin-multiseat/translations) and in
// the build tree (translations/). Never a place outside its own tree.
QStringList besideProgram();

// Chooses the language (UiLanguage::choose) among the translations in dirs,
// installs the program's translation and Qt's own for it, and makes it the
// program's current language; returns the file of the program's translation
// that was loaded, or an empty string for the program's own texts.
QString install(const QStringList &dirs);

} // namespace Translations
