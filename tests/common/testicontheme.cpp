// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/testicontheme.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>

QStringList TestIconTheme::iconNames()
{
    return {QStringLiteral("zel-admin-multiseat"),
            QStringLiteral("document-save"),
            QStringLiteral("application-exit"),
            QStringLiteral("view-refresh"),
            QStringLiteral("list-add"),
            QStringLiteral("applications-system"),
            QStringLiteral("video-display"),
            QStringLiteral("input-keyboard"),
            QStringLiteral("input-mouse"),
            QStringLiteral("drive-removable-media"),
            QStringLiteral("dialog-warning"),
            QStringLiteral("edit-delete"),
            QStringLiteral("draw-arrow-forward"),
            QStringLiteral("draw-arrow-back"),
            QStringLiteral("edit-clear")};
}

QString TestIconTheme::themeName()
{
    return QStringLiteral("zel-test-icons");
}

bool TestIconTheme::install()
{
    static QTemporaryDir root;
    static bool written = false;
    if (!root.isValid())
        return false;
    if (!written) {
        const QString themeDir = root.path() + QLatin1Char('/') + themeName();
        const QString iconDir = themeDir + QStringLiteral("/16x16/apps");
        if (!QDir().mkpath(iconDir))
            return false;
        QFile index(themeDir + QStringLiteral("/index.theme"));
        if (!index.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        index.write("[Icon Theme]\n"
                    "Name=Zel test icons\n"
                    "Comment=Icons for the tests\n"
                    "Directories=16x16/apps\n"
                    "\n"
                    "[16x16/apps]\n"
                    "Size=16\n"
                    "Type=Fixed\n");
        index.close();
        int hue = 0;
        for (const QString &name : iconNames()) {
            QImage image(16, 16, QImage::Format_ARGB32);
            image.fill(QColor::fromHsv(hue, 200, 200));
            hue = (hue + 23) % 360;
            if (!image.save(iconDir + QLatin1Char('/') + name + QStringLiteral(".png"), "PNG"))
                return false;
        }
        written = true;
    }
    QIcon::setThemeSearchPaths({root.path()});
    QIcon::setThemeName(themeName());
    return true;
}
