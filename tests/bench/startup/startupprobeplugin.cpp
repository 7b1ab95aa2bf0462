// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "startupprobeplugin.h"

#include "startupprobe.h"

QObject *StartupProbePlugin::create(const QString &key, const QString &specification)
{
    Q_UNUSED(specification)
    if (key.compare(QLatin1String("zelstartupprobe"), Qt::CaseInsensitive) != 0)
        return nullptr;
    return new StartupProbe();
}
