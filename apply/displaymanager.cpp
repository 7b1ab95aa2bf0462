// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "apply/displaymanager.h"

#include "core/constants.h"

#include <QFile>
#include <QFileInfo>

const QString DisplayManager::UnitLink =
    QStringLiteral("/etc/systemd/system/display-manager.service");
const QString DisplayManager::DefaultFile = QStringLiteral("/etc/X11/default-display-manager");

DisplayManager DisplayManager::fromName(const QString &name)
{
    DisplayManager dm;
    QString unit = QFileInfo(name.trimmed()).fileName();
    if (unit.endsWith(QLatin1String(".service")))
        unit.chop(8);
    if (unit.isEmpty())
        return dm;
    dm.m_unit = unit;
    if (unit == Constants::DisplayManagerService)
        dm.m_kind = Kind::ZelDm;
    else if (unit == QLatin1String("lightdm"))
        dm.m_kind = Kind::LightDm;
    else if (unit == QLatin1String("gdm3") || unit == QLatin1String("gdm"))
        dm.m_kind = Kind::Gdm;
    else if (unit == QLatin1String("sddm"))
        dm.m_kind = Kind::Sddm;
    else
        dm.m_kind = Kind::Other;
    return dm;
}

DisplayManager DisplayManager::detect(const QString &unitLink, const QString &defaultFile)
{
    // The link itself, not what it resolves to: its target names the unit.
    const QFileInfo link(unitLink);
    if (link.isSymLink()) {
        const QString target = link.symLinkTarget();
        if (target == QLatin1String("/dev/null")) {
            DisplayManager masked;
            masked.m_kind = Kind::Masked;
            return masked;
        }
        const DisplayManager dm = fromName(target);
        if (dm.m_kind != Kind::None)
            return dm;
    }
    QFile file(defaultFile);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray line = file.read(4096).split('\n').first().trimmed();
        return fromName(QString::fromLocal8Bit(line));
    }
    return DisplayManager();
}

QString DisplayManager::name() const
{
    switch (m_kind) {
    case Kind::ZelDm:
        return Constants::DisplayManagerService;
    case Kind::LightDm:
        return QStringLiteral("LightDM");
    case Kind::Gdm:
        return QStringLiteral("GDM");
    case Kind::Sddm:
        return QStringLiteral("SDDM");
    case Kind::Other:
        return m_unit;
    case Kind::None:
    case Kind::Masked:
        break;
    }
    return QString();
}

QString DisplayManager::unit() const
{
    if (m_kind == Kind::ZelDm)
        return Constants::DisplayManagerService;
    return isRunning() ? m_unit + QStringLiteral(".service") : QString();
}

bool DisplayManager::servesFurtherSeats() const
{
    return m_kind == Kind::ZelDm || m_kind == Kind::LightDm || m_kind == Kind::Gdm ||
           m_kind == Kind::Sddm;
}
