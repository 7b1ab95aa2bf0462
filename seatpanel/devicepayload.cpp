// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "seatpanel/devicepayload.h"

#include "core/constants.h"
#include "seatpanel/devtreewidget.h"
#include "seatstate/seatstatus.h"

#include <QDataStream>
#include <QMap>
#include <QMimeData>

namespace {

// The QDataStream format of a QVariant and a QString, read without trusting a
// single length in them.
class Reader
{
public:
    explicit Reader(const QByteArray &data) : m_stream(data) {}

    bool int32(qint32 *value)
    {
        m_stream >> *value;
        return m_stream.status() == QDataStream::Ok;
    }

    // A variant's header: its type, then its null flag.
    bool variantOf(int type)
    {
        quint32 id = 0;
        qint8 isNull = 0;
        m_stream >> id >> isNull;
        return m_stream.status() == QDataStream::Ok && id == quint32(type);
    }

    bool string(QString *text)
    {
        quint32 bytes = 0;
        m_stream >> bytes;
        if (m_stream.status() != QDataStream::Ok)
            return false;
        if (bytes == 0xffffffffu) { // a null string
            *text = QString();
            return true;
        }
        if (bytes % 2 != 0 || bytes > quint32(DevicePayload::MaxTextLength) * 2 ||
            m_stream.device()->bytesAvailable() < qint64(bytes))
            return false;
        QByteArray raw(int(bytes), Qt::Uninitialized);
        if (m_stream.readRawData(raw.data(), int(bytes)) != int(bytes))
            return false;
        // UTF-16 in the stream's big-endian byte order.
        text->resize(int(bytes / 2));
        for (int i = 0; i < text->size(); ++i)
            (*text)[i] = QChar(ushort(uchar(raw.at(2 * i)) << 8 | uchar(raw.at(2 * i + 1))));
        return true;
    }

    bool stringList(QStringList *list)
    {
        quint32 count = 0;
        m_stream >> count;
        if (m_stream.status() != QDataStream::Ok || count > quint32(DevicePayload::MaxAddresses))
            return false;
        for (quint32 i = 0; i < count; ++i) {
            QString text;
            if (!string(&text))
                return false;
            list->append(text);
        }
        return true;
    }

    bool atEnd() const { return m_stream.atEnd() && m_stream.status() == QDataStream::Ok; }

private:
    QDataStream m_stream;
};

} // namespace

QByteArray DevicePayload::encode(const QVariant &name, const QVariant &addresses,
                                 const QVariant &type)
{
    QMap<int, QVariant> roles;
    roles.insert(Qt::DisplayRole, name);
    roles.insert(DevTreeWidget::AddressRole, addresses);
    roles.insert(DevTreeWidget::TypeRole, type);

    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    stream << qint32(0) << qint32(0) << roles;
    return data;
}

QMimeData *DevicePayload::createMimeData(const QVariant &name, const QVariant &addresses,
                                         const QVariant &type)
{
    auto *mimeData = new QMimeData;
    mimeData->setData(Constants::DeviceMimeType, encode(name, addresses, type));
    return mimeData;
}

bool DevicePayload::decode(const QMimeData *mimeData, DevicePayload *payload)
{
    return mimeData && mimeData->hasFormat(Constants::DeviceMimeType) &&
           decode(mimeData->data(Constants::DeviceMimeType), payload);
}

bool DevicePayload::decode(const QByteArray &data, DevicePayload *payload)
{
    // One record: row 0, column 0, then the role map, highest role first.
    Reader in(data);
    qint32 row = -1;
    qint32 column = -1;
    qint32 roles = 0;
    if (!payload || !in.int32(&row) || !in.int32(&column) || row != 0 || column != 0 ||
        !in.int32(&roles) || roles != 3)
        return false;

    qint32 role = -1;
    qint32 type = -1;
    if (!in.int32(&role) || role != DevTreeWidget::TypeRole || !in.variantOf(QMetaType::Int) ||
        !in.int32(&type))
        return false;
    QStringList addresses;
    if (!in.int32(&role) || role != DevTreeWidget::AddressRole ||
        !in.variantOf(QMetaType::QStringList) || !in.stringList(&addresses))
        return false;
    QString name;
    if (!in.int32(&role) || role != Qt::DisplayRole || !in.variantOf(QMetaType::QString) ||
        !in.string(&name) || !in.atEnd())
        return false;

    if (type < 0 || type >= DeviceCategoryCount || addresses.isEmpty())
        return false;
    payload->name = name;
    payload->addresses = addresses;
    payload->type = type;
    return true;
}
