// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/appsettings.h"

#include "core/constants.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

#include <cctype>
#include <memory>
#include <sys/stat.h>

namespace {

bool isLink(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Qt turns a value written "@Variant(...)" into an object of whatever type
// and size its bytes announce: eleven bytes can ask for a list of 2^31
// entries and end the program. The program itself stores only byte arrays,
// booleans and strings, which Qt never writes that way (a leading "@" of a
// string is doubled), so such a value, also one whose "@" is escaped, is
// damage.
bool isUnsafeValue(QByteArray value)
{
    value = value.trimmed();
    if (value.startsWith('"'))
        value.remove(0, 1);
    if (value.startsWith("@Variant("))
        return true;
    if (!value.startsWith('\\') || value.size() < 2)
        return false;
    // An escaped first character: \xHH... or octal \NNN.
    bool ok = false;
    int code = -1;
    if (value.at(1) == 'x' || value.at(1) == 'X') {
        int end = 2;
        while (end < value.size() && std::isxdigit(static_cast<unsigned char>(value.at(end))))
            ++end;
        code = value.mid(2, end - 2).toInt(&ok, 16);
    } else if (value.at(1) >= '0' && value.at(1) <= '7') {
        int end = 1;
        while (end < value.size() && end < 4 && value.at(end) >= '0' && value.at(end) <= '7')
            ++end;
        code = value.mid(1, end - 1).toInt(&ok, 8);
    }
    return ok && code == '@';
}

// Drops the lines of values Qt must not decode; true when the file changed.
bool dropUnsafeValues(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    QByteArray kept;
    bool dropped = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        const int equals = line.indexOf('=');
        if (equals > 0 && !line.trimmed().startsWith('[') && isUnsafeValue(line.mid(equals + 1))) {
            dropped = true;
            continue;
        }
        kept += line;
        if (i + 1 < lines.size())
            kept += '\n';
    }
    if (!dropped)
        return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(kept) != kept.size() || !out.commit())
        QFile::remove(path); // a file Qt cannot read safely is worth less than none
    return true;
}

// The settings, fresh for one read or write, or null where the file must
// not be used: it, its folder or the folder above is a link, which would
// lead the writes of root somewhere else.
std::unique_ptr<QSettings> open()
{
    const QString path = QSettings().fileName();
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    if (isLink(path) || isLink(folder) || isLink(QFileInfo(folder).absolutePath()))
        return nullptr;
    dropUnsafeValues(path);
    return std::make_unique<QSettings>();
}

// A stored boolean, as Qt writes one; anything else is the default.
bool boolean(const QString &key, bool fallback)
{
    const auto settings = open();
    if (!settings)
        return fallback;
    const QVariant value = settings->value(key);
    if (value.type() == QVariant::Bool)
        return value.toBool();
    const QString text = value.type() == QVariant::String ? value.toString() : QString();
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    return fallback;
}

void store(const QString &group, const QString &key, const QVariant &value)
{
    const auto settings = open();
    if (!settings)
        return;
    if (!group.isEmpty())
        settings->beginGroup(group);
    settings->setValue(key, value);
    if (!group.isEmpty())
        settings->endGroup();
}

} // namespace

QByteArray AppSettings::geometry()
{
    const auto settings = open();
    if (!settings)
        return QByteArray();
    const QVariant value = settings->value(Constants::GeometryKey);
    return value.type() == QVariant::ByteArray ? value.toByteArray() : QByteArray();
}

void AppSettings::setGeometry(const QByteArray &geometry)
{
    store(QString(), Constants::GeometryKey, geometry);
}

bool AppSettings::emptySeatsAllowed()
{
    return boolean(Constants::EmptySeatsAllowedKey, false);
}

void AppSettings::setEmptySeatsAllowed(bool allowed)
{
    store(QString(), Constants::EmptySeatsAllowedKey, allowed);
}

bool AppSettings::showUnknownDevices()
{
    return boolean(Constants::ShowUnknownDevicesKey, false);
}

void AppSettings::setShowUnknownDevices(bool show)
{
    store(QString(), Constants::ShowUnknownDevicesKey, show);
}

QStringList AppSettings::namedSeats()
{
    const auto settings = open();
    if (!settings)
        return QStringList();
    settings->beginGroup(Constants::UserNamesGroup);
    const QStringList keys = settings->childKeys();
    settings->endGroup();
    return keys;
}

QString AppSettings::seatDisplayName(const QString &seatId)
{
    const auto settings = open();
    if (!settings)
        return seatId;
    settings->beginGroup(Constants::UserNamesGroup);
    const QVariant value = settings->value(seatId);
    settings->endGroup();
    // A name is a string; whatever else is stored there names nothing.
    return value.type() == QVariant::String ? value.toString() : seatId;
}

void AppSettings::setSeatDisplayName(const QString &seatId, const QString &name)
{
    store(Constants::UserNamesGroup, seatId, name);
}
