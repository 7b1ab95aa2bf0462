// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mainwindow/attachprogressdialog.h"

#include "apply/attachjob.h"
#include "core/appsettings.h"
#include "platform/plaintext.h"

#include <QLabel>

AttachProgressDialog::AttachProgressDialog(const QString &labelText, const AttachJob &job,
                                           QWidget *parent)
    : QProgressDialog(labelText, QString(), 0, 0, parent, Qt::WindowFlags()), m_labelText(labelText)
{
    setObjectName(QStringLiteral("progressDialog"));
    // The label names the devices being attached.
    auto *label = new QLabel(this);
    PlainText::apply(label);
    setLabel(label);
    setLabelText(labelText);
    setAutoClose(false);
    setAutoReset(false);
    connect(&job, &AttachJob::attaching, this, &AttachProgressDialog::showDevice);
    connect(&job, &AttachJob::progressChanged, this, &QProgressDialog::setValue);
}

void AttachProgressDialog::start(int total, const QHash<QString, QString> &deviceNames)
{
    m_deviceNames = deviceNames;
    setEnabled(true);
    setLabelText(m_labelText);
    setMaximum(total);
    setValue(0);
    setWindowModality(Qt::WindowModal);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    setCancelButton(nullptr);
    show();
}

void AttachProgressDialog::showDevice(const QString &seat, const QString &address)
{
    setLabelText(
        m_labelText + QLatin1Char('\n') +
        tr("%1 to %2")
            .arg(m_deviceNames.value(address, address), AppSettings::seatDisplayName(seat)));
}
