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

// Installs the program's translation from the first of dirs that has one
// for the locale, and Qt's own from Qt's translations; returns the file of
// the program's translation that was loaded, or an empty string.
QString install(const QStringList &dirs);

} // namespace Translations
