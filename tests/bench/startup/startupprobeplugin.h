// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QGenericPlugin>

// Qt loads generic plugins named in QT_QPA_GENERIC_PLUGINS into every GUI
// process at start-up; this one starts a StartupProbe there.
class StartupProbePlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "startupprobe.json")
public:
    QObject *create(const QString &key, const QString &specification) override;
};
