// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/themeicons.h"

#include <QApplication>
#include <QHash>
#include <QStyle>

namespace ThemeIcons {

namespace {

struct StandIn
{
    const char *name;
    const char *otherName; // a common theme name for the same picture, or null
    QStyle::StandardPixmap standard;
};

// The style's picture for every icon of a button or an action; for the
// categories of the trees the closest there is.
const StandIn StandIns[] = {
    {"document-save", nullptr, QStyle::SP_DialogSaveButton},
    {"application-exit", nullptr, QStyle::SP_DialogCloseButton},
    {"view-refresh", nullptr, QStyle::SP_BrowserReload},
    {"list-add", nullptr, QStyle::SP_FileDialogNewFolder},
    {"applications-system", nullptr, QStyle::SP_FileDialogDetailedView},
    {"edit-delete", nullptr, QStyle::SP_TrashIcon},
    // Themes without the drawing arrows (Adwaita among them) have these.
    {"draw-arrow-forward", "go-next", QStyle::SP_ArrowForward},
    {"draw-arrow-back", "go-previous", QStyle::SP_ArrowBack},
    {"edit-clear", nullptr, QStyle::SP_LineEditClearButton},
    {"video-display", nullptr, QStyle::SP_ComputerIcon},
    {"drive-removable-media", nullptr, QStyle::SP_DriveFDIcon},
    {"dialog-warning", nullptr, QStyle::SP_MessageBoxWarning},
    {"edit-find", "system-search", QStyle::SP_FileDialogContentsView},
};

} // namespace

void init()
{
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

QIcon icon(const QString &name)
{
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    // Looked up once: the style's pictures are read from image files, and a
    // window may hold hundreds of panels.
    static QHash<QString, QIcon> standIns;
    const auto known = standIns.constFind(name);
    if (known != standIns.constEnd())
        return *known;
    QIcon standIn;
    for (const StandIn &entry : StandIns) {
        if (name != QLatin1String(entry.name))
            continue;
        const QString other = QString::fromLatin1(entry.otherName);
        standIn = entry.otherName && QIcon::hasThemeIcon(other)
                      ? QIcon::fromTheme(other)
                      : QApplication::style()->standardIcon(entry.standard);
    }
    standIns.insert(name, standIn);
    return standIn;
}

} // namespace ThemeIcons
