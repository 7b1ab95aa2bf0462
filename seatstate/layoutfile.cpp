// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "seatstate/layoutfile.h"

#include "seatstate/seatreader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

#include <algorithm>

const QString LayoutFile::FormatName = QStringLiteral("zel-multiseat-layout");

namespace {

const QStringList CategoryNames{QStringLiteral("videocard"), QStringLiteral("keyboard"),
                                QStringLiteral("mouse"), QStringLiteral("other")};

// What logind takes as a seat name; the main seat is never a further seat.
bool isFurtherSeatId(const QString &id)
{
    static const QRegularExpression name(QStringLiteral("^seat[A-Za-z0-9_-]+$"));
    return name.match(id).hasMatch() && id != QLatin1String("seat0") && id.size() <= 255;
}

// Reads one object's fields, refusing any it does not know.
class Fields
{
public:
    Fields(const QJsonObject &object, const QString &where, QString *error)
        : m_object(object), m_where(where), m_error(error)
    {
    }

    bool onlyKnown(const QStringList &known)
    {
        for (auto it = m_object.begin(); it != m_object.end(); ++it) {
            if (!known.contains(it.key()))
                return fail(QCoreApplication::translate("LayoutFile", "%1: unknown field \"%2\"")
                                .arg(m_where, it.key()));
        }
        return true;
    }
    bool string(const QString &field, QString *value, bool required = true)
    {
        const QJsonValue v = m_object.value(field);
        if (v.isUndefined() && !required)
            return true;
        if (!v.isString())
            return fail(
                QCoreApplication::translate("LayoutFile", "%1 must be a text").arg(path(field)));
        *value = v.toString();
        return true;
    }
    bool array(const QString &field, QJsonArray *value)
    {
        const QJsonValue v = m_object.value(field);
        if (!v.isArray())
            return fail(
                QCoreApplication::translate("LayoutFile", "%1 must be a list").arg(path(field)));
        *value = v.toArray();
        return true;
    }
    QString path(const QString &field) const
    {
        return m_where.isEmpty() ? field : m_where + QLatin1Char('.') + field;
    }
    bool fail(const QString &text)
    {
        *m_error = text;
        return false;
    }
    QJsonValue value(const QString &field) const { return m_object.value(field); }

private:
    const QJsonObject m_object;
    const QString m_where;
    QString *m_error;
};

bool readDevice(const QJsonValue &value, const QString &where, QSet<QString> *seen,
                LayoutFile::Device *device, QString *error)
{
    if (!value.isObject()) {
        *error =
            QCoreApplication::translate("LayoutFile", "%1: a device must be an object").arg(where);
        return false;
    }
    Fields fields(value.toObject(), where, error);
    QString category;
    QJsonArray keys;
    if (!fields.onlyKnown({"category", "keys", "name", "product"}) ||
        !fields.string(QStringLiteral("category"), &category) ||
        !fields.array(QStringLiteral("keys"), &keys) ||
        !fields.string(QStringLiteral("name"), &device->name, false) ||
        !fields.string(QStringLiteral("product"), &device->product, false))
        return false;
    device->category = CategoryNames.indexOf(category);
    if (device->category < 0) {
        return fields.fail(
            QCoreApplication::translate("LayoutFile", "%1: category \"%2\" is none of %3")
                .arg(where, category, CategoryNames.join(QStringLiteral(", "))));
    }
    if (keys.isEmpty())
        return fields.fail(
            QCoreApplication::translate("LayoutFile", "%1: \"keys\" is empty").arg(where));
    for (int k = 0; k < keys.size(); ++k) {
        const QString key = keys.at(k).toString();
        const QString at = QStringLiteral("%1.keys[%2]").arg(where).arg(k);
        if (!keys.at(k).isString() || key.trimmed().isEmpty() || key != key.trimmed())
            return fields.fail(
                QCoreApplication::translate("LayoutFile",
                                            "%1: a key must be a text without blanks around it")
                    .arg(at));
        if (LayoutFile::isPathKey(key) && !key.startsWith(QLatin1String("/sys/")))
            return fields.fail(
                QCoreApplication::translate("LayoutFile", "%1: \"%2\" is no sysfs path")
                    .arg(at, key));
        if (seen->contains(key))
            return fields.fail(
                QCoreApplication::translate("LayoutFile", "%1: the key \"%2\" is named twice")
                    .arg(at, key));
        seen->insert(key);
        device->keys.append(key);
    }
    return true;
}

} // namespace

QString LayoutFile::categoryName(int category)
{
    return CategoryNames.value(category, CategoryNames.last());
}

LayoutFile LayoutFile::of(const SeatLayout &layout,
                          const std::function<QString(const QStringList &)> &productOf)
{
    LayoutFile file;
    // A card and its render node share the card's ID_FOR_SEAT: a key is
    // written once, with the first device that has it.
    QSet<QString> written;
    for (const SeatContent &content : layout.seats.mid(1)) {
        Seat seat{content.seatId, content.displayName, {}};
        for (const DeviceItem &item : content.devices) {
            Device device;
            for (const QString &address : item.addresses) {
                const QString key = layout.keyOf(address);
                if (!written.contains(key)) {
                    written.insert(key);
                    device.keys.append(key);
                }
            }
            if (device.keys.isEmpty())
                continue;
            device.category = item.category;
            device.name = item.name;
            device.product = productOf ? productOf(item.addresses) : QString();
            seat.devices.append(device);
        }
        // Tree order follows the order devices came in, which differs
        // between machines; the file keeps one order of its own.
        std::stable_sort(
            seat.devices.begin(), seat.devices.end(), [](const Device &a, const Device &b) {
                return a.category != b.category ? a.category < b.category : a.keys < b.keys;
            });
        file.seats.append(seat);
    }
    std::stable_sort(file.seats.begin(), file.seats.end(),
                     [](const Seat &a, const Seat &b) { return a.id < b.id; });
    return file;
}

QByteArray LayoutFile::toJson() const
{
    QJsonArray seatList;
    for (const Seat &seat : seats) {
        QJsonArray devices;
        for (const Device &device : seat.devices) {
            QJsonObject object{{"category", categoryName(device.category)},
                               {"keys", QJsonArray::fromStringList(device.keys)},
                               {"name", device.name}};
            if (!device.product.isEmpty())
                object.insert(QStringLiteral("product"), device.product);
            devices.append(object);
        }
        seatList.append(QJsonObject{{"id", seat.id}, {"name", seat.name}, {"devices", devices}});
    }
    // QJsonObject keeps its fields sorted: the same layout, the same bytes.
    const QJsonObject top{{"format", FormatName}, {"version", Version}, {"seats", seatList}};
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

bool LayoutFile::fromJson(const QByteArray &data, LayoutFile *file, QString *error)
{
    if (data.size() > SizeLimit) {
        *error = QCoreApplication::translate("LayoutFile",
                                             "The file is larger than %1 KiB: it is no layout.")
                     .arg(SizeLimit / 1024);
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = QCoreApplication::translate("LayoutFile",
                                             "The file is no JSON document: %1 at byte %2.")
                     .arg(parseError.errorString())
                     .arg(parseError.offset);
        return false;
    }
    if (!document.isObject()) {
        *error = QCoreApplication::translate("LayoutFile", "The file holds no layout object.");
        return false;
    }
    Fields top(document.object(), QString(), error);
    QString format;
    QJsonArray seatList;
    if (!top.onlyKnown({"format", "version", "seats"}) ||
        !top.string(QStringLiteral("format"), &format))
        return false;
    if (format != FormatName)
        return top.fail(QCoreApplication::translate("LayoutFile", "format: \"%1\" is not \"%2\"")
                            .arg(format, FormatName));
    const QJsonValue version = top.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() != Version)
        return top.fail(
            QCoreApplication::translate("LayoutFile", "version: this tool reads version %1 only")
                .arg(Version));
    if (!top.array(QStringLiteral("seats"), &seatList))
        return false;

    LayoutFile read;
    QSet<QString> ids;
    QSet<QString> keys;
    for (int s = 0; s < seatList.size(); ++s) {
        const QString where = QStringLiteral("seats[%1]").arg(s);
        if (!seatList.at(s).isObject())
            return top.fail(
                QCoreApplication::translate("LayoutFile", "%1: a seat must be an object")
                    .arg(where));
        Fields fields(seatList.at(s).toObject(), where, error);
        Seat seat;
        QJsonArray devices;
        if (!fields.onlyKnown({"id", "name", "devices"}) ||
            !fields.string(QStringLiteral("id"), &seat.id) ||
            !fields.string(QStringLiteral("name"), &seat.name, false) ||
            !fields.array(QStringLiteral("devices"), &devices))
            return false;
        if (!isFurtherSeatId(seat.id)) {
            return fields.fail(
                QCoreApplication::translate(
                    "LayoutFile",
                    "%1.id: \"%2\" is no further seat (\"seat\", then letters, digits, \"_\" or "
                    "\"-\"; not seat0)")
                    .arg(where, seat.id));
        }
        if (ids.contains(seat.id))
            return fields.fail(
                QCoreApplication::translate("LayoutFile", "%1.id: the seat \"%2\" is named twice")
                    .arg(where, seat.id));
        ids.insert(seat.id);
        for (int d = 0; d < devices.size(); ++d) {
            Device device;
            if (!readDevice(devices.at(d), QStringLiteral("%1.devices[%2]").arg(where).arg(d),
                            &keys, &device, error))
                return false;
            seat.devices.append(device);
        }
        read.seats.append(seat);
    }
    *file = read;
    return true;
}

bool LayoutFile::save(const QString &path, QString *error) const
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(toJson()) < 0 || !out.commit()) {
        *error = out.errorString();
        return false;
    }
    return true;
}

bool LayoutFile::load(const QString &path, LayoutFile *file, QString *error)
{
    // A pipe or a device would never end, or never answer.
    const QFileInfo info(path);
    if (!info.isFile()) {
        *error = QCoreApplication::translate("LayoutFile", "%1 is no regular file.").arg(path);
        return false;
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = in.errorString();
        return false;
    }
    return fromJson(in.read(SizeLimit + 1), file, error);
}
