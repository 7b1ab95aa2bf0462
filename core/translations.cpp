// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/translations.h"

#include "core/uilanguage.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Translations {

namespace {
const QString Prefix = QStringLiteral("zel-admin-multiseat_");
}

QStringList besideProgram()
{
    const QString dir = QCoreApplication::applicationDirPath();
    return {dir + QStringLiteral("/../share/zel-admin-multiseat/translations"),
            dir + QStringLiteral("/translations")};
}

QString install(const QStringList &dirs)
{
    QString dir;
    const QString language = UiLanguage::choose(QLocale(), [&](const QString &candidate) {
        for (const QString &d : dirs) {
            if (QFileInfo(d + QLatin1Char('/') + Prefix + candidate + QStringLiteral(".qm"))
                    .isFile()) {
                dir = d;
                return true;
            }
        }
        return false;
    });
    UiLanguage::setCurrent(QString());
    if (language.isEmpty())
        return QString();
    auto *program = new QTranslator(QCoreApplication::instance());
    if (!program->load(Prefix + language, dir)) {
        delete program;
        return QString();
    }
    QCoreApplication::installTranslator(program);
    UiLanguage::setCurrent(language);
    // Qt's own texts (the buttons of message boxes, the context menus of
    // text fields) in the same language, never in another one.
    auto *qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(QStringLiteral("qtbase_") + language,
                 QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    return program->filePath();
}

} // namespace Translations
