// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QIcon>
#include <QString>

// The icons the program names, taken from the desktop's icon theme. A theme
// without one of them (a bare X session has hicolor only) would leave a button
// blank: Adwaita stands in as the fallback theme when it is installed, then
// the style's own images, so that no button is ever an empty square. The
// theme's own icon wins wherever it has one.
namespace ThemeIcons {

// The fallback theme; call once the application object exists.
void init();

// The icon of that theme name, or its stand-in (null only for names without one).
QIcon icon(const QString &name);

} // namespace ThemeIcons
