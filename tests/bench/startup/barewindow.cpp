// SPDX-FileCopyrightText: 2026 Zel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The smallest window the tool's memory is compared with: an application
// object and a main window of the tool's size and title, shown.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Zel admin multiseat"));
    window.resize(1064, 600);
    window.show();
    return QApplication::exec();
}
