// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

// A tiny private icon theme for widget tests. The offscreen and Xvfb
// platforms have no desktop theme, so QIcon::fromTheme would give null icons
// and tests could not tell which icon a widget shows.
class TestIconTheme
{
public:
    // Every icon name the program asks the theme for.
    static QStringList iconNames();
    // Writes the theme into a temporary directory (once per process) and
    // makes it the current theme. Call after the application object exists
    // and before building widgets. Returns false when it could not be written.
    static bool install();
    static QString themeName();
};
