// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/zelintegration.h"

#include "platform/helpwindow.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>

void zelInit(const char *version, const char *name)
{
    QCoreApplication::setOrganizationName(QStringLiteral("zel"));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(version));
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        QGuiApplication::setApplicationDisplayName(QString::fromUtf8(name));
}

void zelHelpShow(const QString &topic)
{
    // One help window for the whole run, shown again when asked for again.
    static QPointer<HelpWindow> window;
    if (!window)
        window = new HelpWindow();
    window->showTopic(topic);
}
