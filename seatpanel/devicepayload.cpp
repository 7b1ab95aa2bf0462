#include "seatpanel/devicepayload.h"

#include "core/constants.h"
#include "seatpanel/devtreewidget.h"
#include "seatstate/seatstatus.h"

#include <QDataStream>
#include <QMap>
#include <QMimeData>
#include <QStandardItemModel>

namespace {

bool isSingleDeviceRecord(const QByteArray &data)
{
    QDataStream stream(data);
    qint32 row = -1;
    qint32 column = -1;
    QMap<int, QVariant> roles;
    stream >> row >> column >> roles;
    return stream.status() == QDataStream::Ok && stream.atEnd() && row == 0 && column == 0;
}

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
    if (!mimeData || !payload || !mimeData->hasFormat(Constants::DeviceMimeType))
        return false;
    if (!isSingleDeviceRecord(mimeData->data(Constants::DeviceMimeType)))
        return false;

    // One column, so that the record has a cell to land in.
    QStandardItemModel model(0, 1);
    if (!model.dropMimeData(mimeData, Qt::CopyAction, 0, 0, QModelIndex()))
        return false;
    const QStandardItem *item = model.item(0, 0);
    if (!item)
        return false;

    const QVariant type = item->data(DevTreeWidget::TypeRole);
    const QVariant addresses = item->data(DevTreeWidget::AddressRole);
    const QVariant name = item->data(Qt::DisplayRole);

    bool isNumber = false;
    const int category = type.toInt(&isNumber);
    if (!isNumber || category < 0 || category >= DeviceCategoryCount)
        return false;
    if (!addresses.canConvert<QStringList>() || addresses.toStringList().isEmpty())
        return false;

    payload->name = name;
    payload->addresses = addresses;
    payload->type = type;
    return true;
}
