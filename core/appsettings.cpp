#include "core/appsettings.h"

#include "core/constants.h"

#include <QSettings>

QByteArray AppSettings::geometry()
{
    return QSettings().value(Constants::GeometryKey).toByteArray();
}

void AppSettings::setGeometry(const QByteArray &geometry)
{
    QSettings().setValue(Constants::GeometryKey, geometry);
}

bool AppSettings::emptySeatsAllowed()
{
    return QSettings().value(Constants::EmptySeatsAllowedKey, false).toBool();
}

void AppSettings::setEmptySeatsAllowed(bool allowed)
{
    QSettings().setValue(Constants::EmptySeatsAllowedKey, allowed);
}

bool AppSettings::showUnknownDevices()
{
    return QSettings().value(Constants::ShowUnknownDevicesKey, false).toBool();
}

void AppSettings::setShowUnknownDevices(bool show)
{
    QSettings().setValue(Constants::ShowUnknownDevicesKey, show);
}

QStringList AppSettings::namedSeats()
{
    QSettings settings;
    settings.beginGroup(Constants::UserNamesGroup);
    const QStringList keys = settings.childKeys();
    settings.endGroup();
    return keys;
}

QString AppSettings::seatDisplayName(const QString &seatId)
{
    QSettings settings;
    settings.beginGroup(Constants::UserNamesGroup);
    const QString name = settings.contains(seatId) ? settings.value(seatId).toString() : seatId;
    settings.endGroup();
    return name;
}

void AppSettings::setSeatDisplayName(const QString &seatId, const QString &name)
{
    QSettings settings;
    settings.beginGroup(Constants::UserNamesGroup);
    settings.setValue(seatId, name);
    settings.endGroup();
}
