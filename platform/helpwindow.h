// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

class QTextBrowser;

// The help of the tool: a window with the text kept in the program's resources,
// in the language the program speaks where there is a page for it.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // The resource path of the page in language ("de_AT" tries de_AT, then
    // de); the English page where there is none.
    static QString pageFor(const QString &language);

    // Shows the window at the anchor named topic (the start when empty).
    void showTopic(const QString &topic);

    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
};
