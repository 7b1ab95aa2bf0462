// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class QLabel;

// Names of devices and seats come from the hardware, the settings store and
// the administrator; Qt would take one that looks like markup as rich text
// (a heading, a coloured font, an image loaded from a path). Everything that
// shows such a name shows it as plain text.
namespace PlainText {

// A tool tip that shows text as it is: Qt renders a tool tip as rich text
// when it looks like markup, so such a text is escaped into rich text.
QString toolTip(const QString &text);

// Makes label show its texts as plain text.
void apply(QLabel *label);

} // namespace PlainText
