#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Translations {

QStringList besideProgram()
{
    const QString dir = QCoreApplication::applicationDirPath();
    return {dir + QStringLiteral("/../share/zel-admin-multiseat/translations"),
            dir + QStringLiteral("/translations")};
}

QString install(const QStringList &dirs)
{
    const QLocale locale;
    QString loaded;
    for (const QString &dir : dirs) {
        auto *program = new QTranslator(QCoreApplication::instance());
        if (program->load(locale, QStringLiteral("zel-admin-multiseat"), QStringLiteral("_"),
                          dir)) {
            QCoreApplication::installTranslator(program);
            loaded = program->filePath();
            break;
        }
        delete program;
    }
    // Qt's own texts (the buttons of message boxes, the context menus of
    // text fields) only where the program speaks the language too.
    if (!loaded.isEmpty()) {
        auto *qt = new QTranslator(QCoreApplication::instance());
        if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qt);
        else
            delete qt;
    }
    return loaded;
}

} // namespace Translations
