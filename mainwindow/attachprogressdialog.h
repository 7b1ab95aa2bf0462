// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHash>
#include <QProgressDialog>
#include <QString>

class AttachJob;

// The window-modal progress of a save's attachments: a separate window with
// a title bar, no buttons to close it and none to cancel, reused by every
// save of the run. It follows the job: the devices handled, and under the
// label text the device going to its seat now.
class AttachProgressDialog : public QProgressDialog
{
    Q_OBJECT
public:
    AttachProgressDialog(const QString &labelText, const AttachJob &job, QWidget *parent);

    // Shows the dialog at 0 of total; deviceNames names the devices by address.
    void start(int total, const QHash<QString, QString> &deviceNames);

private:
    void showDevice(const QString &seat, const QString &address);

    QString m_labelText;
    QHash<QString, QString> m_deviceNames;
};
