// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

// The message a later copy sends to the running one, a string as QDataStream
// writes it: its length in bytes (0xffffffff for a null string), then
// UTF-16 in big-endian order. Any process of the user can connect to the
// running copy, so the message is read by hand, never through Qt's generic
// decoder: no length it names decides what memory is taken.
class InstanceMessage
{
public:
    static constexpr int MaxLength = 256; // characters; the one message is "raise"

    enum class Result
    {
        Complete,   // *message and *used are set
        Incomplete, // the message may still come whole: wait for more
        Invalid,    // no message of the tool starts like this
    };

    static QByteArray encode(const QString &message);
    // Reads one message from the start of data.
    static Result decode(const QByteArray &data, QString *message, int *used);
};
